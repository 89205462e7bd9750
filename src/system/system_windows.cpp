// The system interface on Windows. Paths arrive as UTF-8 and go to the wide API, so a folder or
// file with a Japanese name is found whatever the ANSI code page.
#include "facts.h"
#include "system/system.h"

#include <QCoreApplication>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

// The DLLs the import table names are loaded from the system folder alone, never from the
// program's own: the load configuration's DependentLoadFlags, which Windows 10 (1607) and later
// read (in this SDK's structure the field is still called Reserved1). GNU ld links the
// structure but leaves the header's pointer to it empty: scripts/lanes/windows/pe-load-config.py
// sets it after the link.
constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 loadConfiguration()
{
    IMAGE_LOAD_CONFIG_DIRECTORY64 configuration {};
    configuration.Size = sizeof configuration;
    configuration.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
    return configuration;
}
extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = loadConfiguration();

namespace os {

void guardLoading()
{
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    QCoreApplication::setLibraryPaths({});
}

namespace {
std::wstring wide(const QByteArray &utf8)
{
    return QString::fromUtf8(utf8).toStdWString();
}

QString systemError(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message = length ? QString::fromWCharArray(text, static_cast<int>(length)).trimmed()
                             : QStringLiteral("エラー %1").arg(code);
    LocalFree(text);
    return message;
}

HANDLE openForReading(const QByteArray &path)
{
    // Shared every way, so that a file being replaced by another program is neither blocked nor
    // blocks us.
    return CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::uint64_t join(DWORD high, DWORD low)
{
    return static_cast<std::uint64_t>(high) << 32 | low;
}

std::uint64_t ticks(const FILETIME &time)
{
    return join(time.dwHighDateTime, time.dwLowDateTime);
}

// What can be asked of a name without opening it: size, attributes, and the times of creation and
// last writing. A file renamed or copied over another brings its own write time, so a replaced
// file shows as changed. (The file index and change time would say more, but only through an
// open handle, and opening costs a stroke ten times more than asking.)
FileIdentity identityFrom(DWORD attributes, const FILETIME &created, const FILETIME &written, DWORD sizeHigh,
                          DWORD sizeLow)
{
    return {{attributes, ticks(created), ticks(written), join(sizeHigh, sizeLow), 0, 0, 0, 0}};
}

// Where text can go: a console, a file or a pipe; a program started from Explorer has none.
HANDLE usableOutput(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || GetFileType(handle) == FILE_TYPE_UNKNOWN)
        return nullptr;
    return handle;
}

// A console shows UTF-16 as it is; a file or pipe gets UTF-8, as on other systems. False when
// not all of it was written.
bool writeTo(HANDLE output, const QString &text)
{
    DWORD written = 0;
    if (GetFileType(output) == FILE_TYPE_CHAR
        && WriteConsoleW(output, text.utf16(), static_cast<DWORD>(text.size()), &written, nullptr))
        return written == static_cast<DWORD>(text.size());
    const QByteArray bytes = text.toUtf8();
    return WriteFile(output, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        && written == static_cast<DWORD>(bytes.size());
}
} // namespace

QByteArray programDirectory()
{
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0)
            return {};
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2); // a long path: truncated, so ask again with room for it
    }
    const auto slash = exe.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return {};
    // With '/' between folders, as Qt writes paths and as the file names are joined to it.
    return QString::fromStdWString(exe.substr(0, slash)).replace(QLatin1Char('\\'), QLatin1Char('/')).toUtf8();
}

std::optional<FileIdentity> identityOf(const QByteArray &path)
{
    WIN32_FILE_ATTRIBUTE_DATA info {};
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &info))
        return std::nullopt;
    return identityFrom(info.dwFileAttributes, info.ftCreationTime, info.ftLastWriteTime, info.nFileSizeHigh,
                        info.nFileSizeLow);
}

OpenFile::OpenFile(const QByteArray &path)
{
    const HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        m_error = systemError(GetLastError());
        return;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    BY_HANDLE_FILE_INFORMATION info {};
    if (!GetFileInformationByHandle(file, &info)) {
        m_error = systemError(GetLastError());
        return;
    }
    m_open = true;
    m_identity = identityFrom(info.dwFileAttributes, info.ftCreationTime, info.ftLastWriteTime, info.nFileSizeHigh,
                              info.nFileSizeLow);
    m_size = static_cast<qint64>(join(info.nFileSizeHigh, info.nFileSizeLow));
    m_regular = GetFileType(file) == FILE_TYPE_DISK && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

OpenFile::~OpenFile()
{
    if (m_handle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

qint64 OpenFile::readSome(char *data, qint64 size, QString *error)
{
    DWORD n = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(m_handle), data, static_cast<DWORD>(std::min<qint64>(size, MAXDWORD)), &n,
                  nullptr)) {
        *error = systemError(GetLastError());
        return -1;
    }
    return n;
}

std::uint64_t randomSeed()
{
    LARGE_INTEGER counter {};
    QueryPerformanceCounter(&counter);
    return static_cast<std::uint64_t>(counter.QuadPart) ^ std::random_device {}();
}

void reportLine(const QString &line)
{
    if (const HANDLE output = usableOutput(STD_ERROR_HANDLE))
        writeTo(output, QStringLiteral("zav-blackboard: ") + line + QLatin1Char('\n'));
}

bool showText(const QString &text)
{
    if (const HANDLE output = usableOutput(STD_OUTPUT_HANDLE))
        return writeTo(output, text);
    const std::wstring wide = text.toStdWString();
    return MessageBoxW(nullptr, wide.c_str(), facts::kTitleWide, MB_OK | MB_ICONINFORMATION) != 0;
}

void fatalLine(const QString &line)
{
    if (usableOutput(STD_ERROR_HANDLE)) {
        reportLine(line);
    } else {
        const std::wstring text = line.toStdWString();
        MessageBoxW(nullptr, text.c_str(), facts::kTitleWide, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    }
    std::_Exit(1);
}

} // namespace os

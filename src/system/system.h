#pragma once
// What the program asks of the operating system about itself: its own folder, cursor files opened
// once with their identity, the clock and a random seed, its error lines and the text a user asked
// for. (The windowing system is display.h.) One file per system implements it (system_posix.cpp,
// system_windows.cpp, system_wasm.cpp; what Linux and the browser share, system_posix_shared.cpp);
// nothing else includes a system's headers. What is the same everywhere is in system.cpp.
//
// Paths are the system's own bytes: on POSIX what the kernel gives, whatever their encoding; on
// Windows UTF-8, turned into UTF-16 at the wide API.

#include <QByteArray>
#include <QDate>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace os {

// First thing, before the application object: code is loaded only from where the system keeps
// it. On Windows no DLL is taken from the program's folder or the working folder, where anything
// may lie beside a program unpacked in Downloads, and Qt loads no plugin from any folder (the
// ones it needs are linked in). Elsewhere the system's own rules hold.
void guardLoading();

// The folder of the running executable (links resolved), empty when it cannot be found.
QByteArray programDirectory();

// What a name refers to and its state: equal identities mean the same file, unchanged.
struct FileIdentity
{
    std::array<std::uint64_t, 8> fields {};
    bool operator==(const FileIdentity &) const = default;
};

// The identity of what the name refers to now; nothing when it cannot be asked.
std::optional<FileIdentity> identityOf(const QByteArray &path);

// A file opened once for reading, without ever blocking (a FIFO or device under the name must
// not stall the window); everything about it is decided on this one handle. Closed on every way
// out.
class OpenFile
{
public:
    explicit OpenFile(const QByteArray &path);
    ~OpenFile();
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    bool isOpen() const { return m_open; }
    QString error() const { return m_error; } // why it is not open, in the system's words
    FileIdentity identity() const { return m_identity; }
    bool isRegular() const { return m_regular; }
    qint64 size() const { return m_size; }

    // Everything up to limit bytes; null, with the reason in *error, when reading fails.
    std::optional<QByteArray> read(qint64 limit, QString *error);

private:
    // One read of at most size bytes: how many came (0 at the end), or -1 with the reason in *error.
    qint64 readSome(char *data, qint64 size, QString *error);

    std::intptr_t m_handle = -1;
    bool m_open = false;
    QString m_error;
    FileIdentity m_identity;
    bool m_regular = false;
    qint64 m_size = 0;
};

QDate today();
// Differs from run to run, however quickly one start follows another.
std::uint64_t randomSeed();

// The one writer of the program's error lines: "zav-blackboard: " and the line, in UTF-8.
void reportLine(const QString &line);
// Text the user asked for (--help, --version): on standard output, or in a message box where
// there is none. False when it could not be written (standard output closed or full).
[[nodiscard]] bool showText(const QString &text);
// The line where the user sees it, then status 1: no abort, no core dump. Where the program has
// no console to write to (a Windows program started from Explorer), a message box shows it; in a
// web browser, the page.
[[noreturn]] void fatalLine(const QString &line);

} // namespace os

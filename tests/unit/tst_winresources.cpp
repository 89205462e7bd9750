// The Windows program's resources as Explorer, the taskbar and Windows itself read them: its
// version information, from project(), its icon at every size, its manifest, and where its DLLs
// and plugins may come from.
#include "system/system.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
std::wstring program()
{
    return (QCoreApplication::applicationDirPath() + QStringLiteral("/zav-blackboard.exe")).toStdWString();
}

// The program's resources, without running it.
struct Module
{
    HMODULE handle
        = LoadLibraryExW(program().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ~Module() { FreeLibrary(handle); }

    QByteArray resource(LPCWSTR type, LPCWSTR name) const
    {
        HRSRC found = FindResourceW(handle, name, type);
        HGLOBAL loaded = found ? LoadResource(handle, found) : nullptr;
        const void *data = loaded ? LockResource(loaded) : nullptr;
        return data ? QByteArray(static_cast<const char *>(data), int(SizeofResource(handle, found))) : QByteArray();
    }
};

// "1.0.0.0" for 1.00: the numbers installers and Explorer's Details compare.
QString numericVersion()
{
    return QStringLiteral(ZAV_NUMERIC_VERSION ".0");
}
} // namespace

class TestWindowsResources : public QObject
{
    Q_OBJECT

private slots:
    void versionInformation_data();
    void versionInformation();
    void iconSizes();
    void manifest_data();
    void manifest();
    void loading();
};

void TestWindowsResources::versionInformation_data()
{
    QTest::addColumn<QString>("field"); // a string, or \FILEVERSION and \PRODUCTVERSION as numbers
    QTest::addColumn<QString>("value");
    QTest::newRow("comments") << "Comments"
                              << "学校にある黒板と同じです。";
    QTest::newRow("description") << "FileDescription"
                                 << "Exeファイル";
    QTest::newRow("product") << "ProductName"
                             << "ZAV 黒板";
    QTest::newRow("file version") << "FileVersion" << ZAV_VERSION;
    QTest::newRow("product version") << "ProductVersion" << ZAV_VERSION;
    QTest::newRow("internal name") << "InternalName"
                                   << "ZAV黒板";
    QTest::newRow("original file name") << "OriginalFilename"
                                        << "ZAV黒板.exe";
    QTest::newRow("licence") << "LegalCopyright"
                             << "© 2026 ZAV. GPL-3.0-or-later";
    QTest::newRow("numeric file version") << "\\FILEVERSION" << numericVersion();
    QTest::newRow("numeric product version") << "\\PRODUCTVERSION" << numericVersion();
}

void TestWindowsResources::versionInformation()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program().c_str(), &ignored);
    QVERIFY2(size > 0, "no version information");
    std::vector<char> info(size);
    QVERIFY(GetFileVersionInfoW(program().c_str(), 0, size, info.data()));
    if (field.startsWith(QLatin1Char('\\'))) {
        VS_FIXEDFILEINFO *fixed = nullptr;
        UINT length = 0;
        QVERIFY(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void **>(&fixed), &length) && fixed);
        const bool file = field == QLatin1String("\\FILEVERSION");
        const DWORD high = file ? fixed->dwFileVersionMS : fixed->dwProductVersionMS;
        const DWORD low = file ? fixed->dwFileVersionLS : fixed->dwProductVersionLS;
        QCOMPARE(QStringLiteral("%1.%2.%3.%4").arg(HIWORD(high)).arg(LOWORD(high)).arg(HIWORD(low)).arg(LOWORD(low)),
                 value);
        return;
    }
    // Japanese, Unicode: the block Explorer shows on a Japanese Windows.
    const std::wstring key = (QStringLiteral("\\StringFileInfo\\041104B0\\") + field).toStdWString();
    wchar_t *text = nullptr;
    UINT length = 0;
    QVERIFY2(VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void **>(&text), &length), qPrintable(field));
    QCOMPARE(QString::fromWCharArray(text), value);
}

void TestWindowsResources::iconSizes()
{
    // The first icon, as Explorer and the taskbar take it, has an image of its own at each size
    // they ask for from 100 % to 200 %, and 256 for the largest views: none is scaled by Windows.
    const QByteArray group = Module().resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    QVERIFY(group.size() >= 6);
    const int count = quint8(group[4]) | quint8(group[5]) << 8;
    QCOMPARE(group.size(), 6 + 14 * count);
    QList<int> sizes;
    for (int i = 0; i < count; ++i)
        sizes << (quint8(group[6 + 14 * i]) ? quint8(group[6 + 14 * i]) : 256);
    QCOMPARE(sizes, (QList<int> {ZAV_ICON_SIZES, 256}));
}

void TestWindowsResources::manifest_data()
{
    // An element in its namespace, with its text, or with attributes "name=value;...".
    QTest::addColumn<QString>("ns");
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("holds");
    const QString settings = QStringLiteral("http://schemas.microsoft.com/SMI/2016/WindowsSettings");
    QTest::newRow("sharp on every monitor") << settings << "dpiAwareness"
                                            << "PerMonitorV2";
    QTest::newRow("Windows 10 and 11") << "urn:schemas-microsoft-com:compatibility.v1"
                                       << "supportedOS"
                                       << "Id={8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}";
    QTest::newRow("long paths") << settings << "longPathAware"
                                << "true";
    QTest::newRow("message boxes in today's look") << "urn:schemas-microsoft-com:asm.v1"
                                                   << "assemblyIdentity"
                                                   << "name=Microsoft.Windows.Common-Controls;version=6.0.0.0";
    QTest::newRow("the user's own rights") << "urn:schemas-microsoft-com:asm.v3"
                                           << "requestedExecutionLevel"
                                           << "level=asInvoker;uiAccess=false";
}

void TestWindowsResources::manifest()
{
    QFETCH(QString, ns);
    QFETCH(QString, element);
    QFETCH(QString, holds);
    // CREATEPROCESS_MANIFEST_RESOURCE_ID: the one Windows reads when the program starts, and
    // refuses to start with when it is not well-formed XML.
    QXmlStreamReader reader(Module().resource(RT_MANIFEST, MAKEINTRESOURCEW(1)));
    int found = 0;
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        if (!reader.isStartElement() || reader.namespaceUri() != ns || reader.name() != element)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (!holds.contains(QLatin1Char('='))) {
            found += reader.readElementText() == holds;
            continue;
        }
        found += std::ranges::all_of(holds.split(QLatin1Char(';')), [&](const QString &pair) {
            return attributes.value(pair.section(QLatin1Char('='), 0, 0)) == pair.section(QLatin1Char('='), 1);
        });
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(found, 1);
}

void TestWindowsResources::loading()
{
    // The DLLs of the import table come from the system folder alone: the header points at a load
    // configuration whose DependentLoadFlags say so (Windows 10 and 11 read them; Wine does not).
    QFile file(QString::fromStdWString(program()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray image = file.readAll();
    // What lies at an offset, or zero outside the file.
    const auto at = [&image](qsizetype offset, auto value) {
        if (offset >= 0 && offset + qsizetype(sizeof value) <= image.size())
            std::memcpy(&value, image.constData() + offset, sizeof value);
        return value;
    };
    const LONG headerOffset = at(0x3C, LONG());
    QVERIFY(headerOffset > 0 && headerOffset + qsizetype(sizeof(IMAGE_NT_HEADERS64)) <= image.size());
    const auto *header = reinterpret_cast<const IMAGE_NT_HEADERS64 *>(image.constData() + headerOffset);
    const IMAGE_DATA_DIRECTORY directory = header->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG];
    QCOMPARE(directory.Size, DWORD(sizeof(IMAGE_LOAD_CONFIG_DIRECTORY64)));
    const IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(header);
    while (!(directory.VirtualAddress >= section->VirtualAddress
             && directory.VirtualAddress < section->VirtualAddress + section->Misc.VirtualSize))
        QVERIFY(++section < IMAGE_FIRST_SECTION(header) + header->FileHeader.NumberOfSections);
    const qsizetype configuration = section->PointerToRawData + directory.VirtualAddress - section->VirtualAddress;
    QCOMPARE(at(configuration + offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1), WORD()),
             WORD(LOAD_LIBRARY_SEARCH_SYSTEM32));

    // Qt takes no plugin from any folder once the program has guarded its loading.
    QVERIFY(!QCoreApplication::libraryPaths().isEmpty());
    os::guardLoading();
    QCOMPARE(QCoreApplication::libraryPaths(), QStringList());
}

QTEST_GUILESS_MAIN(TestWindowsResources)
#include "tst_winresources.moc"

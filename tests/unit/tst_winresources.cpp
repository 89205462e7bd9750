// The Windows program's resources as Explorer, the taskbar and Windows itself read them: its
// version information, from project(), its icon at every size, and its manifest.
#include <QCoreApplication>
#include <QTest>

#include <windows.h>

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
    HMODULE handle = LoadLibraryExW(program().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ~Module() { FreeLibrary(handle); }

    QByteArray resource(LPCWSTR type, LPCWSTR name) const
    {
        HRSRC found = FindResourceW(handle, name, type);
        HGLOBAL loaded = found ? LoadResource(handle, found) : nullptr;
        const void *data = loaded ? LockResource(loaded) : nullptr;
        return data ? QByteArray(static_cast<const char *>(data), int(SizeofResource(handle, found))) : QByteArray();
    }
};

// "1.0.0.0" from "1.00": the numbers installers and Explorer's Details compare.
QString numericVersion()
{
    const QString version = QStringLiteral(ZAV_VERSION);
    return QStringLiteral("%1.%2.0.0").arg(version.section(QLatin1Char('.'), 0, 0).toInt()).arg(version.section(QLatin1Char('.'), 1).toInt());
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
};

void TestWindowsResources::versionInformation_data()
{
    QTest::addColumn<QString>("field"); // a string, or \FILEVERSION and \PRODUCTVERSION as numbers
    QTest::addColumn<QString>("value");
    QTest::newRow("comments") << "Comments" << "学校にある黒板と同じです。";
    QTest::newRow("description") << "FileDescription" << "Exeファイル";
    QTest::newRow("product") << "ProductName" << "ZAV 黒板";
    QTest::newRow("file version") << "FileVersion" << ZAV_VERSION;
    QTest::newRow("product version") << "ProductVersion" << ZAV_VERSION;
    QTest::newRow("internal name") << "InternalName" << "ZAV黒板";
    QTest::newRow("original file name") << "OriginalFilename" << "ZAV黒板.exe";
    QTest::newRow("licence") << "LegalCopyright" << "© 2026 ZAV. GPL-3.0-or-later";
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
        QCOMPARE(QStringLiteral("%1.%2.%3.%4").arg(HIWORD(high)).arg(LOWORD(high)).arg(HIWORD(low)).arg(LOWORD(low)), value);
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
    QCOMPARE(sizes, (QList<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

void TestWindowsResources::manifest_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("sharp on every monitor") << "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2</dpiAwareness>";
    QTest::newRow("Windows 10 and 11") << "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>";
    QTest::newRow("long paths") << "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>";
    QTest::newRow("message boxes in today's look") << "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"";
}

void TestWindowsResources::manifest()
{
    QFETCH(QString, entry);
    // CREATEPROCESS_MANIFEST_RESOURCE_ID: the one Windows reads when the program starts.
    const QString manifest = QString::fromUtf8(Module().resource(RT_MANIFEST, MAKEINTRESOURCEW(1)));
    QVERIFY2(manifest.contains(entry), qPrintable(manifest));
}

QTEST_GUILESS_MAIN(TestWindowsResources)
#include "tst_winresources.moc"

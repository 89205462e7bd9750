// The Windows program's resources as Explorer and the taskbar read them: its version information,
// from project(), and its icon.
#include <QCoreApplication>
#include <QTest>

#include <windows.h>

#include <string>
#include <vector>

namespace {
std::wstring program()
{
    return (QCoreApplication::applicationDirPath() + QStringLiteral("/zav-blackboard.exe")).toStdWString();
}
} // namespace

class TestWindowsResources : public QObject
{
    Q_OBJECT

private slots:
    void versionInformation_data();
    void versionInformation();
    void icon();
};

void TestWindowsResources::versionInformation_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("comments") << "Comments" << "学校にある黒板と同じです。";
    QTest::newRow("description") << "FileDescription" << "Exeファイル";
    QTest::newRow("product") << "ProductName" << "ZAV 黒板";
    QTest::newRow("file version") << "FileVersion" << ZAV_VERSION;
    QTest::newRow("product version") << "ProductVersion" << ZAV_VERSION;
    QTest::newRow("internal name") << "InternalName" << "ZAV黒板";
    QTest::newRow("original file name") << "OriginalFilename" << "ZAV黒板.exe";
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
    // Japanese, Unicode: the block Explorer shows on a Japanese Windows.
    const std::wstring key = (QStringLiteral("\\StringFileInfo\\041104B0\\") + field).toStdWString();
    wchar_t *text = nullptr;
    UINT length = 0;
    QVERIFY2(VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void **>(&text), &length), qPrintable(field));
    QCOMPARE(QString::fromWCharArray(text), value);
}

void TestWindowsResources::icon()
{
    // The first icon, as Explorer and the taskbar take it: the program's 32 x 32 one.
    HICON icon = nullptr;
    ICONINFO info{};
    BITMAP colour{};
    QCOMPARE(ExtractIconExW(program().c_str(), 0, &icon, nullptr, 1), 1u);
    QVERIFY(GetIconInfo(icon, &info) && GetObjectW(info.hbmColor, sizeof colour, &colour));
    QCOMPARE(int(colour.bmWidth), 32);
}

QTEST_GUILESS_MAIN(TestWindowsResources)
#include "tst_winresources.moc"

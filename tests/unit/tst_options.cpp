// The command line: which scales a user may ask for, how a bad one is refused, help and version.
#include "app/options.h"

#include <QTest>

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void options_data();
    void options();
};

void TestOptions::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<double>("scale"); // 0: none asked for
    QTest::addColumn<QString>("refused"); // a piece of the one line, or empty
    QTest::addColumn<QString>("shows"); // "help", "version" or empty
    QTest::newRow("nothing") << QStringList{} << 0.0 << "" << "";
    QTest::newRow("twice the size") << QStringList{"--scale", "2"} << 2.0 << "" << "";
    QTest::newRow("one and a half, joined") << QStringList{"--scale=1.5"} << 1.5 << "" << "";
    QTest::newRow("the largest") << QStringList{"--scale", "4"} << 4.0 << "" << "";
    QTest::newRow("one and a quarter") << QStringList{"--scale", "1.25"} << 1.25 << "" << "";
    QTest::newRow("below 1") << QStringList{"--scale", "0.5"} << 1.0 << "1 より小さい" << "";
    QTest::newRow("above 4") << QStringList{"--scale", "5"} << 1.0 << "4 より大きい" << "";
    QTest::newRow("between steps") << QStringList{"--scale", "1.3"} << 1.0 << "0.25 刻み" << "";
    QTest::newRow("not a number") << QStringList{"--scale", "big"} << 1.0 << "倍率ではありません" << "";
    QTest::newRow("not finite") << QStringList{"--scale=inf"} << 1.0 << "倍率ではありません" << "";
    QTest::newRow("no value") << QStringList{"--scale"} << 1.0 << "倍率ではありません" << "";
    QTest::newRow("Qt's own options left to Qt") << QStringList{"-platform", "xcb", "--scale", "2"} << 2.0 << "" << "";
    QTest::newRow("help") << QStringList{"--help"} << 0.0 << "" << "help";
    QTest::newRow("short help") << QStringList{"-h"} << 0.0 << "" << "help";
    QTest::newRow("version") << QStringList{"--version"} << 0.0 << "" << "version";
}

void TestOptions::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(double, scale);
    QFETCH(QString, refused);
    QFETCH(QString, shows);
    const Options options = parseOptions(arguments);
    QCOMPARE(options.scale.value_or(0), scale);
    QCOMPARE(options.refused.size(), refused.isEmpty() ? 0 : 1);
    if (!refused.isEmpty())
        QVERIFY2(options.refused.first().contains(refused), qPrintable(options.refused.first()));
    QCOMPARE(options.help, shows == QLatin1String("help"));
    QCOMPARE(options.version, shows == QLatin1String("version"));
}

QTEST_APPLESS_MAIN(TestOptions)
#include "tst_options.moc"

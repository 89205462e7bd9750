// The command line and the environment's scale factors: which scales a user may ask for, how a bad
// one or an unknown argument is refused, help and version.
#include "app/options.h"

#include <QScopeGuard>
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
    QTest::addColumn<QString>("environment"); // NAME=VALUE before the start, or empty
    QTest::addColumn<double>("scale"); // 0: none asked for
    QTest::addColumn<QString>("refused"); // a piece of the one line, or empty
    QTest::addColumn<QString>("shows"); // "help", "version" or empty
    QTest::newRow("nothing") << QStringList {} << "" << 0.0 << ""
                             << "";
    QTest::newRow("twice the size") << QStringList {"--scale", "2"} << "" << 2.0 << ""
                                    << "";
    QTest::newRow("one and a half, joined") << QStringList {"--scale=1.5"} << "" << 1.5 << ""
                                            << "";
    QTest::newRow("the largest") << QStringList {"--scale", "4"} << "" << 4.0 << ""
                                 << "";
    QTest::newRow("one and a quarter") << QStringList {"--scale", "1.25"} << "" << 1.25 << ""
                                       << "";
    QTest::newRow("below 1") << QStringList {"--scale", "0.5"} << "" << 1.0 << "1 より小さい"
                             << "";
    QTest::newRow("negative") << QStringList {"--scale", "-1"} << "" << 1.0 << "--scale -1 は 1 より小さい"
                              << "";
    QTest::newRow("above 4") << QStringList {"--scale", "5"} << "" << 1.0 << "4 より大きい"
                             << "";
    QTest::newRow("between steps") << QStringList {"--scale", "1.3"} << "" << 1.0 << "0.25 刻み"
                                   << "";
    QTest::newRow("not a number") << QStringList {"--scale", "big"} << "" << 1.0 << "倍率ではありません"
                                  << "";
    QTest::newRow("not finite") << QStringList {"--scale=inf"} << "" << 1.0 << "倍率ではありません"
                                << "";
    QTest::newRow("no value") << QStringList {"--scale"} << "" << 1.0 << "倍率ではありません"
                              << "";
    QTest::newRow("an option where the value belongs")
        << QStringList {"--scale", "--help"} << "" << 1.0 << "--scale は倍率ではありません"
        << "help";
    QTest::newRow("Qt's own options left to Qt")
        << QStringList {"-platform", "xcb", "--style=fusion", "-reverse", "--scale", "2"} << "" << 2.0 << ""
        << "";
    QTest::newRow("an unknown option") << QStringList {"--fullscreen"} << "" << 0.0 << "--fullscreen は使えない引数です"
                                       << "";
    QTest::newRow("a file name") << QStringList {"board.png"} << "" << 0.0 << "board.png は使えない引数です"
                                 << "";
    QTest::newRow("help") << QStringList {"--help"} << "" << 0.0 << ""
                          << "help";
    QTest::newRow("short help") << QStringList {"-h"} << "" << 0.0 << ""
                                << "help";
    QTest::newRow("version") << QStringList {"--version"} << "" << 0.0 << ""
                             << "version";
    // The environment's factors are held to the same rule; one that cannot be used is set aside.
    QTest::newRow("QT_SCALE_FACTOR in steps") << QStringList {} << "QT_SCALE_FACTOR=1.5" << 0.0 << ""
                                              << "";
    QTest::newRow("QT_SCALE_FACTOR between steps")
        << QStringList {} << "QT_SCALE_FACTOR=1.1" << 0.0 << "QT_SCALE_FACTOR=1.1 は 0.25 刻みではない"
        << "";
    QTest::newRow("QT_SCALE_FACTOR below 1") << QStringList {} << "QT_SCALE_FACTOR=0.75" << 0.0 << "1 より小さい"
                                             << "";
    QTest::newRow("QT_SCREEN_SCALE_FACTORS above 4")
        << QStringList {} << "QT_SCREEN_SCALE_FACTORS=HDMI-1=2;DP-1=5" << 0.0 << "DP-1=5 は 4 より大きい"
        << "";
}

void TestOptions::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, environment);
    QFETCH(double, scale);
    QFETCH(QString, refused);
    QFETCH(QString, shows);
    const QByteArray variable = environment.section(QLatin1Char('='), 0, 0).toLatin1();
    if (!environment.isEmpty())
        qputenv(variable.constData(), environment.section(QLatin1Char('='), 1).toLatin1());
    // Gone again however the row ends, failed checks included.
    const auto unset = qScopeGuard([&] {
        if (!variable.isEmpty())
            qunsetenv(variable.constData());
    });
    const Options options = parseOptions(arguments);
    const QStringList lines = options.refused + settleScaleEnvironment();
    QCOMPARE(options.scale.value_or(0), scale);
    QCOMPARE(lines.size(), refused.isEmpty() ? 0 : 1);
    if (!refused.isEmpty())
        QVERIFY2(lines.first().contains(refused), qPrintable(lines.first()));
    if (!environment.isEmpty())
        QCOMPARE(qEnvironmentVariableIsSet(variable.constData()), refused.isEmpty());
    QCOMPARE(options.help, shows == QLatin1String("help"));
    QCOMPARE(options.version, shows == QLatin1String("version"));
}

QTEST_APPLESS_MAIN(TestOptions)
#include "tst_options.moc"

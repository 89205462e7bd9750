// The window's handlers against a recording runtime.
#include "fakeforms.h"
#include "handlers/frmmain.h"
#include "handlers/layout.h"

#include <QTest>

class TestHandlers : public QObject
{
    Q_OBJECT

private slots:
    void dateWriter_data();
    void dateWriter();
    void dateWriterReplacesEarlierDate();
    void dateWriterReadsTheClockOnce();
    void formLoad();
    void chalkStrokeSpecks_data();
    void chalkStrokeSpecks();
    void chalkStrokeOrder();
    void buttonsThatDoNothing_data();
    void buttonsThatDoNothing();
    void eraserThenChalk();
    void chalkClick_data();
    void chalkClick();
    void chalkClickOutsideTheTray_data();
    void chalkClickOutsideTheTray();
    void heldColourOutsideTheTable();
    void unreadableCursorFile_data();
    void unreadableCursorFile();
    void commandsTouchOnlyTheirOwn();
    void cursorPathFromDirectoryBytes_data();
    void cursorPathFromDirectoryBytes();
};

static const QString kCrLf = QStringLiteral("\r\n");

void TestHandlers::dateWriter_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Sunday 11 March 2001") << QDate(2001, 3, 11) << "3\r\n月\r\n11\r\n日\r\n(日)";
    QTest::newRow("two-digit month and day") << QDate(2026, 12, 25) << "12\r\n月\r\n25\r\n日\r\n(金)";
    QTest::newRow("Monday") << QDate(2026, 12, 7) << "12\r\n月\r\n7\r\n日\r\n(月)";
    QTest::newRow("Saturday, one-digit month") << QDate(2027, 1, 2) << "1\r\n月\r\n2\r\n日\r\n(土)";
    QTest::newRow("Tuesday, leap day") << QDate(2028, 2, 29) << "2\r\n月\r\n29\r\n日\r\n(火)";
    QTest::newRow("widest date") << QDate(2027, 12, 29) << "12\r\n月\r\n29\r\n日\r\n(水)";
    QTest::newRow("Thursday") << QDate(2026, 12, 31) << "12\r\n月\r\n31\r\n日\r\n(木)";
}

void TestHandlers::dateWriter()
{
    QFETCH(QDate, date);
    QFETCH(QString, caption);
    FakeForms forms;
    forms.dates = {date};
    frmMain form(forms, forms);
    form.Date_Click();
    QCOMPARE(forms.caption, caption);
    QCOMPARE(forms.caption.split(kCrLf).size(), 5);
    // Every character is one the date's face is cut to.
    const QString characters = QString(caption).remove(kCrLf);
    for (const QChar c : characters)
        QVERIFY2(QString::fromUtf16(layout::kDateCharacters).contains(c), qPrintable(caption));
}

void TestHandlers::dateWriterReplacesEarlierDate()
{
    FakeForms forms;
    forms.dates = {QDate(2026, 12, 25), QDate(2001, 3, 11)};
    frmMain form(forms, forms);
    form.Date_Click();
    form.Date_Click();
    QCOMPARE(forms.caption, QStringLiteral("3\r\n月\r\n11\r\n日\r\n(日)"));
}

void TestHandlers::dateWriterReadsTheClockOnce()
{
    // Midnight passes while the date is written: the caption must still be one date.
    FakeForms forms;
    forms.dates = {QDate(2026, 12, 31), QDate(2027, 1, 1), QDate(2027, 1, 2)};
    frmMain form(forms, forms);
    form.Date_Click();
    QCOMPARE(forms.caption, QStringLiteral("12\r\n月\r\n31\r\n日\r\n(木)"));
}

void TestHandlers::formLoad()
{
    FakeForms forms;
    forms.eraserVisible = false;
    frmMain form(forms, forms);
    form.Form_Load();
    QCOMPARE(form.chalkColor(), QStringLiteral("16777215"));
    QCOMPARE(forms.chalkVisible, (std::array<bool, 6> {false, true, true, true, true, true}));
    QVERIFY(forms.eraserVisible);
    QCOMPARE(forms.inHand, (InHand {InHand::Tool::Chalk, 0}));
    QCOMPARE(forms.caption, QStringLiteral("3\r\n月\r\n11\r\n日\r\n(日)"));
    QCOMPARE(forms.log.first(), QStringLiteral("Randomize"));
    // Start-up reads no cursor file and leaves the platform's arrow over the board.
    QVERIFY(forms.log.filter(QStringLiteral("LoadPicture")).isEmpty());
    QVERIFY(forms.mouseIcon.isEmpty());
    QVERIFY(forms.circles.isEmpty());
}

void TestHandlers::chalkStrokeSpecks_data()
{
    // Three draws per speck: R0 picks the square, R1 and R2 the offsets Int(R * 25).
    QTest::addColumn<QList<float>>("draws");
    QTest::addColumn<QList<QPointF>>("offsets");
    QTest::newRow("below-right and above-left")
        << QList<float> {0.1f, 0.5f, 0.99f, 0.75f, 0.0f,    0.04f,   0.49f,   0.2f, 0.3f,  0.5f, 0.96f,
                         0.6f, 0.0f, 0.0f,  0.0f,  0.9999f, 0.9999f, 0.9999f, 0.3f, 0.04f, 0.08f}
        << QList<QPointF> {{12, 24}, {0, -1}, {5, 7}, {-24, -15}, {0, 0}, {-24, -24}, {1, 2}};
    QTest::newRow("all below-right at the largest offset")
        << QList<float> {0.0f,  0.99f, 0.99f, 0.0f,  0.99f, 0.99f, 0.0f,  0.99f, 0.99f, 0.0f, 0.99f,
                         0.99f, 0.0f,  0.99f, 0.99f, 0.0f,  0.99f, 0.99f, 0.0f,  0.99f, 0.99f}
        << QList<QPointF>(7, QPointF(24, 24));
    QTest::newRow("largest draws below 1: above-left at the largest offset")
        << QList<float>(21, 0.99999994f) << QList<QPointF>(7, QPointF(-24, -24));
}

void TestHandlers::chalkStrokeSpecks()
{
    QFETCH(QList<float>, draws);
    QFETCH(QList<QPointF>, offsets);
    FakeForms forms;
    frmMain form(forms, forms);
    form.Form_Load();
    form.チョーク_Click(1); // yellow
    forms.rnd.assign(draws.begin(), draws.end());
    form.書ける_MouseMove(1, 0, 1500, 2250);

    QCOMPARE(forms.circles.size(), 8);
    const FakeForms::CircleCall dab = forms.circles.first();
    QCOMPARE(QPointF(dab.x, dab.y), QPointF(1500, 2250));
    QCOMPARE(dab.radius, 50.0f);
    QCOMPARE(dab.outline, Colour(0xFFFF));
    QCOMPARE(dab.fill, Colour(0xFFFF));
    for (int i = 0; i < 7; ++i) {
        const FakeForms::CircleCall speck = forms.circles[i + 1];
        QCOMPARE(QPointF(speck.x - 1500, speck.y - 2250), offsets[i]);
        QCOMPARE(speck.radius, 3.0f);
        QCOMPARE(speck.outline, Colour(0x4000));
        QCOMPARE(speck.fill, Colour(0xFFFF));
        // A grain inside the chalk, never a ragged rim: measured on what was drawn.
        QVERIFY(std::hypot(speck.x - dab.x, speck.y - dab.y) + speck.radius < dab.radius);
    }
    QVERIFY(forms.rnd.empty());
}

void TestHandlers::chalkStrokeOrder()
{
    FakeForms forms;
    frmMain form(forms, forms);
    form.Form_Load();
    forms.log.clear();
    form.書ける_MouseMove(1, 0, 300, 300);
    const QStringList expected = {
        QStringLiteral("LoadPicture /opt/zav/チョーク.cur"),
        QStringLiteral("MouseIcon /opt/zav/チョーク.cur"),
        QStringLiteral("FillColor 16777215"),
        QStringLiteral("Circle"),
        QStringLiteral("eraser shown"),
        "Circle",
        "Circle",
        "Circle",
        "Circle",
        "Circle",
        "Circle",
        "Circle",
        QStringLiteral("chalk 0 hidden"),
    };
    QCOMPARE(forms.log, expected);
}

void TestHandlers::buttonsThatDoNothing_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("no button") << 0;
    QTest::newRow("both buttons") << 3;
    QTest::newRow("middle") << 4;
    QTest::newRow("left and middle") << 5;
    QTest::newRow("right and middle") << 6;
    QTest::newRow("extra button") << 8;
    QTest::newRow("negative mask") << -1;
}

void TestHandlers::buttonsThatDoNothing()
{
    QFETCH(int, button);
    FakeForms forms;
    frmMain form(forms, forms);
    form.Form_Load();
    const auto visibleBefore = forms.chalkVisible;
    forms.log.clear();
    forms.rnd = {0.5f, 0.5f, 0.5f};
    form.書ける_MouseMove(static_cast<std::int16_t>(button), 0, 1000, 1000);
    QCOMPARE(forms.log, QStringList());
    QCOMPARE(forms.chalkVisible, visibleBefore);
    QVERIFY(forms.mouseIcon.isEmpty());
    QCOMPARE(forms.rnd.size(), size_t(3));
}

void TestHandlers::eraserThenChalk()
{
    FakeForms forms;
    frmMain form(forms, forms);
    form.Form_Load();
    form.チョーク_Click(4); // blue

    form.書ける_MouseMove(2, 0, 750, 750);
    QCOMPARE(forms.circles.size(), 1);
    QCOMPARE(forms.circles.last().radius, 100.0f);
    QCOMPARE(forms.circles.last().outline, Colour(0x4000));
    QCOMPARE(forms.circles.last().fill, Colour(0x4000));
    QCOMPARE(forms.mouseIcon, QStringLiteral("/opt/zav/黒板消し.cur"));
    QVERIFY(!forms.eraserVisible);
    QCOMPARE(forms.chalkVisible, (std::array<bool, 6> {true, true, true, true, true, true}));
    QCOMPARE(forms.inHand, InHand {InHand::Tool::Eraser});
    QCOMPARE(form.chalkColor(), QStringLiteral("16711680"));

    form.書ける_MouseMove(1, 0, 750, 750);
    QCOMPARE(forms.mouseIcon, QStringLiteral("/opt/zav/チョーク.cur"));
    QVERIFY(forms.eraserVisible);
    QCOMPARE(forms.chalkVisible, (std::array<bool, 6> {true, true, true, true, false, true}));
    QCOMPARE(forms.circles[1].fill, Colour(0xFF0000));
}

void TestHandlers::chalkClick_data()
{
    QTest::addColumn<bool>("eraserInHand");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    const char *texts[] = {"16777215", "65535", "16711935", "255", "16711680", "32768"};
    for (int i = 0; i < 6; ++i) {
        QTest::addRow("chalk %d in hand", i) << false << i << QString::fromLatin1(texts[i]);
        QTest::addRow("chalk %d, eraser in hand", i) << true << i << QString::fromLatin1(texts[i]);
    }
}

void TestHandlers::chalkClick()
{
    QFETCH(bool, eraserInHand);
    QFETCH(int, index);
    QFETCH(QString, text);
    FakeForms forms;
    frmMain form(forms, forms);
    form.Form_Load();
    form.チョーク_Click(static_cast<std::int16_t>(index == 2 ? 3 : 2)); // hold some other chalk first
    if (eraserInHand)
        form.書ける_MouseMove(2, 0, 100, 100);
    form.チョーク_Click(static_cast<std::int16_t>(index));
    QCOMPARE(form.chalkColor(), text);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(forms.chalkVisible[i], i != index);
    QVERIFY(forms.eraserVisible);
    QCOMPARE(forms.inHand, (InHand {InHand::Tool::Chalk, index}));
    QCOMPARE(forms.mouseIcon, QStringLiteral("/opt/zav/チョーク.cur"));
}

void TestHandlers::heldColourOutsideTheTable()
{
    // Before Form_Load, ChalkColor holds no text of the colour table: a chalk stroke takes no
    // stick off the tray, since HideHeldChalk finds none equal.
    FakeForms forms;
    frmMain form(forms, forms);
    form.書ける_MouseMove(1, 0, 1500, 1500);
    QVERIFY(form.chalkColor().isEmpty());
    QVERIFY(!forms.circles.isEmpty());
    QCOMPARE(forms.log.filter(QStringLiteral("hidden")), QStringList());
    QCOMPARE(forms.inHand, InHand {});
    // Once a stick is picked, the same stroke takes it off.
    form.チョーク_Click(3);
    forms.log.clear();
    form.書ける_MouseMove(1, 0, 1500, 1500);
    QCOMPARE(forms.log.filter(QStringLiteral("hidden")), QStringList {QStringLiteral("chalk 3 hidden")});
}

void TestHandlers::chalkClickOutsideTheTray_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("6") << 6;
    QTest::newRow("-1") << -1;
    QTest::newRow("32767") << 32767;
}

void TestHandlers::chalkClickOutsideTheTray()
{
    QFETCH(int, index);
    FakeForms forms;
    frmMain form(forms, forms);
    form.Form_Load();
    form.チョーク_Click(static_cast<std::int16_t>(index));
    QCOMPARE(form.chalkColor(), QStringLiteral("16777215"));
    QVERIFY(forms.eraserVisible);
    QCOMPARE(forms.inHand, InHand {}); // every stick back on the tray: nothing in hand
}

void TestHandlers::unreadableCursorFile_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("builtIn");
    QTest::newRow("chalk") << 1 << "/opt/zav/チョーク.cur"
                           << "built-in chalk";
    QTest::newRow("eraser") << 2 << "/opt/zav/黒板消し.cur"
                            << "built-in eraser";
}

void TestHandlers::unreadableCursorFile()
{
    QFETCH(int, button);
    QFETCH(QString, file);
    QFETCH(QString, builtIn);
    FakeForms forms;
    frmMain form(forms, forms);
    form.Form_Load();
    forms.unreadable = {file.toUtf8()};

    for (int i = 0; i < 3; ++i)
        form.書ける_MouseMove(static_cast<std::int16_t>(button), 0, 1000 + i * 30, 1000);
    // Every event still draws and updates the tray; the error is said once, naming the file.
    QCOMPARE(forms.circles.size(), button == 1 ? 24 : 3);
    QCOMPARE(forms.eraserVisible, button == 1);
    QCOMPARE(forms.mouseIcon, builtIn);
    QCOMPARE(forms.errors.size(), 1);
    QVERIFY(forms.errors.first().contains(file));

    forms.unreadable.clear();
    form.書ける_MouseMove(static_cast<std::int16_t>(button), 0, 1000, 1000);
    QCOMPARE(forms.mouseIcon, file);

    forms.unreadable = {file.toUtf8()};
    form.書ける_MouseMove(static_cast<std::int16_t>(button), 0, 1000, 1000);
    QCOMPARE(forms.mouseIcon, builtIn);
    QCOMPARE(forms.errors.size(), 2);
}

void TestHandlers::commandsTouchOnlyTheirOwn()
{
    FakeForms forms;
    frmMain form(forms, forms);
    form.Form_Load();
    form.チョーク_Click(5);
    form.書ける_MouseMove(2, 0, 100, 100);
    const auto visible = forms.chalkVisible;
    const bool eraser = forms.eraserVisible;
    const QString caption = forms.caption;
    const QString icon = forms.mouseIcon;

    forms.log.clear();
    form.AllClear_Click();
    QCOMPARE(forms.log, QStringList {QStringLiteral("Cls")});
    QCOMPARE(forms.chalkVisible, visible);
    QCOMPARE(forms.eraserVisible, eraser);
    QCOMPARE(forms.caption, caption);
    QCOMPARE(forms.mouseIcon, icon);
    QCOMPARE(form.chalkColor(), QStringLiteral("32768"));

    forms.log.clear();
    form.黒板消し_Click({QPoint(640, 360), 1000});
    QCOMPARE(forms.log, QStringList {QStringLiteral("PopupMenu 640,360")});

    forms.log.clear();
    forms.dates = {QDate(2026, 12, 25)};
    form.Date_Click();
    QCOMPARE(forms.log, QStringList {QStringLiteral("caption")});
    QCOMPARE(forms.caption, QStringLiteral("12\r\n月\r\n25\r\n日\r\n(金)"));

    forms.log.clear();
    form.ExitEnd_Click();
    QCOMPARE(forms.log, QStringList {QStringLiteral("Unload")});
}

void TestHandlers::cursorPathFromDirectoryBytes_data()
{
    QTest::addColumn<QByteArray>("directory");
    QTest::addColumn<int>("button");
    QTest::addColumn<QByteArray>("asked"); // the path LoadPicture must get, empty for none
    QTest::addColumn<QString>("icon");
    QTest::newRow("UTF-8 folder") << QByteArray("/opt/黒板") << 1 << QByteArray("/opt/黒板/チョーク.cur")
                                  << "/opt/黒板/チョーク.cur";
    // "\x8d\x95\x94\xc2" is 黒板 in Shift-JIS: not UTF-8, yet still the program's folder.
    QTest::newRow("Shift-JIS folder, chalk")
        << QByteArray("/tmp/\x8d\x95\x94\xc2") << 1 << QByteArray("/tmp/\x8d\x95\x94\xc2/チョーク.cur")
        << QString::fromUtf8(QByteArray("/tmp/\x8d\x95\x94\xc2/チョーク.cur"));
    QTest::newRow("Shift-JIS folder, eraser")
        << QByteArray("/tmp/\x8d\x95\x94\xc2") << 2 << QByteArray("/tmp/\x8d\x95\x94\xc2/黒板消し.cur")
        << QString::fromUtf8(QByteArray("/tmp/\x8d\x95\x94\xc2/黒板消し.cur"));
    QTest::newRow("unknown folder: no file at the root") << QByteArray() << 1 << QByteArray() << "built-in chalk";
}

void TestHandlers::cursorPathFromDirectoryBytes()
{
    QFETCH(QByteArray, directory);
    QFETCH(int, button);
    QFETCH(QByteArray, asked);
    QFETCH(QString, icon);
    FakeForms forms;
    forms.programDirectory = directory;
    frmMain form(forms, forms);
    form.Form_Load();
    form.書ける_MouseMove(static_cast<std::int16_t>(button), 0, 1000, 1000);
    QCOMPARE(forms.loadedPaths, asked.isEmpty() ? QList<QByteArray> {} : QList<QByteArray> {asked});
    QCOMPARE(forms.mouseIcon, icon);
    QCOMPARE(forms.errors.size(), asked.isEmpty() ? 1 : 0);
    // Drawn all the same.
    QCOMPARE(forms.circles.size(), button == 1 ? 8 : 1);
}

QTEST_APPLESS_MAIN(TestHandlers)
#include "tst_handlers.moc"

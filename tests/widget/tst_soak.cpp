// A million stroke events through the real window: memory stays flat, the end state is right.
#include "app/program.h"
#include "resident.h"
#include "widgets/blackboardwindow.h"
#include "widgets/boardwidget.h"
#include "widgets/trayimage.h"

#include <QTest>

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void millionEvents();
};

static int countColour(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

void TestSoak::millionEvents()
{
    const long events = qEnvironmentVariableIntValue("ZAV_SOAK_EVENTS") > 0
        ? qEnvironmentVariableIntValue("ZAV_SOAK_EVENTS")
        : 1'000'000;
    Program program;
    BlackboardWindow &window = program.window();
    frmMain &form = program.form();
    program.start();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // What the tray should show, kept by a model of the script rather than read from the code.
    bool eraserInHand = false;
    int colourInHand = 0;
    long rssAfterWarmUp = -1;
    for (long i = 0; i < events; ++i) {
        const float x = 15.0f * static_cast<float>(i % 520) - 100.0f; // runs off both edges
        const float y = 15.0f * static_cast<float>((i / 520) % 410) - 100.0f;
        if (i % 997 == 0) {
            colourInHand = static_cast<int>((i / 997) % 6);
            form.チョーク_Click(static_cast<std::int16_t>(colourInHand));
            eraserInHand = false;
        } else if (i % 10'007 == 0) {
            form.AllClear_Click();
        } else if ((i / 50) % 3 == 2) {
            form.書ける_MouseMove(2, 0, x, y);
            eraserInHand = true;
        } else if ((i / 50) % 7 == 3) {
            form.書ける_MouseMove(3, 0, x, y); // both buttons: nothing
        } else {
            form.書ける_MouseMove(1, 0, x, y);
            eraserInHand = false;
        }
        if (i % 64 == 0)
            QCoreApplication::processEvents();
        if (i == 10'000)
            rssAfterWarmUp = residentKiB();
    }
    QCoreApplication::processEvents();
    const long rssAtEnd = residentKiB();
    qInfo("resident memory: %ld KiB after 10,000 events, %ld KiB after %ld", rssAfterWarmUp, rssAtEnd, events);
    QVERIFY(rssAfterWarmUp > 0);
    QVERIFY2(rssAtEnd - rssAfterWarmUp <= 2048, "resident memory grew by more than 2 MiB");

    // Chalk is left from the run; erase-all takes every bit of it away.
    const QImage before = window.board()->image();
    QVERIFY(before.rect().width() * before.rect().height() > countColour(before, qRgb(0, 64, 0)) + 1000);
    form.AllClear_Click();
    const QImage board = window.board()->image();
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            QCOMPARE(board.pixel(x, y), qRgb(0, 64, 0));
    const QString texts[] = {"16777215", "65535", "16711935", "255", "16711680", "32768"};
    QCOMPARE(form.chalkColor(), texts[colourInHand]);
    QCOMPARE(window.eraser()->isVisible(), !eraserInHand);
    for (int n = 0; n < 6; ++n)
        QCOMPARE(window.chalk(n)->isVisible(), eraserInHand || n != colourInHand);
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"

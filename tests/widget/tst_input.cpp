// Pen, touch and the open menu, through Qt's own event delivery to the real window offscreen.
#include "blackboard.h"
#include "handlers/layout.h"
#include "injector.h"
#include "input/pointer.h"
#include "widgets/boardwidget.h"
#include "widgets/trayimage.h"

#include <QAction>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QStyleHints>
#include <QTest>
#include <QWindow>
#include <private/qeventpoint_p.h>
#include <qpa/qwindowsysteminterface_p.h>

#include <cmath>
#include <limits>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kMagenta = qRgb(255, 0, 255);
const QPoint kBoardAt(8, 8); // the board's place in the window

QWindow *windowOf(Blackboard &b)
{
    return b.forms.windowHandle();
}

// What the window system was last given to show, not a fresh rendering of the widgets.
QImage onScreen(Blackboard &b)
{
    return b.forms.screen()->grabWindow(b.forms.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// A chalk dab of white centred at the board pixel: specks may take a few of its pixels.
bool hasDab(const QImage &windowImage, const QPointF &boardPixel)
{
    const QPoint c = (boardPixel + QPointF(kBoardAt)).toPoint();
    return countPixels(windowImage, kWhite, QRect(c - QPoint(3, 3), QSize(7, 7))) >= 20;
}

bool hasBoardDab(const QImage &boardImage, const QPointF &at, QRgb colour)
{
    const QPoint c = at.toPoint();
    return countPixels(boardImage, colour, QRect(c - QPoint(3, 3), QSize(7, 7))) >= 20;
}

QPointF inWindow(const QPointF &boardPixel)
{
    return boardPixel + QPointF(kBoardAt);
}

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &local, Qt::MouseButtons buttons, quint64 timestamp)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, Qt::NoModifier);
    event.setTimestamp(timestamp);
    QCoreApplication::sendEvent(widget, &event);
}

// A click pressed at the timestamp and released `hold` ms later.
void clickAt(QWidget *widget, const QPoint &local, quint64 timestamp, quint64 hold = 40)
{
    sendMouse(widget, QEvent::MouseButtonPress, local, Qt::LeftButton, timestamp);
    sendMouse(widget, QEvent::MouseButtonRelease, local, Qt::NoButton, timestamp + hold);
}

} // namespace

class TestInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyDabOnScreen_data();
    void everyDabOnScreen();
    void pen_data();
    void pen();
    void fingersWriteTogether_data();
    void fingersWriteTogether();
    void flatOfTheHand_data();
    void flatOfTheHand();
    void contactSizesThatMeanNothing_data();
    void contactSizesThatMeanNothing();
    void palmRejection_data();
    void palmRejection();
    void trayTapWhileTheBoardIsTouched_data();
    void trayTapWhileTheBoardIsTouched();
    void tapsAndPenTapsAreClicks();
    void badTouchAndPenInput();
    void doubleClickOnTheEraser_data();
    void doubleClickOnTheEraser();
    void shortcutsInTheOpenMenu_data();
    void shortcutsInTheOpenMenu();
};

void TestInput::initTestCase()
{
    // As on a platform that leaves it to Qt to make mouse events of unaccepted pen events.
    QWindowSystemInterfacePrivate::TabletEvent::setPlatformSynthesizesMouse(false);
    QVERIFY(openBlackboard());
}

void TestInput::everyDabOnScreen_data()
{
    QTest::addColumn<QString>("via");
    QTest::addColumn<QList<QPointF>>("points"); // board pixels, all handled before one paint
    const QList<QPointF> boxed {{100, 100}, {160, 160}, {160, 100}, {100, 160}};
    QTest::newRow("mouse: later dabs inside the box of earlier ones") << "mouse" << boxed;
    QTest::newRow("pen: later dabs inside the box of earlier ones") << "pen" << boxed;
    QList<QPointF> zigzag;
    for (int i = 0; i < 24; ++i)
        zigzag << QPointF(40 + 18 * i, i % 2 ? 300 : 250);
    QTest::newRow("pen: 24 dabs in a zigzag") << "pen" << zigzag;
    // A fast stroke: each dab overlaps the one before without lying inside it.
    QList<QPointF> fast;
    for (int i = 0; i < 12; ++i)
        fast << QPointF(100 + 5 * i, 300);
    QTest::newRow("mouse: a fast stroke, dabs 5 pixels apart") << "mouse" << fast;
    QList<QPointF> fingers;
    for (int i = 0; i < 10; ++i)
        fingers << QPointF(50 + 40 * (i % 5), i < 5 ? 80 : 220);
    QTest::newRow("touch: ten fingers in one frame") << "touch" << fingers;
}

void TestInput::everyDabOnScreen()
{
    QFETCH(QString, via);
    QFETCH(QList<QPointF>, points);
    const auto b = openBlackboard();
    QVERIFY(b);
    QWindow *window = windowOf(*b);
    QTRY_VERIFY(onScreen(*b).pixel(260, 200) == kBoardPixel);
    if (via == QLatin1String("touch")) {
        QList<inject::Contact> down;
        QList<inject::Contact> moved;
        for (int i = 0; i < points.size(); ++i) {
            down << inject::Contact {i, inWindow(points[i]) - QPointF(12, 0), 0, QEventPoint::State::Pressed};
            moved << inject::Contact {i, inWindow(points[i]), 0, QEventPoint::State::Updated};
        }
        inject::touch(window, down);
        inject::touch(window, moved);
    } else if (via == QLatin1String("pen")) {
        inject::tablet(window, QPointingDevice::PointerType::Pen, Qt::LeftButton, inWindow(points.first()));
        for (const QPointF &p : points)
            inject::tablet(window, QPointingDevice::PointerType::Pen, Qt::LeftButton, inWindow(p));
    } else {
        for (const QPointF &p : points)
            sendMouse(b->forms.board(), QEvent::MouseMove, p.toPoint(), Qt::LeftButton, 0);
    }
    // Every dab is in the image at once; on screen after the one paint that follows.
    for (const QPointF &p : points)
        QVERIFY(hasBoardDab(b->board(), p, kWhite));
    QTRY_VERIFY(hasDab(onScreen(*b), points.first()));
    QTest::qWait(50);
    const QImage shot = onScreen(*b);
    for (const QPointF &p : points)
        QVERIFY2(hasDab(shot, p), qPrintable(QStringLiteral("no dab on screen at %1,%2").arg(p.x()).arg(p.y())));
}

void TestInput::pen_data()
{
    QTest::addColumn<bool>("eraserEnd");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("result");
    QTest::newRow("tip writes") << false << 1 << "chalk";
    QTest::newRow("eraser end rubs out") << true << 1 << "rubbed";
    QTest::newRow("tip with the right barrel button rubs out") << false << 3 << "rubbed";
    QTest::newRow("tip with the middle barrel button: mask 5, nothing") << false << 5 << "nothing";
    QTest::newRow("hovering") << false << 0 << "nothing";
    QTest::newRow("hovering with the right barrel button") << false << 2 << "nothing";
    QTest::newRow("hovering eraser end") << true << 0 << "nothing";
}

void TestInput::pen()
{
    QFETCH(bool, eraserEnd);
    QFETCH(int, buttons);
    QFETCH(QString, result);
    const auto b = openBlackboard();
    QVERIFY(b);
    QWindow *window = windowOf(*b);
    const auto type = eraserEnd ? QPointingDevice::PointerType::Eraser : QPointingDevice::PointerType::Pen;
    const QPointF target(200, 150);
    disc(b->forms, target.x() * 15, target.y() * 15, 600, 0xFF00FF); // magenta under the pen
    const QImage before = b->board();
    const Qt::MouseButtons held = Qt::MouseButtons::fromInt(buttons);

    inject::tablet(window, type, Qt::NoButton, inWindow(target - QPointF(20, 0)));
    inject::tablet(window, type, held, inWindow(target - QPointF(20, 0)));
    inject::tablet(window, type, held, inWindow(target));
    inject::tablet(window, type, Qt::NoButton, inWindow(target));
    const QImage after = b->board();

    if (result == QLatin1String("nothing")) {
        QCOMPARE(after, before);
        QVERIFY(!b->forms.chalk(0)->isVisible());
        QVERIFY(b->forms.eraser()->isVisible());
        QVERIFY(!b->forms.board()->testAttribute(Qt::WA_SetCursor));
        return;
    }
    // One dab at the move; touching down lays none.
    QCOMPARE(countPixels(after, kMagenta, QRect(178, 148, 5, 5)), 25);
    QVERIFY(b->forms.board()->testAttribute(Qt::WA_SetCursor));
    if (result == QLatin1String("chalk")) {
        QVERIFY(hasBoardDab(after, target, kWhite));
        QVERIFY(!b->forms.chalk(0)->isVisible());
        QVERIFY(b->forms.eraser()->isVisible());
    } else {
        QCOMPARE(countPixels(after, kBoardPixel, QRect(196, 146, 9, 9)), 81);
        QCOMPARE(countPixels(after, kWhite, after.rect()), 0);
        QVERIFY(b->forms.chalk(0)->isVisible());
        QVERIFY(!b->forms.eraser()->isVisible());
    }
}

void TestInput::fingersWriteTogether_data()
{
    QTest::addColumn<int>("fingers");
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
    QTest::newRow("ten") << 10;
    QTest::newRow("seventy, more than are followed one by one") << 70;
}

void TestInput::fingersWriteTogether()
{
    QFETCH(int, fingers);
    const auto b = openBlackboard();
    QVERIFY(b);
    QWindow *window = windowOf(*b);
    QList<QPointF> start;
    for (int i = 0; i < fingers; ++i)
        start << QPointF(20 + 48 * (i % 10), 30 + 50 * (i / 10));
    QList<inject::Contact> frame;
    for (int i = 0; i < fingers; ++i)
        frame << inject::Contact {i, inWindow(start[i]), 0, QEventPoint::State::Pressed};
    inject::touch(window, frame);
    // Each finger moves along its own path, three steps down.
    for (int step = 1; step <= 3; ++step) {
        for (int i = 0; i < fingers; ++i)
            frame[i] = inject::Contact {i, inWindow(start[i] + QPointF(0, 20 * step)), 0, QEventPoint::State::Updated};
        inject::touch(window, frame);
    }
    for (int i = 0; i < fingers; ++i)
        frame[i].state = QEventPoint::State::Released;
    inject::touch(window, frame);

    const QImage board = b->board();
    for (int i = 0; i < fingers; ++i) {
        for (int step = 1; step <= 3; ++step)
            QVERIFY2(hasBoardDab(board, start[i] + QPointF(0, 20 * step), kWhite),
                     qPrintable(QStringLiteral("finger %1, step %2").arg(i).arg(step)));
        // Touching down lays no dab, as a mouse press without a move lays none.
        QCOMPARE(board.pixel(start[i].toPoint()), kBoardPixel);
    }
    // Exactly the dabs of the moves: 3 per finger, each at most 37 pixels.
    QVERIFY(countPixels(board, kWhite, board.rect()) <= fingers * 3 * 37);
    QVERIFY(b->forms.eraser()->isVisible());
}

void TestInput::flatOfTheHand_data()
{
    QTest::addColumn<double>("millimetres");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<bool>("rubsOut");
    QTest::newRow("size not reported") << 0.0 << 100.0 << false;
    QTest::newRow("fingertip, 10 mm") << 10.0 << 100.0 << false;
    QTest::newRow("broad fingertip, 15 mm") << 15.0 << 100.0 << false;
    QTest::newRow("side of the hand, 20 mm") << 20.0 << 100.0 << true;
    QTest::newRow("flat of the hand, 30 mm") << 30.0 << 100.0 << true;
    QTest::newRow("whole hand, 70 mm") << 70.0 << 100.0 << true;
    QTest::newRow("100 mm on a 96 dpi panel") << 100.0 << 96.0 << true;
    QTest::newRow("100 mm on a 300 dpi pen display") << 100.0 << 300.0 << true;
}

void TestInput::flatOfTheHand()
{
    QFETCH(double, millimetres);
    QFETCH(double, dpi);
    QFETCH(bool, rubsOut);
    const auto b = openBlackboard();
    QVERIFY(b);
    QWindow *window = windowOf(*b);
    BoardWidget *board = b->forms.board();
    board->setDotsPerInch(dpi);
    // The handler's moves, counted frame by frame.
    int moves = 0;
    int most = 0;
    board->onMouseMove = [&moves, handler = board->onMouseMove](std::int16_t button, const QPointF &pixels) {
        ++moves;
        handler(button, pixels);
    };
    // Magenta chalk all over the middle of the board; the hand slides over it, 5 pixels a frame.
    disc(b->forms, 250 * 15, 200 * 15, 180 * 15, 0xFF00FF);
    const double across = millimetres / 25.4 * dpi;
    const QPointF from(210, 200);
    const QPointF to(250, 200);
    inject::touch(window, {{7, inWindow(from), across, QEventPoint::State::Pressed}});
    for (QPointF at = from + QPointF(5, 0); at.x() <= to.x(); at += QPointF(5, 0)) {
        moves = 0;
        inject::touch(window, {{7, inWindow(at), across, QEventPoint::State::Updated}});
        most = std::max(most, moves);
    }
    inject::touch(window, {{7, inWindow(to), across, QEventPoint::State::Released}});
    const QImage image = b->board();

    if (!rubsOut) {
        QVERIFY(hasBoardDab(image, to, kWhite));
        QVERIFY(b->forms.eraser()->isVisible());
        return;
    }
    // The band the hand went over is rubbed out across its whole width, and nothing beyond it.
    const double dabReach = 100.0 / 15 + 0.5;
    const double halfWidth = std::max(across / 2, dabReach);
    int left = 0;
    int stray = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool inBand = x >= from.x() + 5 && x <= to.x() && std::abs(y - to.y()) <= halfWidth - 1;
            const bool beyond = x > to.x() + dabReach || std::abs(y - to.y()) > halfWidth + dabReach;
            const bool magentaBefore = std::hypot(x - 250, y - 200) <= 179;
            left += inBand && image.pixel(x, y) != kBoardPixel;
            stray += beyond && magentaBefore && image.pixel(x, y) != kMagenta;
        }
    }
    QCOMPARE(left, 0);
    QCOMPARE(stray, 0);
    // However large the hand and dense the screen, one frame costs a bounded number of moves.
    QVERIFY2(most <= input::kMaxDabsPerHand, qPrintable(QString::number(most)));
    QCOMPARE(countPixels(image, kWhite, image.rect()), 0);
    QVERIFY(!b->forms.eraser()->isVisible());
    QVERIFY(b->forms.chalk(0)->isVisible());
}

void TestInput::contactSizesThatMeanNothing_data()
{
    // A size that says nothing, reported by a finger from the start or by a hand later on; or a
    // place far beyond any screen, where the contact moves to and lifts (on the board, and where it
    // would be on a stick).
    QTest::addColumn<double>("diameter");
    QTest::addColumn<bool>("handFirst");
    QTest::addColumn<QPointF>("to");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const double largest = std::numeric_limits<double>::max();
    const QPointF near(120, 100);
    const std::pair<const char *, double> sizes[]
        = {{"zero", 0.0}, {"negative", -300.0}, {"not a number", nan}, {"infinite", infinity}};
    for (const auto &[name, size] : sizes) {
        QTest::addRow("finger: %s", name) << size << false << near;
        QTest::addRow("hand, then %s", name) << size << true << near;
    }
    QTest::newRow("hand larger than the screen") << 1e12 << true << near;
    QTest::newRow("finger moving to 1e300") << 0.0 << false << QPointF(1e300, 100);
    QTest::newRow("finger moving to the largest double") << 0.0 << false << QPointF(-largest, largest);
    QTest::newRow("hand moving to -1e300") << 118.0 << true << QPointF(100, -1e300);
    QTest::newRow("finger moving to no number") << 0.0 << false << QPointF(nan, nan);
}

void TestInput::contactSizesThatMeanNothing()
{
    // Straight to the board, as a driver could report them; the window system path would not
    // pass such sizes through unchanged.
    QFETCH(double, diameter);
    QFETCH(bool, handFirst);
    QFETCH(QPointF, to);
    const auto b = openBlackboard();
    QVERIFY(b);
    BoardWidget *board = b->forms.board();
    const auto sendPoint
        = [&](QWidget *widget, QEvent::Type type, QEventPoint::State state, const QPointF &at, double across) {
              QEventPoint point
                  = QMutableEventPoint::withTimeStamp(0, 3, state, at, at, at + QPointF(widget->mapToGlobal(QPoint())));
              QMutableEventPoint::setEllipseDiameters(point, QSizeF(across, across));
              QTouchEvent event(type, inject::touchScreen(), Qt::NoModifier, {point});
              QCoreApplication::sendEvent(widget, &event);
          };
    disc(b->forms, 130 * 15, 100 * 15, 30 * 15, 0xFF00FF);
    const double first = handFirst ? 118 : diameter; // 30 mm at the offscreen screen's 100 dpi
    sendPoint(board, QEvent::TouchBegin, QEventPoint::State::Pressed, QPointF(100, 100), first);
    sendPoint(board, QEvent::TouchUpdate, QEventPoint::State::Updated, QPointF(110, 100), first);
    sendPoint(board, QEvent::TouchUpdate, QEventPoint::State::Updated, to, diameter);
    sendPoint(board, QEvent::TouchEnd, QEventPoint::State::Released, to, diameter);
    if (handFirst) {
        // A hand stays a hand: it rubs out where it went, and writes nothing.
        QCOMPARE(b->board().pixel(110, 100), kBoardPixel);
        QCOMPARE(countPixels(b->board(), kWhite, b->board().rect()), 0);
    } else {
        // A finger of unknown size writes, one dab where each move went on the board, and nothing else.
        QVERIFY(hasBoardDab(b->board(), QPointF(110, 100), kWhite));
        if (std::isfinite(to.x()) && QRectF(b->board().rect()).contains(to))
            QVERIFY(hasBoardDab(b->board(), to, kWhite));
        QVERIFY(countPixels(b->board(), kWhite, b->board().rect()) <= 2 * 37);
        QCOMPARE(countPixels(b->board(), kWhite, QRect(0, 0, 20, 20)), 0);
    }
    // A lift there, told to a stick, is not a tap on it.
    sendPoint(b->forms.chalk(1), QEvent::TouchBegin, QEventPoint::State::Pressed, to, diameter);
    sendPoint(b->forms.chalk(1), QEvent::TouchEnd, QEventPoint::State::Released, to, diameter);
    QVERIFY(b->forms.chalk(1)->isVisible());
}

void TestInput::palmRejection_data()
{
    // Injection lines (window coordinates) and "wait MS" on the palm rejection's clock; then what
    // the board shows at (150, 100), on magenta chalk: "magenta" (untouched), "rubbed" or "white".
    // The hand is 30 mm across (118 pixels at the offscreen screen's 100 dpi).
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("result");
    const QString down = QStringLiteral("touch 1:100:108:118:p");
    const QString slide = QStringLiteral("touch 1:158:108:118:u");
    const QString lift = QStringLiteral("touch 1:158:108:118:r");
    QTest::newRow("no pen: the hand rubs out") << QStringList {down, slide, lift} << "rubbed";
    QTest::newRow("pen near: the resting hand draws nothing")
        << QStringList {"enter pen", "pen pen 0 400 300", down, slide, lift} << "magenta";
    QTest::newRow("pen near: a finger writes nothing")
        << QStringList {"enter pen", "touch 2:100:108:0:p", "touch 2:158:108:0:u", "touch 2:158:108:0:r"} << "magenta";
    QTest::newRow("pen gone 0.4 s ago: still nothing")
        << QStringList {"enter pen", "leave pen", "wait 400", down, slide, lift} << "magenta";
    QTest::newRow("pen gone 0.6 s ago: the hand rubs out")
        << QStringList {"enter pen", "leave pen", "wait 600", down, slide, lift} << "rubbed";
    QTest::newRow("no proximity reported, pen moved 0.4 s ago")
        << QStringList {"pen pen 0 400 300", "wait 400", down, slide, lift} << "magenta";
    QTest::newRow("no proximity reported, pen moved 0.6 s ago")
        << QStringList {"pen pen 0 400 300", "wait 600", down, slide, lift} << "rubbed";
    QTest::newRow("a pen lying near, silent 1.9 s: still nothing")
        << QStringList {"enter pen", "pen pen 0 400 300", "wait 1900", down, slide, lift} << "magenta";
    QTest::newRow("a pen lying near, silent 2.1 s: the hand rubs out")
        << QStringList {"enter pen", "pen pen 0 400 300", "wait 2100", down, slide, lift} << "rubbed";
    QTest::newRow("a tip held still on the screen, silent 2.1 s: still nothing")
        << QStringList {"enter pen", "pen pen 1 400 300", "wait 2100", down, slide, lift} << "magenta";
    QTest::newRow("that tip lifted, silent 2.1 s: the hand rubs out")
        << QStringList {"enter pen", "pen pen 1 400 300", "pen pen 0 400 300", "wait 2100", down, slide, lift}
        << "rubbed";
    QTest::newRow("a hand down before the pen came is ended, not continued")
        << QStringList {down, "enter pen", slide, "leave pen", "wait 600", "touch 1:160:108:118:u", lift} << "magenta";
    QTest::newRow("put down again after the pen left, it rubs out")
        << QStringList {"enter pen", down, "leave pen", lift, "wait 600", down, slide, lift} << "rubbed";
    QTest::newRow("pen leaves mid-stroke, its chalk stays")
        << QStringList {"pen pen 1 150 100", "pen pen 1 158 108", "leave pen"} << "white";
    QTest::newRow("touches cancelled while the pen is near")
        << QStringList {"enter pen", down, "cancel", "leave pen", "wait 600", down, slide, lift} << "rubbed";
    QTest::newRow("a hand sliding off the board rubs out only its own band")
        << QStringList {"touch 1:480:300:118:p", "touch 1:700:300:118:u", "touch 1:9000:300:118:u",
                        "touch 1:9000:300:118:r"}
        << "magenta";
}

void TestInput::palmRejection()
{
    QFETCH(QStringList, script);
    QFETCH(QString, result);
    const auto b = openBlackboard();
    QVERIFY(b);
    qint64 now = 10'000;
    b->forms.board()->palmRejection().setClock([&now] { return now; });
    // The test pen is shared by every test: lifted and away again afterwards, whatever the script did.
    const auto away = qScopeGuard([window = windowOf(*b)] {
        inject::tablet(window, QPointingDevice::PointerType::Pen, Qt::NoButton, QPointF(600, 40));
        inject::penProximity(window, QPointingDevice::PointerType::Pen, false);
    });
    disc(b->forms, 150 * 15, 100 * 15, 60 * 15, 0xFF00FF);
    for (const QString &line : script) {
        if (line.startsWith(QLatin1String("wait "))) {
            now += line.mid(5).toInt();
            continue;
        }
        QString error;
        QVERIFY2(inject::runLine(windowOf(*b), line, &error), qPrintable(error));
    }
    if (result == QLatin1String("white"))
        QVERIFY(hasBoardDab(b->board(), QPointF(150, 100), kWhite));
    else
        QCOMPARE(b->board().pixel(150, 100), result == QLatin1String("magenta") ? kMagenta : kBoardPixel);
}

void TestInput::trayTapWhileTheBoardIsTouched_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("a finger writing on the board") << "touch 1:100:100:0:p";
    QTest::newRow("a pen near the screen") << "enter pen";
}

void TestInput::trayTapWhileTheBoardIsTouched()
{
    QFETCH(QString, meanwhile);
    const auto b = openBlackboard();
    QVERIFY(b);
    BlackboardWindow &w = b->forms;
    QWindow *window = windowOf(*b);
    QString error;
    QVERIFY(inject::runLine(window, meanwhile, &error));
    const auto away = qScopeGuard([window] { inject::penProximity(window, QPointingDevice::PointerType::Pen, false); });
    const QPointF red(w.chalk(3)->mapTo(&w, QPoint(32, 50)));
    inject::touch(window,
                  {{1, QPointF(120, 100), 0, QEventPoint::State::Updated}, {5, red, 0, QEventPoint::State::Pressed}});
    inject::touch(window,
                  {{1, QPointF(140, 100), 0, QEventPoint::State::Updated}, {5, red, 0, QEventPoint::State::Released}});
    QTRY_COMPARE(b->form.chalkColor(), QStringLiteral("255"));
    QVERIFY(!w.chalk(3)->isVisible());
}

void TestInput::tapsAndPenTapsAreClicks()
{
    const auto b = openBlackboard();
    QVERIFY(b);
    BlackboardWindow &w = b->forms;
    QWindow *window = windowOf(*b);
    const auto centreOf = [&](QWidget *widget) { return QPointF(widget->mapTo(&w, QPoint(32, 50))); };

    // A finger tapped on the red stick picks it up.
    const QPointF red = centreOf(w.chalk(3));
    inject::touch(window, {{1, red, 0, QEventPoint::State::Pressed}});
    inject::touch(window, {{1, red, 0, QEventPoint::State::Released}});
    QTRY_COMPARE(b->form.chalkColor(), QStringLiteral("255"));
    QVERIFY(!w.chalk(3)->isVisible());

    // The pen's tip tapped on the yellow one.
    const QPointF yellow = centreOf(w.chalk(1));
    inject::tablet(window, QPointingDevice::PointerType::Pen, Qt::LeftButton, yellow);
    inject::tablet(window, QPointingDevice::PointerType::Pen, Qt::NoButton, yellow);
    QTRY_COMPARE(b->form.chalkColor(), QStringLiteral("65535"));
    QVERIFY(w.chalk(3)->isVisible());

    // A tap on the eraser opens the menu where the finger was, whatever the pointer says.
    QCursor::setPos(w.mapToGlobal(QPoint(50, 50)));
    const QPointF eraser = QPointF(w.eraser()->mapTo(&w, QPoint(25, 30)));
    inject::touch(window, {{2, eraser, 0, QEventPoint::State::Pressed}});
    inject::touch(window, {{2, eraser, 0, QEventPoint::State::Released}});
    QTRY_VERIFY(w.menu()->isVisible());
    QCOMPARE(w.menu()->pos(), w.mapToGlobal(eraser.toPoint()));
    w.menu()->close();
    // No chalk was laid by any of the taps.
    QCOMPARE(countPixels(b->board(), kBoardPixel, b->board().rect()), 505 * 393);
}

void TestInput::badTouchAndPenInput()
{
    const auto b = openBlackboard();
    QVERIFY(b);
    QWindow *window = windowOf(*b);
    // A line already written.
    for (int x = 100; x <= 200; x += 5)
        b->form.書ける_MouseMove(1, 0, x * 15.0f, 100 * 15.0f);
    const QImage written = b->board();

    // Fingers that start on the board and wander far off it: dabs only where they are, clipped.
    inject::touch(window,
                  {{1, inWindow({300, 300}), 0, QEventPoint::State::Pressed},
                   {2, inWindow({320, 300}), 0, QEventPoint::State::Pressed}});
    inject::touch(window,
                  {{1, inWindow({-200, -200}), 0, QEventPoint::State::Updated},
                   {2, inWindow({5000, 300}), 0, QEventPoint::State::Updated}});
    inject::touch(window,
                  {{1, inWindow({-1e9, 1e9}), 0, QEventPoint::State::Updated},
                   {2, inWindow({320, 1e6}), 0, QEventPoint::State::Updated}});
    // The system takes the touch back in the middle of the stroke.
    inject::touchCancel(window);
    QCOMPARE(b->board(), written);

    // After the cancel, touch writes again.
    inject::touch(window, {{5, inWindow({300, 250}), 0, QEventPoint::State::Pressed}});
    inject::touch(window, {{5, inWindow({310, 250}), 0, QEventPoint::State::Updated}});
    inject::touch(window, {{5, inWindow({310, 250}), 0, QEventPoint::State::Released}});
    QVERIFY(hasBoardDab(b->board(), {310, 250}, kWhite));

    // The pen leaves proximity in the middle of a stroke, then comes back elsewhere.
    const auto pen = QPointingDevice::PointerType::Pen;
    inject::tablet(window, pen, Qt::LeftButton, inWindow({50, 300}));
    inject::tablet(window, pen, Qt::LeftButton, inWindow({60, 300}));
    inject::penProximity(window, pen, false);
    inject::penProximity(window, pen, true);
    inject::tablet(window, pen, Qt::NoButton, inWindow({400, 300}));
    inject::tablet(window, pen, Qt::LeftButton, inWindow({400, 300}));
    inject::tablet(window, pen, Qt::LeftButton, inWindow({410, 300}));
    inject::tablet(window, pen, Qt::NoButton, inWindow({410, 300}));
    const QImage after = b->board();
    QVERIFY(hasBoardDab(after, {60, 300}, kWhite));
    QVERIFY(hasBoardDab(after, {410, 300}, kWhite));
    // Nothing already drawn was lost.
    for (int y = 0; y < written.height(); ++y)
        for (int x = 0; x < written.width(); ++x)
            if (written.pixel(x, y) != kBoardPixel)
                QCOMPARE(after.pixel(x, y), written.pixel(x, y));
}

void TestInput::doubleClickOnTheEraser_data()
{
    // A double click is measured as Qt measures it: from press to press.
    QTest::addColumn<int>("hold"); // ms the opening click's button is held
    QTest::addColumn<int>("delay"); // ms from the opening click's press to the next press
    QTest::addColumn<bool>("nearby"); // within the double-click distance of the opening click
    QTest::addColumn<bool>("chosen");
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    QTest::newRow("second click of a double click") << 40 << 130 << true << false;
    QTest::newRow("same place, after the double-click time") << 40 << interval + 100 << true << true;
    QTest::newRow("a slow first click: past the time from its press, not from its release")
        << interval - 60 << interval + 40 << true << true;
    QTest::newRow("at once, but further than the double-click distance") << 40 << 130 << false << true;
}

void TestInput::doubleClickOnTheEraser()
{
    QFETCH(int, hold);
    QFETCH(int, delay);
    QFETCH(bool, nearby);
    QFETCH(bool, chosen);
    const auto b = openBlackboard();
    QVERIFY(b);
    BlackboardWindow &w = b->forms;
    for (int x = 100; x <= 200; x += 5)
        b->form.書ける_MouseMove(1, 0, x * 15.0f, 100 * 15.0f);
    const QImage written = b->board();

    // The pointer comes to the eraser, and the real press and release there open the menu at the
    // click, under the pointer, which then moves a few pixels at most.
    const QPoint onEraser(20, 22);
    QTest::mouseMove(w.eraser(), onEraser);
    const quint64 t0 = 1'000'000;
    clickAt(w.eraser(), onEraser, t0, quint64(hold));
    QMenu *menu = w.menu();
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), w.eraser()->mapToGlobal(onEraser));
    // The first item's corner nearest the pointer, or its middle.
    const QRect item = menu->actionGeometry(menu->actions().first());
    const QPoint at = nearby ? item.topLeft() + QPoint(3, 3) : item.center();
    const int distance = QGuiApplication::styleHints()->mouseDoubleClickDistance();
    QCOMPARE(qMax(at.x(), at.y()) <= distance, nearby);
    sendMouse(menu, QEvent::MouseMove, at, Qt::NoButton, t0 + quint64(hold));
    clickAt(menu, at, t0 + quint64(delay));
    if (chosen) {
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(countPixels(b->board(), kBoardPixel, b->board().rect()), 505 * 393);
        return;
    }
    QVERIFY(menu->isVisible());
    QCOMPARE(b->board(), written);
    // A deliberate click afterwards chooses as usual.
    clickAt(menu, at, t0 + quint64(delay) + 5000);
    QTRY_VERIFY(!menu->isVisible());
    QCOMPARE(countPixels(b->board(), kBoardPixel, b->board().rect()), 505 * 393);
}

void TestInput::shortcutsInTheOpenMenu_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+A erases all") << int(Qt::Key_A);
    QTest::newRow("Ctrl+D rewrites the date") << int(Qt::Key_D);
    QTest::newRow("Ctrl+X ends") << int(Qt::Key_X);
}

void TestInput::shortcutsInTheOpenMenu()
{
    QFETCH(int, key);
    const auto b = openBlackboard();
    QVERIFY(b);
    BlackboardWindow &w = b->forms;
    b->form.書ける_MouseMove(1, 0, 1500, 1500);
    w.setDateCaption(QStringLiteral("old"));
    QTest::mouseClick(w.eraser(), Qt::LeftButton, {}, QPoint(20, 22));
    QTRY_VERIFY(w.menu()->isVisible());
    QTest::keyClick(w.menu(), static_cast<Qt::Key>(key), Qt::ControlModifier);
    QTRY_VERIFY(!w.menu()->isVisible());
    const bool cleared = countPixels(b->board(), kBoardPixel, b->board().rect()) == 505 * 393;
    QCOMPARE(cleared, key == Qt::Key_A);
    QCOMPARE(w.dateCaption() != QStringLiteral("old"), key == Qt::Key_D);
    QCOMPARE(!w.isVisible(), key == Qt::Key_X);
}

QTEST_MAIN(TestInput)
#include "tst_input.moc"

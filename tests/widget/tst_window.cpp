// The real window, offscreen: pixels from grabs, repaint areas, menu and shortcuts.
#include "blackboard.h"
#include "handlers/frmmain.h"
#include "handlers/layout.h"
#include "widgets/blackboardwindow.h"
#include "widgets/boardwidget.h"
#include "widgets/circleraster.h"
#include "widgets/datestrip.h"
#include "widgets/trayimage.h"
#include "widgets/traypanel.h"

#include <QAction>
#include <QBackingStore>
#include <QMenu>
#include <QPaintEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <private/qhighdpiscaling_p.h>
#include <qpa/qplatformbackingstore.h>
#include <qpa/qplatformscreen.h>
#include <qpa/qwindowsysteminterface.h>

#include <limits>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const QRgb kBoard = kBoardPixel;

// Collects the areas the board is asked to repaint.
class PaintRecorder : public QObject
{
public:
    QRegion painted;
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return false;
    }
};

QRect changedPixels(const QImage &before, const QImage &after)
{
    QRect changed;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    return changed;
}

bool isWhite(QRgb p)
{
    return qRed(p) > 160 && qGreen(p) > 160 && qBlue(p) > 160;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startPixels_data();
    void startPixels();
    void windowGeometry();
    void chalkDab();
    void eraserDab();
    void speckIsOnePixel_data();
    void speckIsOnePixel();
    void specksWhereRndSays_data();
    void specksWhereRndSays();
    void dabsAtTheEdges_data();
    void dabsAtTheEdges();
    void repaintCoversEveryChange_data();
    void repaintCoversEveryChange();
    void rubOutEveryColour_data();
    void rubOutEveryColour();
    void drawingSurvivesExpose();
    void drawingKeptAcrossScales_data();
    void drawingKeptAcrossScales();
    void trayClicks();
    void menuItems();
    void popupAtTheClick();
    void shortcutsWithPopupClosed();
    void widestDateFits();
    void penServiceProperty();
};

void TestWindow::initTestCase()
{
    QVERIFY(openBlackboard());
}

void TestWindow::startPixels_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("frame left") << QPoint(3, 200) << qRgb(64, 0, 0);
    QTest::newRow("frame top") << QPoint(300, 3) << qRgb(64, 0, 0);
    QTest::newRow("frame right") << QPoint(637, 200) << qRgb(64, 0, 0);
    QTest::newRow("board") << QPoint(100, 100) << kBoard;
    QTest::newRow("board's last row") << QPoint(100, 399) << kBoard;
    QTest::newRow("date strip below the text") << QPoint(625, 399) << kBoard;
    QTest::newRow("board over the strip's first column") << QPoint(512, 5) << qRgb(64, 0, 0);
    QTest::newRow("tray border outer top") << QPoint(300, 400) << qRgb(128, 128, 128);
    QTest::newRow("tray border inner top") << QPoint(300, 401) << qRgb(64, 64, 64);
    QTest::newRow("tray border outer left") << QPoint(0, 430) << qRgb(128, 128, 128);
    QTest::newRow("tray border outer bottom") << QPoint(300, 448) << qRgb(255, 255, 255);
    QTest::newRow("tray border outer right") << QPoint(640, 430) << qRgb(255, 255, 255);
    QTest::newRow("tray border inner bottom") << QPoint(300, 447) << qRgb(192, 192, 192);
    QTest::newRow("tray") << QPoint(600, 420) << qRgb(224, 224, 224);
    QTest::newRow("tray above the sticks") << QPoint(122, 405) << qRgb(224, 224, 224);
    QTest::newRow("white stick is in hand") << QPoint(50, 424) << qRgb(224, 224, 224);
    QTest::newRow("yellow stick") << QPoint(122, 424) << qRgb(255, 255, 0);
    QTest::newRow("magenta stick") << QPoint(194, 424) << qRgb(255, 0, 255);
    QTest::newRow("red stick") << QPoint(266, 424) << qRgb(255, 0, 0);
    QTest::newRow("blue stick") << QPoint(338, 424) << qRgb(0, 0, 255);
    QTest::newRow("green stick") << QPoint(410, 424) << qRgb(0, 128, 0);
    QTest::newRow("stick outline") << QPoint(122, 432) << qRgb(0, 0, 0);
    QTest::newRow("eraser block") << QPoint(462, 420) << qRgb(128, 128, 0);
}

void TestWindow::startPixels()
{
    QFETCH(QPoint, at);
    QFETCH(QRgb, colour);
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    const QImage shot = blackboard->forms.grab().toImage();
    QCOMPARE(shot.size(), QSize(641, 449));
    QCOMPARE(QColor(shot.pixel(at)), QColor(colour));
}

void TestWindow::windowGeometry()
{
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    QCOMPARE(w.windowTitle(), QStringLiteral("ZAV 黒板"));
    QCOMPARE(w.minimumSize(), QSize(641, 449));
    QCOMPARE(w.maximumSize(), QSize(641, 449));
    QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w.board()->geometry(), QRect(8, 8, 505, 393));
    QCOMPARE(w.dateStrip()->geometry(), QRect(512, 8, 121, 393));
    QCOMPARE(w.tray()->geometry(), QRect(0, 400, 641, 49));
    QCOMPARE(w.tray()->inside()->size(), QSize(637, 45));
    // Stacking: tray over board over label.
    const QObjectList children = w.children();
    QVERIFY(children.indexOf(w.tray()) > children.indexOf(w.board()));
    QVERIFY(children.indexOf(w.board()) > children.indexOf(w.dateStrip()));
    QCOMPARE(w.board()->nextInFocusChain(), static_cast<QWidget *>(w.tray()));
    // The hand over the tray; the platform's arrow over the board until a tool is taken up.
    QCOMPARE(w.tray()->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(w.tray()->cursor().hotSpot(), QPoint(0, 0));
    QVERIFY(!w.board()->testAttribute(Qt::WA_SetCursor));
    QVERIFY(!w.windowIcon().isNull());
}

void TestWindow::chalkDab()
{
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    disc(w, 1500, 1500, 50, 0xFFFF);
    const QImage board = blackboard->board();
    const QRgb yellow = qRgb(255, 255, 0);
    QCOMPARE(countPixels(board, yellow, QRect(0, 100, 505, 1)), 7);
    QCOMPARE(countPixels(board, yellow, QRect(100, 0, 1, 393)), 7);
    QCOMPARE(countPixels(board, yellow, QRect(90, 90, 21, 21)), 37);
    QCOMPARE(board.pixel(100, 100), yellow);
    QCOMPARE(board.pixel(104, 100), kBoard);
    // The same dab on screen.
    QTRY_COMPARE(w.grab().toImage().pixel(8 + 103, 8 + 100), yellow);
}

void TestWindow::eraserDab()
{
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    disc(w, 3000, 3000, 200, 0xFFFFFF);
    disc(w, 3000, 3000, 100, 0x4000);
    const QImage board = blackboard->board();
    // Inside a white disc 27 pixels across, a green one 13 across.
    QCOMPARE(countPixels(board, kBoard, QRect(187, 200, 27, 1)), 13);
    QCOMPARE(countPixels(board, kBoard, QRect(200, 187, 1, 27)), 13);
    QCOMPARE(countPixels(board, qRgb(255, 255, 255), QRect(180, 180, 41, 41)), 553 - 137);
}

void TestWindow::speckIsOnePixel_data()
{
    QTest::addColumn<QPoint>("offset"); // twips from the dab centre at (1500, 1500)
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("on the pointer") << QPoint(0, 0) << QPoint(100, 100);
    QTest::newRow("7 twips") << QPoint(7, 7) << QPoint(100, 100);
    QTest::newRow("8 twips") << QPoint(8, -8) << QPoint(101, 99);
    QTest::newRow("largest below-right") << QPoint(24, 24) << QPoint(102, 102);
    QTest::newRow("largest above-left") << QPoint(-24, -24) << QPoint(98, 98);
    QTest::newRow("mixed") << QPoint(12, -20) << QPoint(101, 99);
}

void TestWindow::speckIsOnePixel()
{
    QFETCH(QPoint, offset);
    QFETCH(QPoint, pixel);
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    disc(w, 1500, 1500, 50, 0xFFFFFF);
    w.Circle(1500 + offset.x(), 1500 + offset.y(), 3, 0x4000);
    const QImage board = blackboard->board();
    QCOMPARE(countPixels(board, kBoard, QRect(96, 96, 9, 9)), 9 * 9 - 37 + 1);
    QCOMPARE(board.pixel(pixel), kBoard);
}

void TestWindow::specksWhereRndSays_data()
{
    // Rnd's three numbers per speck: side, then x and y offset (0 to 24 twips).
    QTest::addColumn<float>("side");
    QTest::addColumn<float>("dx");
    QTest::addColumn<float>("dy");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("on the pointer") << 0.9f << 0.0f << 0.0f << QPoint(100, 100);
    QTest::newRow("largest below-right") << 0.2f << 0.99f << 0.99f << QPoint(102, 102);
    QTest::newRow("largest above-left") << 0.7f << 0.99f << 0.99f << QPoint(98, 98);
    QTest::newRow("right only") << 0.49f << 0.5f << 0.0f << QPoint(101, 100);
    QTest::newRow("up only") << 0.5f << 0.0f << 0.5f << QPoint(100, 99);
}

void TestWindow::specksWhereRndSays()
{
    QFETCH(float, side);
    QFETCH(float, dx);
    QFETCH(float, dy);
    QFETCH(QPoint, pixel);
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    int next = 0;
    blackboard->services.setRandom([&] {
        const float values[] = {side, dx, dy};
        return values[next++ % 3];
    });
    blackboard->form.書ける_MouseMove(1, 0, 1500, 1500);
    QCOMPARE(next, 7 * 3);
    // Every speck fell on the same pixel: one hole in the dab, where Rnd put it.
    const QImage board = blackboard->board();
    QCOMPARE(countPixels(board, kBoard, QRect(96, 96, 9, 9)), 9 * 9 - 37 + 1);
    QCOMPARE(board.pixel(pixel), kBoard);
    const QImage shot = blackboard->forms.board()->grab().toImage();
    QCOMPARE(shot.pixel(pixel), kBoard);
}

void TestWindow::dabsAtTheEdges_data()
{
    // pixels -1: every pixel of the board.
    QTest::addColumn<QPointF>("centre");
    QTest::addColumn<float>("radius");
    QTest::addColumn<int>("pixels");
    QTest::newRow("top-left corner") << QPointF(0, 0) << 50.0f << 13;
    QTest::newRow("top edge") << QPointF(1500, 0) << 50.0f << 22;
    QTest::newRow("left edge") << QPointF(0, 1500) << 50.0f << 22;
    QTest::newRow("bottom-right corner") << QPointF(504 * 15, 392 * 15) << 50.0f << 13;
    QTest::newRow("right edge") << QPointF(504 * 15, 1500) << 50.0f << 22;
    QTest::newRow("bottom edge") << QPointF(1500, 392 * 15) << 50.0f << 22;
    QTest::newRow("just outside") << QPointF(-60, 1500) << 50.0f << 0;
    QTest::newRow("far outside") << QPointF(-1e30, 1e30) << 50.0f << 0;
    // Bounds far beyond what an int holds: clamped before they become pixels.
    QTest::newRow("huge radius on the board") << QPointF(1500, 1500) << 1e30f << -1;
    QTest::newRow("huge radius, centre far away") << QPointF(1e20, 1e20) << 2e20f << -1;
    QTest::newRow("huge radius, centre just too far") << QPointF(-3e9, 1500) << 2.99e9f << 0;
    QTest::newRow("largest float") << QPointF(0, 0) << std::numeric_limits<float>::max() << -1;
}

void TestWindow::dabsAtTheEdges()
{
    QFETCH(QPointF, centre);
    QFETCH(float, radius);
    QFETCH(int, pixels);
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    const QImage before = blackboard->board();
    disc(blackboard->forms, centre.x(), centre.y(), radius, 0xFF);
    const QRect all = before.rect();
    QCOMPARE(countPixels(blackboard->board(), qRgb(255, 0, 0), all), pixels < 0 ? all.width() * all.height() : pixels);
}

void TestWindow::repaintCoversEveryChange_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPointF>("at");
    QTest::newRow("chalk") << 1 << QPointF(3000, 3000);
    QTest::newRow("eraser") << 2 << QPointF(3000, 3000);
    QTest::newRow("chalk at the corner") << 1 << QPointF(0, 0);
    QTest::newRow("eraser at the far corner") << 2 << QPointF(7574, 5894);
}

void TestWindow::repaintCoversEveryChange()
{
    QFETCH(int, button);
    QFETCH(QPointF, at);
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    PaintRecorder recorder;
    blackboard->forms.board()->installEventFilter(&recorder);
    for (int i = 0; i < 20; ++i) {
        const QPointF point = at + QPointF(15 * (i % 3), -15 * (i % 4));
        // Chalk of another colour underneath, so every dab has something to change.
        disc(blackboard->forms, point.x(), point.y(), 120, 0xFF00FF);
        recorder.paints = 0;
        QTRY_VERIFY(recorder.paints > 0);
        recorder.painted = QRegion();
        recorder.paints = 0;
        const QImage before = blackboard->board();
        blackboard->form.書ける_MouseMove(static_cast<std::int16_t>(button), 0, point.x(), point.y());
        const QRect changed = changedPixels(before, blackboard->board());
        QVERIFY(!changed.isEmpty());
        QTRY_VERIFY(recorder.paints > 0);
        // The tray hides the board's last row; Qt never paints what cannot be seen.
        const QRegion visible = QRegion(changed).intersected(blackboard->forms.board()->visibleRegion());
        QVERIFY2(visible.subtracted(recorder.painted).isEmpty(), "a changed pixel lies outside the repainted area");
        // Only the dab's own small area, not the board.
        QVERIFY(recorder.painted.boundingRect().width() <= 16);
        QVERIFY(recorder.painted.boundingRect().height() <= 16);
    }
}

void TestWindow::rubOutEveryColour_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < 6; ++i)
        QTest::addRow("chalk %d", i) << i;
}

void TestWindow::rubOutEveryColour()
{
    QFETCH(int, index);
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    blackboard->form.チョーク_Click(static_cast<std::int16_t>(index));
    for (int i = 0; i < 5; ++i)
        blackboard->form.書ける_MouseMove(1, 0, 3000 + 15 * i, 3000);
    QVERIFY(countPixels(blackboard->board(), kBoard, QRect(195, 195, 15, 11)) < 15 * 11);
    blackboard->form.書ける_MouseMove(2, 0, 3030, 3000);
    QCOMPARE(countPixels(blackboard->board(), kBoard, QRect(197, 196, 9, 9)), 81);
    QVERIFY(blackboard->forms.chalk(index)->isVisible());
    QVERIFY(!blackboard->forms.eraser()->isVisible());
}

void TestWindow::drawingSurvivesExpose()
{
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    for (int i = 0; i < 10; ++i)
        blackboard->form.書ける_MouseMove(1, 0, 1500 + 150 * i, 1500);
    // Hidden and shown again, the window's surface starts empty: whatever is on the screen
    // afterwards was painted by the board in answer to the expose. (A grab() would call the
    // paint code itself, so the screen is read instead.)
    w.hide();
    QCoreApplication::processEvents();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const auto chalkOnScreen = [&] {
        const QImage shot = w.screen()->grabWindow(w.winId()).toImage();
        int white = 0;
        for (int i = 0; i < 10; ++i) {
            const QPoint dab(8 + 100 + 10 * i, 8 + 100);
            white += countPixels(shot, qRgb(255, 255, 255), QRect(dab - QPoint(3, 3), QSize(7, 7))) >= 20;
        }
        return white == 10;
    };
    QTRY_VERIFY2(chalkOnScreen(), "the chalk did not come back after the expose");
}

void TestWindow::drawingKeptAcrossScales_data()
{
    QTest::addColumn<qreal>("factor");
    QTest::newRow("to 1.25") << 1.25;
    QTest::newRow("to 1.5") << 1.5;
    QTest::newRow("to 2") << 2.0;
}

// The scale changes while the program runs (a window moved to a screen of another density, a
// browser window resized): what was written stays where it was on the board, and every device
// pixel shows the board pixel under it, never a blend of two.
void TestWindow::drawingKeptAcrossScales()
{
    QFETCH(qreal, factor);
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    for (int i = 0; i < 10; ++i)
        blackboard->form.書ける_MouseMove(1, 0, 1500 + 150 * i, 1500 + 40 * i);
    const QImage drawn = blackboard->board();
    QScreen *screen = w.screen();
    // The screen's scale changes, and its platform says so, as a desktop does when the scale is
    // set anew (Qt 6.8 reads a window's ratio again only when told).
    const auto rescale = [screen](qreal to) {
        QHighDpiScaling::setScreenFactor(screen, to);
        const QDpi dpi = screen->handle()->logicalDpi();
        QWindowSystemInterface::handleScreenLogicalDotsPerInchChange(screen, dpi.first, dpi.second);
        QWindowSystemInterface::flushWindowSystemEvents();
    };
    const auto restore = qScopeGuard([&] {
        rescale(1);
        w.windowHandle()->setGeometry(w.geometry());
    });
    const QRect geometry = w.geometry();
    rescale(factor);
    w.windowHandle()->setGeometry(geometry);
    QCOMPARE(w.devicePixelRatio(), factor);
    QCOMPARE(w.geometry(), geometry);
    QCOMPARE(blackboard->board(), drawn);

    // What the window shows, not a fresh rendering: its backing store, once painted again.
    const auto onScreen = [&w] { return w.backingStore()->handle()->toImage(); };
    QTRY_COMPARE(onScreen().size(), (QSizeF(w.size()) * factor).toSize());
    const QImage shot = onScreen();
    // The board's last row lies under the tray. Each device pixel shows one of the board pixels
    // its centre falls in or beside (the rasteriser rounds the edges of a scaled pixel), never a
    // blend of them.
    const QRect board = w.board()->geometry();
    const QRect inside(0, 0, drawn.width(), board.height() - 1);
    int chalk = 0;
    for (int y = 0; y < int(inside.height() * factor); ++y) {
        for (int x = 0; x < int(inside.width() * factor); ++x) {
            const QPoint centre(int((x + 0.5) / factor), int((y + 0.5) / factor));
            const QRgb got = shot.pixel(int(board.x() * factor) + x, int(board.y() * factor) + y);
            bool shown = false;
            for (int dy = -1; dy <= 1 && !shown; ++dy)
                for (int dx = -1; dx <= 1 && !shown; ++dx)
                    shown = inside.contains(centre + QPoint(dx, dy)) && drawn.pixel(centre + QPoint(dx, dy)) == got;
            if (!shown)
                QFAIL(qPrintable(QStringLiteral("device pixel %1, %2 of the board is %3, no board pixel near it")
                                     .arg(x)
                                     .arg(y)
                                     .arg(got, 0, 16)));
            chalk += got != kBoard;
        }
    }
    QVERIFY(chalk > 0);
}

void TestWindow::trayClicks()
{
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    QTest::mouseClick(w.chalk(3), Qt::LeftButton, {}, QPoint(32, 50));
    QCOMPARE(blackboard->form.chalkColor(), QStringLiteral("255"));
    QVERIFY(!w.chalk(3)->isVisible());
    QVERIFY(w.chalk(0)->isVisible());
    // Only the left button picks up chalk.
    QTest::mouseClick(w.chalk(1), Qt::RightButton, {}, QPoint(32, 50));
    QCOMPARE(blackboard->form.chalkColor(), QStringLiteral("255"));
    QVERIFY(w.board()->testAttribute(Qt::WA_SetCursor));
}

void TestWindow::menuItems()
{
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    QMenu *menu = blackboard->forms.menu();
    QCOMPARE(menu->objectName(), QStringLiteral("menu"));
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 3);
    const QStringList names = {QStringLiteral("AllClear"), QStringLiteral("Date"), QStringLiteral("ExitEnd")};
    const QStringList captions
        = {QStringLiteral("全部消す(&A)"), QStringLiteral("日付を書き換える"), QStringLiteral("終了(&X)")};
    const QStringList keys = {QStringLiteral("Ctrl+A"), QStringLiteral("Ctrl+D"), QStringLiteral("Ctrl+X")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(actions[i]->objectName(), names[i]);
        QCOMPARE(actions[i]->text(), captions[i]);
        QCOMPARE(actions[i]->shortcut().toString(QKeySequence::PortableText), keys[i]);
    }
    QCOMPARE(menu->defaultAction(), nullptr);
}

void TestWindow::popupAtTheClick()
{
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    blackboard->form.書ける_MouseMove(1, 0, 1500, 1500);
    const QImage before = blackboard->board();
    const QString caption = w.dateCaption();
    // The pointer the platform last saw is elsewhere (as after touch or a pen on Wayland): the
    // menu opens where the click was.
    QCursor::setPos(w.mapToGlobal(QPoint(100, 100)));
    QTest::mouseClick(w.eraser(), Qt::LeftButton, {}, QPoint(20, 22));
    QTRY_VERIFY(w.menu()->isVisible());
    QCOMPARE(w.menu()->pos(), w.eraser()->mapToGlobal(QPoint(20, 22)));
    QTest::keyClick(w.menu(), Qt::Key_Escape);
    QTRY_VERIFY(!w.menu()->isVisible());
    QCOMPARE(blackboard->board(), before);
    QCOMPARE(w.dateCaption(), caption);
    QVERIFY(w.isVisible());
}

void TestWindow::shortcutsWithPopupClosed()
{
    const auto blackboard = openBlackboard();
    QVERIFY(blackboard);
    BlackboardWindow &w = blackboard->forms;
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    blackboard->form.書ける_MouseMove(1, 0, 1500, 1500);
    w.setDateCaption(QStringLiteral("old"));
    QTest::keyClick(&w, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(countPixels(blackboard->board(), kBoard, blackboard->board().rect()), 505 * 393);
    QCOMPARE(w.dateCaption(), QStringLiteral("old"));
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(w.dateCaption().endsWith(QLatin1Char(')')));
    QTest::keyClick(&w, Qt::Key_X, Qt::ControlModifier);
    QTRY_VERIFY(!w.isVisible());
}

void TestWindow::widestDateFits()
{
    // A widest date: two-digit month and day (every weekday is as wide as any other), as the
    // program writes it when the clock says so.
    const auto blackboard = openBlackboard(QDate(2027, 12, 29));
    QVERIFY(blackboard);
    DateStrip *strip = blackboard->forms.dateStrip();
    QCOMPARE(blackboard->forms.dateCaption(), QStringLiteral("12\r\n月\r\n29\r\n日\r\n(水)"));
    const QImage shot = strip->grab().toImage();
    // The board covers the strip's first column; the tray its last row.
    const QRect visible(1, 0, shot.width() - 1, shot.height() - 1);
    QRect ink;
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < shot.height(); ++y) {
        bool any = false;
        for (int x = 0; x < shot.width(); ++x) {
            if (isWhite(shot.pixel(x, y))) {
                any = true;
                ink |= QRect(x, y, 1, 1);
            }
        }
        bands += any && !inBand;
        inBand = any;
    }
    QCOMPARE(bands, 5);
    QVERIFY2(visible.adjusted(1, 1, -1, -1).contains(ink),
             qPrintable(QStringLiteral("ink %1,%2 %3x%4 touches the edge")
                            .arg(ink.x())
                            .arg(ink.y())
                            .arg(ink.width())
                            .arg(ink.height())));
    // Full size in the program's own face (on Windows the tests' fonts are DejaVu Sans alone):
    // 64 pixels, lines not shrunk.
    QCOMPARE(QFontInfo(strip->textFont()).family(), QStringLiteral("ZAV Date"));
    QCOMPARE(strip->textFont().pixelSize(), 64);
    QVERIFY(ink.height() > 300);
}

void TestWindow::penServiceProperty()
{
#ifdef Q_OS_WIN
    // Needs real native windows: tests/e2e/windows.sh runs it under Wine on Xvfb.
    if (QGuiApplication::platformName() != QLatin1String("windows"))
        QSKIP("native windows only (tests/e2e/windows.sh)");
    const auto b = openBlackboard();
    QVERIFY(b);
    const auto pressAndHold = [&b] {
        return reinterpret_cast<quintptr>(GetPropW(HWND(b->forms.winId()), L"MicrosoftTabletPenServiceProperty"));
    };
    QCOMPARE(pressAndHold(), quintptr(1)); // TABLET_DISABLE_PRESSANDHOLD, while the window is shown
    // The native window made again, as Qt does when a window must change kind: the new one has it.
    const WId first = b->forms.winId();
    b->forms.windowHandle()->destroy();
    b->forms.windowHandle()->create();
    QVERIFY(b->forms.winId() != first);
    QCOMPARE(pressAndHold(), quintptr(1));
#else
    QSKIP("a Windows window property");
#endif
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"

// Keyboard and assistive technology: the controls' accessible names, roles, states and actions,
// and the tray worked from the keys, on the real window offscreen.
#include "blackboard.h"
#include "widgets/datestrip.h"
#include "widgets/trayimage.h"
#include "widgets/traypanel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

QAccessibleInterface *accessibleOf(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

QWidget *focused(Blackboard &b)
{
    return b.forms.focusWidget();
}

// The window as it was last painted on the screen.
QImage onScreen(Blackboard &b)
{
    return b.forms.screen()->grabWindow(b.forms.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Whether a dotted focus mark shows at a tray picture: its left edge, where the tray's grey shows
// through the picture's transparent top.
bool markOnPicture(Blackboard &b, QWidget *picture)
{
    const QPoint edge = picture->mapTo(&b.forms, QPoint(0, 36));
    return onScreen(b).pixel(edge) != qRgb(224, 224, 224);
}

bool markOnBoard(Blackboard &b)
{
    return onScreen(b).pixel(8 + 2, 8 + 200) != kBoardPixel;
}

// A mouse drag across the board with one button, through the window system.
void drag(Blackboard &b, Qt::MouseButton button, int y)
{
    QTest::mousePress(b.forms.board(), button, {}, QPoint(100, y));
    for (int x = 110; x <= 200; x += 10)
        QTest::mouseMove(b.forms.board(), QPoint(x, y));
    QTest::mouseRelease(b.forms.board(), button, {}, QPoint(200, y));
}

// The reason of the last focus a widget received.
struct FocusReason final : QObject
{
    Qt::FocusReason last = Qt::NoFocusReason;
    bool eventFilter(QObject *, QEvent *event) override
    {
        last = event->type() == QEvent::FocusIn ? static_cast<QFocusEvent *>(event)->reason() : last;
        return false;
    }
};

// The accessibility events the program makes while a screen reader runs (the platform's
// accessibility on), one line each: the object's name and what changed.
QStringList g_heard;
// The window being built and shown for the first time, whose widgets Qt itself tells as shown and
// (Qt 6.8) whose title it tells as given.
bool g_opening = false;

void hear(QAccessibleEvent *event)
{
    QAccessibleInterface *iface = event->accessibleInterface();
    const QString name = iface ? iface->text(QAccessible::Name) : QString();
    if (event->type() == QAccessible::ObjectShow || event->type() == QAccessible::ObjectHide) {
        // A picture going on or off the tray; not the window's widgets as it opens.
        if (!g_opening)
            g_heard << name + QLatin1String(event->type() == QAccessible::ObjectShow ? " shown" : " hidden");
    } else if (event->type() == QAccessible::DescriptionChanged || event->type() == QAccessible::NameChanged) {
        if (!(g_opening && iface && iface->role() == QAccessible::Window))
            g_heard << name + QLatin1String(event->type() == QAccessible::NameChanged ? " name" : " description");
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    } else if (event->type() == QAccessible::Announcement) {
        g_heard << name + QLatin1String(" says ") + static_cast<QAccessibleAnnouncementEvent *>(event)->message();
#endif
    }
}

// What a screen reader is told of a text said without a focus change: Qt 6.8 announces it from the
// window (nothing where the text is empty); before, there are no announcements, and what was told
// instead is given.
QStringList told(const QString &said, const QStringList &before68)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    Q_UNUSED(before68);
    return said.isEmpty() ? QStringList {} : QStringList {QStringLiteral("ZAV 黒板 says ") + said};
#else
    Q_UNUSED(said);
    return before68;
#endif
}

// As the chalk in hand changes: before Qt 6.8 the tray's and the board's descriptions, told as
// changed.
QStringList toldInHand(const char *holding)
{
    return told(QString::fromUtf8(holding),
                {QStringLiteral("チョーク入れ description"), QStringLiteral("黒板 description")});
}

void listen(bool on)
{
    g_heard.clear();
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(on);
    QAccessible::installUpdateHandler(on ? hear : nullptr);
}

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    void namesAndRoles_data();
    void namesAndRoles();
    void whatIsInHand();
    void announcements_data();
    void announcements();
    void actions_data();
    void actions();
    void dateReadsAsOneLine();
    void keysInTheTray_data();
    void keysInTheTray();
    void spaceOnTheStickInFocus();
    void eraserFromTheKeyboard();
    void focusMarkOnlyFromTheKeyboard();
    void focusStaysOnTheTray_data();
    void focusStaysOnTheTray();
};

void TestAccess::namesAndRoles_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("window") << "frmMain" << int(QAccessible::Window) << "ZAV 黒板";
    QTest::newRow("board") << "書ける" << int(QAccessible::Canvas) << "黒板";
    QTest::newRow("tray") << "Picture1" << int(QAccessible::Grouping) << "チョーク入れ";
    const char *sticks[]
        = {"白のチョーク", "黄色のチョーク", "赤紫のチョーク", "赤のチョーク", "青のチョーク", "緑のチョーク"};
    for (int n = 0; n < 6; ++n)
        QTest::addRow("stick %d", n) << QStringLiteral("チョーク%1").arg(n) << int(QAccessible::PushButton)
                                     << QString::fromUtf8(sticks[n]);
    QTest::newRow("eraser") << "黒板消し" << int(QAccessible::ButtonMenu) << "黒板消し";
    // Menu items are read without their access keys.
    QTest::newRow("erase all") << "AllClear" << int(QAccessible::MenuItem) << "全部消す";
    QTest::newRow("rewrite the date") << "Date" << int(QAccessible::MenuItem) << "日付を書き換える";
    QTest::newRow("quit") << "ExitEnd" << int(QAccessible::MenuItem) << "終了";
}

void TestAccess::namesAndRoles()
{
    QFETCH(QString, object);
    QFETCH(int, role);
    QFETCH(QString, name);
    const auto b = openBlackboard();
    QVERIFY(b);
    QObject *widget = object == QLatin1String("frmMain") ? &b->forms : b->forms.findChild<QWidget *>(object);
    if (!widget) // the menu's items, as the menu hands them out
        widget = b->forms.findChild<QAction *>(object);
    QVERIFY(widget);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    // The tray's pictures are its own children, in order, each with the tray as parent.
    if (role == QAccessible::PushButton || role == QAccessible::ButtonMenu) {
        QAccessibleInterface *tray = accessibleOf(b->forms.tray());
        QCOMPARE(iface->parent(), tray);
        QCOMPARE(tray->child(tray->indexOfChild(iface)), iface);
    }
    if (role == QAccessible::MenuItem) {
        QAccessibleInterface *menu = accessibleOf(b->forms.menu());
        QCOMPARE(iface->parent(), menu);
        QCOMPARE(menu->child(menu->indexOfChild(iface)), iface);
    }
}

void TestAccess::whatIsInHand()
{
    const auto b = openBlackboard();
    QVERIFY(b);
    // Each picture as "showing, focusable" (and never checkable: a picture on the tray is never
    // the one in hand) and what it says is in hand, against the handlers.
    const auto tray = [&] {
        QStringList seen;
        for (QWidget *picture : b->forms.tray()->members()) {
            QAccessibleInterface *iface = accessibleOf(picture);
            const QAccessible::State state = iface->state();
            seen << QStringLiteral("%1%2%3 %4")
                        .arg(state.invisible ? "-" : "s", state.focusable ? "f" : "-",
                             state.checkable || state.checked ? "c" : "", iface->text(QAccessible::Description));
        }
        return seen;
    };
    const auto expected = [](int off, const QString &holding) {
        QStringList want;
        for (int n = 0; n < 7; ++n)
            want << (n == off ? QStringLiteral("-- ") : QStringLiteral("sf ")) + holding;
        return want;
    };
    QCOMPARE(tray(), expected(0, QStringLiteral("白のチョークを持っています。")));
    b->form.チョーク_Click(4);
    QCOMPARE(tray(), expected(4, QStringLiteral("青のチョークを持っています。")));
    b->form.書ける_MouseMove(2, 0, 1500, 1500);
    QCOMPARE(tray(), expected(6, QStringLiteral("黒板消しを持っています。")));
    QVERIFY(accessibleOf(b->forms.eraser())->state().hasPopup);
}

void TestAccess::announcements_data()
{
    // Actions, then what is in hand, as the handler says it (the descriptions of the tray and the
    // board), and what assistive technology heard: nothing while the window was built; after it
    // shows, the pictures that go on or off the tray, then each new description once.
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("holding");
    QTest::addColumn<QStringList>("heard");
    QTest::newRow("building the window") << ""
                                         << "白のチョークを持っています。" << QStringList {};
    QTest::newRow("picking blue") << "stick"
                                  << "青のチョークを持っています。"
                                  << QStringList {"白のチョーク shown", "青のチョーク hidden"}
            + toldInHand("青のチョークを持っています。");
    QTest::newRow("taking up the eraser")
        << "rub"
        << "黒板消しを持っています。"
        << QStringList {"黒板消し hidden", "白のチョーク shown"} + toldInHand("黒板消しを持っています。");
    QTest::newRow("writing again after rubbing out")
        << "rub write"
        << "白のチョークを持っています。"
        << QStringList {"黒板消し hidden", "白のチョーク shown"} + toldInHand("黒板消しを持っています。")
            + QStringList {"黒板消し shown", "白のチョーク hidden"} + toldInHand("白のチョークを持っています。");
    QTest::newRow("writing the date again, the same day") << "date"
                                                          << "白のチョークを持っています。" << QStringList {};
    // The stick in focus leaves the tray, and the one that takes the focus says what is in hand.
    QTest::newRow("picking blue with Space") << "space"
                                             << "青のチョークを持っています。"
                                             << QStringList {"白のチョーク shown", "青のチョーク hidden"}
            + told({}, {"チョーク入れ description", "黒板 description"});
}

void TestAccess::announcements()
{
    QFETCH(QString, action);
    QFETCH(QString, holding);
    QFETCH(QStringList, heard);
    listen(true);
    const auto quiet = qScopeGuard([] { listen(false); });
    g_opening = true;
    const auto b = openBlackboard(QDate(2027, 12, 29));
    g_opening = false;
    QVERIFY(b);
    // Once shown and active, the window says how to use it.
    QCOMPARE(g_heard, told(accessibleOf(&b->forms)->text(QAccessible::Description), {}));
    g_heard.clear();
    for (const QString &step : action.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("stick")) {
            b->form.チョーク_Click(4);
        } else if (step == QLatin1String("space")) {
            b->forms.chalk(4)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(b->forms.chalk(4), Qt::Key_Space);
            QCOMPARE(focused(*b), b->forms.chalk(5));
        } else if (step == QLatin1String("date")) {
            b->form.Date_Click();
        } else {
            b->form.書ける_MouseMove(step == QLatin1String("rub") ? 2 : 1, 0, 1500, 1500);
        }
    }
    // The board says what is in hand, and only that, each time focus arrives.
    QCOMPARE(accessibleOf(b->forms.tray())->text(QAccessible::Description), holding);
    QCOMPARE(accessibleOf(b->forms.board())->text(QAccessible::Description), holding);
    QCOMPARE(g_heard, heard);
}

void TestAccess::actions_data()
{
    QTest::addColumn<int>("stick");
    QTest::addColumn<QString>("colour");
    const char *colours[] = {"16777215", "65535", "16711935", "255", "16711680", "32768"};
    for (int n = 1; n < 6; ++n)
        QTest::addRow("stick %d", n) << n << QString::fromLatin1(colours[n]);
}

void TestAccess::actions()
{
    QFETCH(int, stick);
    QFETCH(QString, colour);
    const auto b = openBlackboard();
    QVERIFY(b);
    QAccessibleActionInterface *action = accessibleOf(b->forms.chalk(stick))->actionInterface();
    QVERIFY(action);
    QCOMPARE(action->actionNames(), QStringList {QAccessibleActionInterface::pressAction()});
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(b->form.chalkColor(), colour);
    QVERIFY(b->forms.chalk(stick)->isHidden());
    QVERIFY(!b->forms.chalk(0)->isHidden());
    // Off the tray it has no action: it takes no clicks.
    QVERIFY(action->actionNames().isEmpty());
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(b->form.chalkColor(), colour);
}

void TestAccess::dateReadsAsOneLine()
{
    const auto b = openBlackboard(QDate(2027, 12, 29));
    QVERIFY(b);
    QAccessibleInterface *strip = accessibleOf(b->forms.dateStrip());
    QCOMPARE(int(strip->role()), int(QAccessible::StaticText));
    QCOMPARE(strip->text(QAccessible::Name), QStringLiteral("12月29日(水)"));
    QAccessibleTextInterface *text = strip->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 9);
    QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("12月29日(水)"));
    QCOMPARE(text->text(3, 5), QStringLiteral("29"));
    QCOMPARE(text->text(-4, 99), QStringLiteral("12月29日(水)"));
    // Rewritten on another day: it reads the new date.
    b->services.setClock([] { return QDate(2028, 1, 1); });
    b->form.Date_Click();
    QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("1月1日(土)"));
}

void TestAccess::keysInTheTray_data()
{
    // From the tray's first picture (white is in hand, so that is yellow).
    // With two stops, leaving forwards and backwards both land on the board: the focus event's
    // reason tells which way the focus went.
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("boardReason");
    const int none = Qt::NoFocusReason;
    QTest::newRow("Right") << QList<int> {Qt::Key_Right} << "チョーク2" << none;
    QTest::newRow("Right, Left") << QList<int> {Qt::Key_Right, Qt::Key_Left} << "チョーク1" << none;
    QTest::newRow("Left stays at the first") << QList<int> {Qt::Key_Left} << "チョーク1" << none;
    QTest::newRow("End") << QList<int> {Qt::Key_End} << "黒板消し" << none;
    QTest::newRow("Right stays at the last") << QList<int> {Qt::Key_End, Qt::Key_Right} << "黒板消し" << none;
    QTest::newRow("End, Home") << QList<int> {Qt::Key_End, Qt::Key_Home} << "チョーク1" << none;
    QTest::newRow("Tab leaves the tray") << QList<int> {Qt::Key_Right, Qt::Key_Tab} << "書ける"
                                         << int(Qt::TabFocusReason);
    QTest::newRow("Shift+Tab leaves the tray")
        << QList<int> {Qt::Key_Backtab} << "書ける" << int(Qt::BacktabFocusReason);
    QTest::newRow("back to the last one")
        << QList<int> {Qt::Key_End, Qt::Key_Tab, Qt::Key_Tab} << "黒板消し" << int(Qt::TabFocusReason);
}

void TestAccess::keysInTheTray()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, focus);
    QFETCH(int, boardReason);
    const auto b = openBlackboard();
    QVERIFY(b);
    QTRY_COMPARE(focused(*b), static_cast<QWidget *>(b->forms.board()));
    // The tray itself never takes the focus: a screen reader would name the tray, not the picture.
    FocusReason trayFocus;
    b->forms.tray()->installEventFilter(&trayFocus);
    QTest::keyClick(b->forms.board(), Qt::Key_Tab);
    QCOMPARE(focused(*b), static_cast<QWidget *>(b->forms.chalk(1)));
    FocusReason reason;
    b->forms.board()->installEventFilter(&reason);
    for (int key : keys)
        QTest::keyClick(focused(*b), Qt::Key(key));
    QCOMPARE(focused(*b)->objectName(), focus);
    QCOMPARE(int(reason.last), boardReason);
    QCOMPARE(int(trayFocus.last), int(Qt::NoFocusReason));
}

void TestAccess::spaceOnTheStickInFocus()
{
    const auto b = openBlackboard();
    QVERIFY(b);
    QTest::keyClick(b->forms.board(), Qt::Key_Tab);
    QTest::keyClick(focused(*b), Qt::Key_Right);
    QTest::keyClick(focused(*b), Qt::Key_Space);
    QCOMPARE(b->form.chalkColor(), QStringLiteral("16711935")); // magenta
    // The stick left the tray; the next one holds the focus, and Enter picks it.
    QCOMPARE(focused(*b), static_cast<QWidget *>(b->forms.chalk(3)));
    QTest::keyClick(focused(*b), Qt::Key_Return);
    QCOMPARE(b->form.chalkColor(), QStringLiteral("255")); // red
    QCOMPARE(focused(*b), static_cast<QWidget *>(b->forms.chalk(4)));
}

void TestAccess::eraserFromTheKeyboard()
{
    const auto b = openBlackboard();
    QVERIFY(b);
    QCursor::setPos(b->forms.mapToGlobal(QPoint(100, 100)));
    QTest::keyClick(b->forms.board(), Qt::Key_Tab);
    QTest::keyClick(focused(*b), Qt::Key_End);
    QTest::keyClick(focused(*b), Qt::Key_Enter);
    QTRY_VERIFY(b->forms.menu()->isVisible());
    TrayImage *eraser = b->forms.eraser();
    QCOMPARE(b->forms.menu()->pos(), eraser->mapToGlobal(QPoint(eraser->width(), 0)));
    b->forms.menu()->close();
    // The eraser's action does the same.
    accessibleOf(eraser)->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    QTRY_VERIFY(b->forms.menu()->isVisible());
    QCOMPARE(b->forms.menu()->pos(), eraser->mapToGlobal(QPoint(eraser->width(), 0)));
    b->forms.menu()->close();
}

void TestAccess::focusMarkOnlyFromTheKeyboard()
{
    const auto b = openBlackboard();
    QVERIFY(b);
    const QImage quiet = onScreen(*b);
    const QImage boardImage = b->board();
    // Focus given to the board by the mouse shows no mark (first taken away, so that it arrives).
    b->forms.tray()->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(!b->forms.board()->hasFocus());
    b->forms.board()->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(b->forms.board()->hasFocus());
    QCOMPARE(onScreen(*b), quiet);
    // From the keyboard the board shows its mark, on the screen only, never in the drawing.
    QTest::keyClick(b->forms.board(), Qt::Key_Tab);
    QTest::keyClick(focused(*b), Qt::Key_Backtab);
    QCOMPARE(focused(*b), static_cast<QWidget *>(b->forms.board()));
    QTRY_VERIFY(markOnBoard(*b));
    QCOMPARE(b->board(), boardImage);
    QCOMPARE(onScreen(*b).pixel(8 + 20, 8 + 200), kBoardPixel);
    // Gone again with the focus.
    QTest::keyClick(b->forms.board(), Qt::Key_Tab);
    QTRY_VERIFY(!markOnBoard(*b));
}

void TestAccess::focusStaysOnTheTray_data()
{
    // Steps: keys to the picture in focus, "rub" and "write" as mouse drags on the board. Then
    // which picture has the focus, and whether its mark shows; the board never gets it.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("mark");
    QTest::newRow("a right drag takes the eraser in focus")
        << QStringList {"Tab", "End", "rub"} << "チョーク5" << false;
    QTest::newRow("a left drag takes the stick in focus")
        << QStringList {"rub", "Tab", "write"} << "チョーク1" << false;
    QTest::newRow("Space takes the stick in focus") << QStringList {"Tab", "Right", "Space"} << "チョーク3" << true;
    QTest::newRow("a key after the mouse shows the mark")
        << QStringList {"Tab", "End", "rub", "Left"} << "チョーク4" << true;
    QTest::newRow("Tab lands where the picture taken up stood")
        << QStringList {"Tab", "End", "Tab", "rub", "Tab"} << "チョーク5" << true;
}

void TestAccess::focusStaysOnTheTray()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, focus);
    QFETCH(bool, mark);
    const auto b = openBlackboard();
    QVERIFY(b);
    QTRY_COMPARE(focused(*b), static_cast<QWidget *>(b->forms.board()));
    bool boardFocused = false;
    const QMetaObject::Connection watch
        = connect(qApp, &QApplication::focusChanged, this,
                  [&](QWidget *, QWidget *now) { boardFocused = boardFocused || now == b->forms.board(); });
    const QHash<QString, int> keys {{"Tab", Qt::Key_Tab},
                                    {"End", Qt::Key_End},
                                    {"Right", Qt::Key_Right},
                                    {"Left", Qt::Key_Left},
                                    {"Space", Qt::Key_Space}};
    for (const QString &step : steps) {
        if (step == QLatin1String("rub"))
            drag(*b, Qt::RightButton, 300);
        else if (step == QLatin1String("write"))
            drag(*b, Qt::LeftButton, 320);
        else
            QTest::keyClick(focused(*b), Qt::Key(keys.value(step)));
        if (step == QLatin1String("Tab"))
            boardFocused = false; // Tab leaves the board: only what comes after counts
    }
    disconnect(watch);
    QCOMPARE(focused(*b)->objectName(), focus);
    QVERIFY(!boardFocused);
    QTRY_COMPARE(markOnPicture(*b, focused(*b)), mark);
    QVERIFY(!markOnBoard(*b));
}

QTEST_MAIN(TestAccess)
#include "tst_access.moc"

// Keyboard and assistive technology: the controls' accessible names, roles, states and actions,
// and the tray worked from the keys, on the real window offscreen.
#include "blackboard.h"
#include "widgets/datestrip.h"
#include "widgets/trayimage.h"
#include "widgets/traypanel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMenu>
#include <QScreen>
#include <QTest>

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

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    void namesAndRoles_data();
    void namesAndRoles();
    void checkedIsTheChalkInHand();
    void actions_data();
    void actions();
    void dateReadsAsOneLine();
    void keysInTheTray_data();
    void keysInTheTray();
    void spaceOnTheStickInFocus();
    void eraserFromTheKeyboard();
    void focusMarkOnlyFromTheKeyboard();
};

void TestAccess::namesAndRoles_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::newRow("window") << "frmMain" << int(QAccessible::Window) << "ZAV 黒板";
    QTest::newRow("board") << "書ける" << int(QAccessible::Canvas) << "黒板";
    QTest::newRow("tray") << "Picture1" << int(QAccessible::Grouping) << "チョーク入れ";
    const char *sticks[] = {"白のチョーク", "黄色のチョーク", "赤紫のチョーク", "赤のチョーク", "青のチョーク", "緑のチョーク"};
    for (int n = 0; n < 6; ++n)
        QTest::addRow("stick %d", n) << QStringLiteral("チョーク%1").arg(n) << int(QAccessible::RadioButton)
                                     << QString::fromUtf8(sticks[n]);
    QTest::newRow("eraser") << "黒板消し" << int(QAccessible::ButtonMenu) << "黒板消し";
}

void TestAccess::namesAndRoles()
{
    QFETCH(QString, object);
    QFETCH(int, role);
    QFETCH(QString, name);
    const auto b = openBlackboard();
    QVERIFY(b);
    auto *widget = object == QLatin1String("frmMain") ? &b->forms : b->forms.findChild<QWidget *>(object);
    QVERIFY(widget);
    QAccessibleInterface *iface = accessibleOf(widget);
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    // The tray's pictures are its own children, in order, each with the tray as parent.
    if (role == QAccessible::RadioButton || role == QAccessible::ButtonMenu) {
        QAccessibleInterface *tray = accessibleOf(b->forms.tray());
        QCOMPARE(iface->parent(), tray);
        QCOMPARE(tray->child(tray->indexOfChild(iface)), iface);
    }
    if (role == QAccessible::Canvas)
        QVERIFY(iface->text(QAccessible::Description).contains(QStringLiteral("チョーク")));
}

void TestAccess::checkedIsTheChalkInHand()
{
    const auto b = openBlackboard();
    QVERIFY(b);
    const auto checkedSticks = [&] {
        QList<int> checked;
        for (int n = 0; n < 6; ++n) {
            const QAccessible::State state = accessibleOf(b->forms.chalk(n))->state();
            if (state.checked)
                checked.append(n);
            // Off the tray: not showing and not focusable; on it: both.
            if (state.invisible == state.focusable)
                return QList<int>{-1};
        }
        return checked;
    };
    QCOMPARE(checkedSticks(), QList<int>{0});
    b->form.チョーク_Click(4);
    QCOMPARE(checkedSticks(), QList<int>{4});
    // The eraser in hand: every stick back, none checked; the eraser not showing.
    b->form.書ける_MouseMove(2, 0, 1500, 1500);
    QCOMPARE(checkedSticks(), QList<int>{});
    QVERIFY(accessibleOf(b->forms.eraser())->state().invisible);
    QVERIFY(accessibleOf(b->forms.eraser())->state().hasPopup);
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
    QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
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
    b->forms.setClock([] { return QDate(2028, 1, 1); });
    b->form.Date_Click();
    QCOMPARE(text->text(0, text->characterCount()), QStringLiteral("1月1日(土)"));
}

void TestAccess::keysInTheTray_data()
{
    // From the tray's first picture (white is in hand, so that is yellow).
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("focus");
    QTest::newRow("Right") << QList<int>{Qt::Key_Right} << "チョーク2";
    QTest::newRow("Right, Left") << QList<int>{Qt::Key_Right, Qt::Key_Left} << "チョーク1";
    QTest::newRow("Left stays at the first") << QList<int>{Qt::Key_Left} << "チョーク1";
    QTest::newRow("End") << QList<int>{Qt::Key_End} << "黒板消し";
    QTest::newRow("Right stays at the last") << QList<int>{Qt::Key_End, Qt::Key_Right} << "黒板消し";
    QTest::newRow("End, Home") << QList<int>{Qt::Key_End, Qt::Key_Home} << "チョーク1";
    QTest::newRow("Tab leaves the tray") << QList<int>{Qt::Key_Right, Qt::Key_Tab} << "書ける";
    QTest::newRow("Shift+Tab leaves the tray") << QList<int>{Qt::Key_Backtab} << "書ける";
    QTest::newRow("back to the last one") << QList<int>{Qt::Key_End, Qt::Key_Tab, Qt::Key_Tab} << "黒板消し";
}

void TestAccess::keysInTheTray()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, focus);
    const auto b = openBlackboard();
    QVERIFY(b);
    QTRY_COMPARE(focused(*b), static_cast<QWidget *>(b->forms.board()));
    QTest::keyClick(b->forms.board(), Qt::Key_Tab);
    QCOMPARE(focused(*b), static_cast<QWidget *>(b->forms.chalk(1)));
    for (int key : keys)
        QTest::keyClick(focused(*b), Qt::Key(key));
    QCOMPARE(focused(*b)->objectName(), focus);
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
    // Focus given by the program or the mouse shows no mark.
    b->forms.board()->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(onScreen(*b), quiet);
    // From the keyboard the board shows its mark, on the screen only, never in the drawing.
    QTest::keyClick(b->forms.board(), Qt::Key_Tab);
    QTest::keyClick(focused(*b), Qt::Key_Backtab);
    QCOMPARE(focused(*b), static_cast<QWidget *>(b->forms.board()));
    QTRY_VERIFY(onScreen(*b) != quiet);
    QCOMPARE(b->board(), boardImage);
    const QImage marked = onScreen(*b);
    QVERIFY(marked.pixel(8 + 2, 8 + 200) != kBoardPixel);
    QCOMPARE(marked.pixel(8 + 20, 8 + 200), kBoardPixel);
    // Gone again with the focus.
    QTest::keyClick(b->forms.board(), Qt::Key_Tab);
    QTRY_COMPARE(onScreen(*b).pixel(8 + 2, 8 + 200), kBoardPixel);
}

QTEST_MAIN(TestAccess)
#include "tst_access.moc"

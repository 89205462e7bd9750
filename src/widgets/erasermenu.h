#pragma once

#include "forms/formevents.h"

#include <QMenu>
#include <QPointer>

#include <functional>
#include <optional>

class QMouseEvent;

// The popup menu `menu` that the eraser opens: 全部消す, 日付を書き換える and 終了 with their
// shortcuts, which act on the window while it is closed and in the menu while it is open.
//
// It opens under the pointer, so the second click of a double click on the eraser would land on
// 全部消す: that click chooses nothing; any later one chooses as usual, however little the
// pointer moved since the menu opened (Qt 6.8's menu would close at a press where it opened).
class EraserMenu final : public QMenu
{
public:
    // raise: calls the handler of the item chosen.
    EraserMenu(QWidget *window, const std::function<void(void (FormEvents::*handler)())> &raise);

    // The click on the eraser that is opening the menu: where (global) and when (ms).
    void openingClick(const QPoint &global, quint64 timestamp) { m_openingClick = OpeningClick {global, timestamp}; }

protected:
    bool event(QEvent *event) override;

private:
    bool guard(QEvent *event);
    bool secondClickOfOpening(const QMouseEvent &mouse);

    struct OpeningClick
    {
        QPoint global;
        quint64 timestamp = 0;
    };
    // Cleared by the first click in the menu that is not the second of a double click.
    std::optional<OpeningClick> m_openingClick;
    bool m_swallowRelease = false;
    QPointer<QAction> m_pressed; // the item a press landed on, chosen if released on it
};

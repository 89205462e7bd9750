#pragma once

#include "accessibility/accessibility.h"
#include "forms/formevents.h"
#include "forms/forms.h"
#include "handlers/chalktable.h"
#include "widgets/erasermenu.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <array>

class BoardWidget;
class DateStrip;
class TrayImage;
class TrayPanel;

// The window itself, no logic: its widgets, built from the layout table, and the runtime
// operations (Forms) that the handlers, frmMain, ask of them. Events go to the FormEvents given to
// setEvents(), until it is given nullptr: whoever owns the handlers does that before they go
// (Program, which makes both).
class BlackboardWindow final : public QWidget, public Forms, public accessible::Frame
{
public:
    BlackboardWindow();
    ~BlackboardWindow() override;
    void setEvents(FormEvents *events) { m_events = events; }

    void Unload() override;
    void PopupMenu(const PopupPlace &at) override;
    void setChalkVisible(int index, bool visible) override;
    void setEraserVisible(bool visible) override;
    void setInHand(InHand held) override;
    QString dateCaption() const;
    void setDateCaption(const QString &caption) override;

    void Cls() override;
    void setFillColor(Colour colour) override;
    void Circle(float x, float y, float radius, Colour outline) override;
    void setMouseIcon(const PictureRef &picture) override;

    // The controls, for tests that look at real pixels and geometry.
    BoardWidget *board() const { return m_board; }
    TrayPanel *tray() const { return m_tray; }
    DateStrip *dateStrip() const { return m_date; }
    TrayImage *chalk(int index) const { return m_chalks.at(index); }
    TrayImage *eraser() const { return m_eraser; }
    QMenu *menu() const { return m_menu; }

protected:
    // The native window, whenever the system makes it or takes it away: prepared for the system
    // once it exists, released before it goes (os::prepareWindow, os::releaseWindow); and before
    // it paints or is shown again, at a new scale, every control marked to be painted.
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Made active, the window has a screen reader say how to use it, where the reader does not
    // read a window's description itself (Orca 48).
    void changeEvent(QEvent *event) override;

private:
    void markAllAtNewScale();
    void setTrayPictureVisible(TrayImage *picture, bool visible);

    FormEvents *m_events = nullptr;
    QPointer<QWindow> m_native; // the native window watched, once shown
    qreal m_markedRatio = 0; // its device pixel ratio when every control was last marked
    BoardWidget *m_board = nullptr;
    TrayPanel *m_tray = nullptr;
    DateStrip *m_date = nullptr;
    std::array<TrayImage *, kChalkCount> m_chalks {};
    TrayImage *m_eraser = nullptr;
    EraserMenu *m_menu = nullptr;

    InHand m_inHand;
    bool m_focusSaysInHand = false; // since the last change of what is in hand
    Colour m_fillColour = 0xFFFFFF;
    PictureRef m_mouseIcon;
};

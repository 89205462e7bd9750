#pragma once
// What assistive technology and keyboard users get from the window's controls: names, roles,
// states and actions through Qt's accessibility, and the focus mark shown when focus came from
// the keyboard.
//
// A control says what it is by deriving from one of the small classes below; the interfaces
// here know controls only through them, never by their widget class.

#include <QList>
#include <QString>
#include <Qt>

class QPainter;
class QRect;
class QWidget;

namespace accessible {

// Whether a changed description is announced.
enum class Announce { Yes, Quietly };

// What a control says of itself: its name and description, kept here rather than as the
// widget's accessible name and description, which Qt announces whenever they are set, also while
// the window is being built.
class Control
{
public:
    virtual ~Control() = default;
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString description() const { return m_description; }
    // Announced when the window is shown and the text differs, unless Quietly: a change told
    // elsewhere already.
    void setDescription(QWidget *self, const QString &description, Announce announce = Announce::Yes);

private:
    QString m_name;
    QString m_description;
};

// The program's window: a frame.
class Frame : public Control
{};

// A surface to draw on: a canvas.
class Canvas : public Control
{};

// A picture acting as a button: a chalk stick, whose press takes up its chalk, or one that opens
// a menu. Hidden, it is off the tray: the tool in hand.
class Picture : public Control
{
public:
    virtual bool opensMenu() const = 0;
    // Exactly what a click does.
    virtual void activate() = 0;
};

// A group of pictures that are its accessible children, left to right, past any widget between.
class Group : public Control
{
public:
    virtual QList<QWidget *> members() const = 0;
};

// Read-only text, read as one line.
class TextLine
{
public:
    virtual ~TextLine() = default;
    virtual QString oneLine() const = 0;
};

} // namespace accessible

// Registers the accessible interfaces of the controls above. Safe to call more than once.
void installAccessibility();

// Whether a widget's focus mark shows after focus arrives for this reason, given whether it
// showed before. Focus from Tab, Shift+Tab or the tray's arrows shows it; focus from the mouse or
// the program does not, so the mouse-driven look stays as it is; focus given back when a popup
// closes or the window is activated again keeps what it had.
bool keyboardFocusMark(bool before, Qt::FocusReason reason);

// The mark: a dotted rectangle just inside the given one.
void drawFocusMark(QPainter &painter, const QRect &area);

// Whether assistive technology is listening and the widget's window is shown: changes made while
// it is being built are not announced.
bool canAnnounce(const QWidget *widget);
// Tells assistive technology that the widget's name or description changed. (Qt tells it when a
// widget is shown or hidden.)
void announceNameChange(QWidget *widget);
void announceDescriptionChange(QWidget *widget);

// Whether a screen reader can be told a text to say without a focus change: Qt 6.8 and later
// announce it; before, the only way is a changed description, announced as changed.
bool announcementsExist();
// Has a screen reader say the text now, from the widget, where announcements exist; nothing is said
// while the window is built. One file per Qt: announce_qt68.cpp, announce_qt64.cpp.
void announce(QWidget *from, const QString &text);

#include "accessibility/accessibility.h"

#include <QAccessible>
#include <QWidget>

bool announcementsExist()
{
    return true;
}

void announce(QWidget *from, const QString &text)
{
    if (!canAnnounce(from) || text.isEmpty())
        return;
    QAccessibleAnnouncementEvent event(from, text);
    QAccessible::updateAccessibility(&event);
}

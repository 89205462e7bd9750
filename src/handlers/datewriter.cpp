#include "handlers/frmmain.h"

#include <array>

namespace {
// By weekday with Sunday as 1.
const std::array<QString, 7> kWeekdayNames = {
    QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
    QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
};
} // namespace

void frmMain::Date_Click()
{
    // One reading of the clock, so a run across midnight cannot mix two dates.
    const QDate date = m_forms.today();
    const QString crlf = QStringLiteral("\r\n");
    const int weekday = date.dayOfWeek() % 7 + 1; // Qt counts Monday as 1, Sunday as 7.
    QString caption;
    caption += QString::number(date.month()) + crlf;
    caption += QStringLiteral("月") + crlf;
    caption += QString::number(date.day()) + crlf;
    caption += QStringLiteral("日") + crlf;
    caption += QStringLiteral("(");
    if (weekday >= 1 && weekday <= 7)
        caption += kWeekdayNames[weekday - 1];
    caption += QStringLiteral(")");
    m_forms.setDateCaption(caption);
}

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
    const QDate date = m_runtime.today();
    const QString crlf = QStringLiteral("\r\n");
    // Qt counts Monday as 1 and Sunday as 7 (0 for no date, which the clock never gives): 1 to 7.
    const int weekday = date.dayOfWeek() % 7 + 1;
    QString caption;
    caption += QString::number(date.month()) + crlf;
    caption += QStringLiteral("月") + crlf;
    caption += QString::number(date.day()) + crlf;
    caption += QStringLiteral("日") + crlf;
    caption += QStringLiteral("(") + kWeekdayNames[weekday - 1] + QStringLiteral(")");
    m_forms.setDateCaption(caption);
}

#include "widgets/datestrip.h"

#include "handlers/layout.h"
#include "widgets/colour.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int kLines = 5;
constexpr int kMargin = 2;
// Tallest and deepest glyphs the date can hold, for the ink box of a line.
const QString kInkSample = QString::fromUtf16(layout::kDateCharacters);

// RocknRoll One cut down to the characters a date can hold, built into the program: registered
// once, before any text is laid out. Its family, or nothing if it could not be registered.
QString travellingFamily()
{
    static const QString family
        = QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/date.ttf")))
              .value(0);
    return family;
}
} // namespace

DateStrip::DateStrip(QWidget *parent, const QRect &geometry)
    : QWidget(parent)
{
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent);

    // 富士ポップＰ where the system has it, then the face the program carries. A family the system
    // lacks is not named: Qt would gather fallbacks for it across every face installed, reading
    // each, and start-up would grow with the fonts a PC has. Asking for the list of families reads
    // none of them.
    QStringList families {travellingFamily()};
    if (QFontDatabase::hasFamily(QStringLiteral("富士ポップＰ")))
        families.prepend(QStringLiteral("富士ポップＰ"));
    m_font.setFamilies(families);
    m_font.setPixelSize(layout::kDatePixelSize);
    m_font.setWeight(QFont::Normal);
    m_font.setStyleHint(QFont::SansSerif);

    const QFontMetrics metrics(m_font);
    const QRect ink = metrics.boundingRect(kInkSample);
    const int available = height() - 2 * kMargin - ink.height();
    m_pitch = std::min(metrics.lineSpacing(), available / (kLines - 1));
    m_firstBaseline = kMargin - ink.top();
}

void DateStrip::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    const QString before = m_caption;
    m_caption = caption;
    m_lines = caption.split(QStringLiteral("\r\n"));
    update();
    // Screen readers hear the new date: read as one line, without the breaks.
    if (canAnnounce(this)) {
        QAccessibleTextUpdateEvent text(this, 0, asOneLine(before), asOneLine(caption));
        QAccessible::updateAccessibility(&text);
        announceNameChange(this);
    }
}

void DateStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(toQRgb(layout::kBoardColour)));
    painter.setPen(QColor(toQRgb(layout::kDateTextColour)));
    painter.setFont(m_font);
    const QFontMetrics metrics(m_font);
    for (int i = 0; i < m_lines.size(); ++i) {
        const int width = metrics.horizontalAdvance(m_lines[i]);
        painter.drawText(QPoint((this->width() - width) / 2, m_firstBaseline + i * m_pitch), m_lines[i]);
    }
}

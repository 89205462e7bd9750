#pragma once

#include "accessibility/accessibility.h"

#include <QFont>
#include <QWidget>

// The date label 日付: opaque board green, white lines from the top, each centred. Lines are
// set closer than a face's natural spacing where needed so that five always fit at full size.
class DateStrip final : public QWidget, public accessible::TextLine
{
public:
    DateStrip(QWidget *parent, const QRect &geometry);

    // Lines are separated by CR LF.
    QString caption() const { return m_caption; }
    // The caption read as one line, as screen readers give it.
    static QString asOneLine(QString caption) { return caption.remove(QStringLiteral("\r\n")); }
    void setCaption(const QString &caption);
    QString oneLine() const override { return asOneLine(m_caption); }

    // 富士ポップＰ where it is installed, else the face that travels with the program.
    const QFont &textFont() const { return m_font; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
    QStringList m_lines;
    QFont m_font;
    int m_pitch = 0;
    int m_firstBaseline = 0;
};

#include "board/frmmain.h"

#include "chalk/chalkcolours.h"

void frmMain::Form_Load()
{
    m_forms.Randomize();
    ChalkColor = QString::number(kChalkColours[0]);
    m_forms.setChalkVisible(0, false);
    m_forms.setEraserVisible(true);
    Date_Click();
}

Colour frmMain::chalkColourValue() const
{
    return ChalkColor.toUInt();
}

void frmMain::setBoardCursor(BuiltInCursor tool)
{
    const QString path = m_forms.appPath()
        + (tool == BuiltInCursor::Chalk ? QStringLiteral("/チョーク.cur") : QStringLiteral("/黒板消し.cur"));
    QString error;
    PictureRef picture = m_forms.LoadPicture(path, &error);
    bool &failing = m_cursorFailing[static_cast<int>(tool)];
    if (picture) {
        failing = false;
    } else {
        // Said once per run of failures, so a drag does not flood stderr.
        if (!failing)
            m_forms.reportError(QStringLiteral("カーソルファイル %1 を使えません（%2）。組み込みのカーソルを使います。")
                                    .arg(path, error));
        failing = true;
        picture = m_forms.builtInCursor(tool);
    }
    m_forms.setMouseIcon(picture);
}

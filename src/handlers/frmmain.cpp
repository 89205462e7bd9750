#include "handlers/frmmain.h"

#include "facts.h"
#include "handlers/chalktable.h"

void frmMain::Form_Load()
{
    m_runtime.Randomize();
    ChalkColor = QString::number(kChalks[0].colour);
    m_forms.setChalkVisible(0, false);
    m_forms.setEraserVisible(true);
    m_forms.setInHand({InHand::Tool::Chalk, 0});
    Date_Click();
}

Colour frmMain::chalkColourValue() const
{
    return ChalkColor.toUInt();
}

void frmMain::setBoardCursor(BuiltInCursor tool)
{
    // The file name is appended to the directory's own bytes; the name is written in UTF-8,
    // as the files are installed. Error lines read the bytes as UTF-8.
    const QByteArray directory = m_runtime.appPath();
    const QByteArray path
        = directory + '/' + (tool == BuiltInCursor::Chalk ? facts::kChalkCursorFile : facts::kEraserCursorFile);
    QString error;
    // Without a known program directory there is no file to trust: never the root or the
    // working directory.
    PictureRef picture;
    if (directory.isEmpty())
        error = QStringLiteral("プログラムのフォルダが分かりません");
    else
        picture = m_runtime.LoadPicture(path, &error);
    bool &failing = m_cursorFailing[static_cast<int>(tool)];
    if (picture) {
        failing = false;
    } else {
        // Said once per run of failures, so a drag does not flood stderr.
        if (!failing)
            m_runtime.reportError(
                QStringLiteral("カーソルファイル %1 を使えません（%2）。組み込みのカーソルを使います。")
                    .arg(QString::fromUtf8(path), error));
        failing = true;
        picture = m_runtime.builtInCursor(tool);
    }
    m_forms.setMouseIcon(picture);
}

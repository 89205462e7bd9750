#include "handlers/chalktable.h"
#include "handlers/frmmain.h"

void frmMain::チョーク_Click(std::int16_t index)
{
    ShowAllChalks();
    if (index >= 0 && index < kChalkCount) {
        ChalkColor = QString::number(kChalks[index].colour);
        ShowAllChalks();
        m_forms.setChalkVisible(index, false);
    }
    setBoardCursor(BuiltInCursor::Chalk);
    m_forms.setEraserVisible(true);
}

void frmMain::ShowAllChalks()
{
    for (int i = 0; i < kChalkCount; ++i)
        m_forms.setChalkVisible(i, true);
}

void frmMain::HideHeldChalk()
{
    for (int i = 0; i < kChalkCount; ++i) {
        if (ChalkColor == QString::number(kChalks[i].colour)) {
            m_forms.setChalkVisible(i, false);
            return;
        }
    }
}

#include "handlers/chalktable.h"
#include "handlers/frmmain.h"

void frmMain::チョーク_Click(std::int16_t index)
{
    ShowAllChalks();
    InHand held;
    if (index >= 0 && index < kChalkCount) {
        ChalkColor = QString::number(kChalks[index].colour);
        ShowAllChalks();
        m_forms.setChalkVisible(index, false);
        held = {InHand::Tool::Chalk, index};
    }
    setBoardCursor(BuiltInCursor::Chalk);
    m_forms.setEraserVisible(true);
    m_forms.setInHand(held);
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
            m_forms.setInHand({InHand::Tool::Chalk, i});
            return;
        }
    }
    m_forms.setInHand({});
}

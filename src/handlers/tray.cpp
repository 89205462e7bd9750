#include "handlers/frmmain.h"
#include "handlers/chalkcolours.h"

void frmMain::チョーク_Click(std::int16_t index)
{
    ShowAllChalks();
    if (index >= 0 && index < static_cast<int>(kChalkColours.size())) {
        ChalkColor = QString::number(kChalkColours[index]);
        ShowAllChalks();
        m_forms.setChalkVisible(index, false);
    }
    setBoardCursor(BuiltInCursor::Chalk);
    m_forms.setEraserVisible(true);
}

void frmMain::ShowAllChalks()
{
    for (int i = 0; i < static_cast<int>(kChalkColours.size()); ++i)
        m_forms.setChalkVisible(i, true);
}

void frmMain::HideHeldChalk()
{
    for (int i = 0; i < static_cast<int>(kChalkColours.size()); ++i) {
        if (ChalkColor == QString::number(kChalkColours[i])) {
            m_forms.setChalkVisible(i, false);
            return;
        }
    }
}

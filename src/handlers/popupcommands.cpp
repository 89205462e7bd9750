#include "handlers/frmmain.h"

void frmMain::黒板消し_Click(const PopupPlace &menuAt)
{
    m_forms.PopupMenu(menuAt);
}

void frmMain::AllClear_Click()
{
    m_forms.Cls();
}

void frmMain::ExitEnd_Click()
{
    m_forms.Unload();
}

#include "handlers/frmmain.h"

void frmMain::黒板消し_Click()
{
    m_forms.PopupMenu();
}

void frmMain::AllClear_Click()
{
    m_forms.Cls();
}

void frmMain::ExitEnd_Click()
{
    m_forms.Unload();
}

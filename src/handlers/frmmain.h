#pragma once

#include "forms/formevents.h"
#include "forms/forms.h"

#include <QString>

// The window's logic, no widgets: its one piece of state and every event handler, named as the
// window's own. It reaches the window (BlackboardWindow, or a test's fake) only through Forms,
// and what is not the window (Services, or the same fake) only through Runtime.
class frmMain final : public FormEvents
{
public:
    frmMain(Forms &forms, Runtime &runtime)
        : m_forms(forms)
        , m_runtime(runtime)
    {}

    void Form_Load() override;
    void 書ける_MouseMove(std::int16_t button, std::int16_t shift, float x, float y) override;
    void チョーク_Click(std::int16_t index) override;
    void 黒板消し_Click(const PopupPlace &menuAt) override;
    void AllClear_Click() override;
    void Date_Click() override;
    void ExitEnd_Click() override;

    // Decimal text of the current chalk colour, e.g. "16777215" for white.
    const QString &chalkColor() const { return ChalkColor; }

private:
    void ShowAllChalks();
    void HideHeldChalk();
    Colour chalkColourValue() const;
    void setBoardCursor(BuiltInCursor tool);

    Forms &m_forms;
    Runtime &m_runtime;
    QString ChalkColor;
    bool m_cursorFailing[2] = {false, false};
};

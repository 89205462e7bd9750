#pragma once

#include "handlers/frmmain.h"
#include "widgets/blackboardwindow.h"
#include "widgets/services.h"

// The program's parts, made and wired in the one order that works, and taken apart safely: what
// holds for the whole process first, then the window, the runtime's services and the handlers,
// which the window's events reach until the handlers go. The program, the tests and the
// benchmark all make the board with this, after the application object.
class Program final
{
public:
    Program();
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Form_Load, then the window shown.
    void start();

    BlackboardWindow &window() { return m_window; }
    Services &services() { return m_services; }
    frmMain &form() { return m_form; }

private:
    const bool m_policySet;
    BlackboardWindow m_window;
    Services m_services;
    frmMain m_form;
};

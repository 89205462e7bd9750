#include "app/program.h"

#include "accessibility/accessibility.h"
#include "pictures/iconfile.h"
#include "widgets/boardwidget.h"

#include <QCoreApplication>
#include <QImageReader>

namespace {

// What holds for the whole process, set here and nowhere else, before any control exists.
bool setProcessPolicy()
{
    if (!QCoreApplication::instance())
        qFatal("the board is made after the application object");
    // A control's accessible interface is made the first time it is asked for: the factories are
    // there before the first control.
    installAccessibility();
    // No header in a cursor file makes any of Qt's readers allocate much.
    QImageReader::setAllocationLimit(kDecodeAllocationLimitMiB);
    return true;
}

} // namespace

Program::Program()
    : m_policySet(setProcessPolicy())
    , m_form(m_window, m_services)
{
    BoardWidget *board = m_window.board();
    // A pen's proximity goes to the application object alone: the board's palm rejection watches
    // every event there, for as long as the board exists.
    QCoreApplication::instance()->installEventFilter(&board->palmRejection());
    // While a touch frame is handled, each cursor file is checked once, not once a finger.
    board->onTouchFrame = [this](bool begins) { m_services.holdFileChecks(begins); };
    m_window.setEvents(&m_form);
}

Program::~Program()
{
    // The window outlives the handlers by a moment: it raises no event to them once they go.
    m_window.setEvents(nullptr);
}

void Program::start()
{
    m_form.Form_Load();
    m_window.show();
}

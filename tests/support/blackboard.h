// The real window as the program starts it, for the widget tests, and pixel helpers.
#pragma once
#include "app/program.h"
#include "widgets/boardwidget.h"

#include <QImage>
#include <QTest>

#include <memory>

inline const QRgb kBoardPixel = qRgb(0, 64, 0);

struct Blackboard
{
    Program program;
    BlackboardWindow &forms = program.window();
    frmMain &form = program.form();
    Services &services = program.services();

    // today: the date the system's clock says, when not given.
    explicit Blackboard(QDate today = {})
    {
        if (today.isValid())
            services.setClock([today] { return today; });
        program.start();
    }
    QImage board() const { return forms.board()->image(); }
};

inline std::unique_ptr<Blackboard> openBlackboard(QDate today = {})
{
    auto blackboard = std::make_unique<Blackboard>(today);
    if (!QTest::qWaitForWindowExposed(&blackboard->forms))
        return nullptr;
    return blackboard;
}

inline int countPixels(const QImage &image, QRgb colour, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.rect().contains(x, y) && image.pixel(x, y) == colour;
    return n;
}

// A disc whose fill and outline are both the given colour, as a chalk or eraser dab is.
inline void disc(BlackboardWindow &forms, qreal x, qreal y, float radius, Colour colour)
{
    forms.setFillColor(colour);
    forms.Circle(static_cast<float>(x), static_cast<float>(y), radius, colour);
}

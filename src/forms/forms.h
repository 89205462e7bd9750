#pragma once

#include "facts.h"
#include "forms/formevents.h"
#include "forms/runtime.h"

#include <QString>

using facts::Colour; // &H00BBGGRR

// What the teacher holds, as the handlers leave the tray: the chalk stick taken off it, the
// eraser, or nothing.
struct InHand
{
    enum class Tool { Nothing, Chalk, Eraser };
    Tool tool = Tool::Nothing;
    int chalk = -1; // the stick's index, when chalk is held
    friend bool operator==(const InHand &, const InHand &) = default;
};

// The window as the forms runtime shows it: every operation the handlers ask of the window and
// its controls, and nothing else (what is not the window is the Runtime's). Board coordinates and
// radii are twips, 15 to the pixel at 96 dpi.
class Forms
{
public:
    virtual ~Forms() = default;

    // Window and controls.
    virtual void Unload() = 0;
    virtual void PopupMenu(const PopupPlace &at) = 0;
    virtual void setChalkVisible(int index, bool visible) = 0;
    virtual void setEraserVisible(bool visible) = 0;
    virtual void setInHand(InHand held) = 0; // said by the handler once the tray shows it
    virtual void setDateCaption(const QString &caption) = 0;

    // The board.
    virtual void Cls() = 0;
    virtual void setFillColor(Colour colour) = 0;
    virtual void Circle(float x, float y, float radius, Colour outline) = 0;
    virtual void setMouseIcon(const PictureRef &picture) = 0;
};

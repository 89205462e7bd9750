#pragma once

#include "facts.h"
#include "forms/formevents.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <memory>

using facts::Colour; // &H00BBGGRR

// A cursor picture that the runtime loaded; opaque to the handlers.
class Picture
{
public:
    virtual ~Picture() = default;
};
using PictureRef = std::shared_ptr<const Picture>;

enum class BuiltInCursor { Chalk, Eraser };

// What the teacher holds, as the handlers leave the tray: the chalk stick taken off it, the
// eraser, or nothing.
struct InHand
{
    enum class Tool { Nothing, Chalk, Eraser };
    Tool tool = Tool::Nothing;
    int chalk = -1; // the stick's index, when chalk is held
    friend bool operator==(const InHand &, const InHand &) = default;
};

// The forms runtime: every operation the window's handlers use, and nothing else.
// Board coordinates and radii are twips, 15 to the pixel at 96 dpi.
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

    // Services. LoadPicture returns null and says why in *error when the file cannot be used.
    // Paths are the bytes the system uses, whatever their encoding.
    virtual PictureRef LoadPicture(const QByteArray &path, QString *error) = 0;
    virtual PictureRef builtInCursor(BuiltInCursor which) = 0;
    // The directory of the running executable, empty if it cannot be found.
    virtual QByteArray appPath() const = 0;
    virtual void Randomize() = 0;
    virtual float Rnd() = 0; // [0, 1)
    virtual QDate today() const = 0;
    virtual void reportError(const QString &line) = 0;
};

#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <memory>

// A cursor picture that the runtime loaded; opaque to the handlers.
class Picture
{
public:
    virtual ~Picture() = default;
};
using PictureRef = std::shared_ptr<const Picture>;

enum class BuiltInCursor { Chalk, Eraser };

// The forms runtime's services, which are not the window: pictures from files and the built-in
// cursors, the program's folder (App.Path), random numbers (Randomize, Rnd), the date and the
// error lines.
class Runtime
{
public:
    virtual ~Runtime() = default;

    // Null, with why in *error, when the file cannot be used. Paths are the bytes the system
    // uses, whatever their encoding.
    virtual PictureRef LoadPicture(const QByteArray &path, QString *error) = 0;
    virtual PictureRef builtInCursor(BuiltInCursor which) = 0;
    // The directory of the running executable, empty if it cannot be found.
    virtual QByteArray appPath() const = 0;
    virtual void Randomize() = 0;
    virtual float Rnd() = 0; // [0, 1)
    virtual QDate today() const = 0;
    virtual void reportError(const QString &line) = 0;
};

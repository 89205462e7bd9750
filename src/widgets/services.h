#pragma once

#include "forms/forms.h"
#include "pictures/cursorloader.h"

#include <QDate>

#include <array>
#include <functional>
#include <optional>
#include <random>

// What the window's runtime offers the handlers that is not the window: cursor files and the
// built-in cursors, the program's folder, random numbers, the clock and error lines. The window's
// Forms passes these requests on to its Services; tests pin the clock and the numbers here.
class Services final
{
public:
    PictureRef LoadPicture(const QByteArray &path, QString *error);
    PictureRef builtInCursor(BuiltInCursor which);
    QByteArray appPath() const;
    void Randomize();
    float Rnd();
    QDate today() const;
    void reportError(const QString &line);
    // While a touch frame is handled, each cursor file is checked once (CursorLoader::holdChecks).
    void holdFileChecks(bool hold) { m_loader.holdChecks(hold); }

    // Today's date and the random numbers come from the system, unless a test gives them.
    void setClock(std::function<QDate()> today) { m_today = std::move(today); }
    void setRandom(std::function<float()> rnd) { m_rnd = std::move(rnd); }

private:
    std::array<PictureRef, 2> m_builtInCursors;
    CursorLoader m_loader;
    mutable std::optional<QByteArray> m_appPath;
    std::mt19937 m_random;
    std::function<QDate()> m_today;
    std::function<float()> m_rnd;
};

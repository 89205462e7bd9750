#pragma once

#include "forms/runtime.h"
#include "pictures/cursorloader.h"

#include <QDate>

#include <array>
#include <functional>
#include <optional>
#include <random>

// The runtime's services, on Qt and the system: cursor files and the built-in cursors, the
// program's folder, random numbers, the clock and error lines. Tests pin the clock and the
// numbers here; a benchmark overrides what it varies.
class Services : public Runtime
{
public:
    PictureRef LoadPicture(const QByteArray &path, QString *error) override;
    PictureRef builtInCursor(BuiltInCursor which) override;
    QByteArray appPath() const override;
    void Randomize() override;
    float Rnd() override;
    QDate today() const override;
    void reportError(const QString &line) override;
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

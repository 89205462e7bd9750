#include "widgets/services.h"

#include "facts.h"
#include "pictures/builtin.h"
#include "system/system.h"

PictureRef Services::LoadPicture(const QByteArray &path, QString *error)
{
    return m_loader.load(path, error);
}

PictureRef Services::builtInCursor(BuiltInCursor which)
{
    PictureRef &cached = m_builtInCursors[static_cast<int>(which)];
    if (!cached) {
        const IconFileImage image = builtInPicture(
            QString::fromUtf8(which == BuiltInCursor::Chalk ? facts::kChalkCursorFile : facts::kEraserCursorFile));
        cached = makeCursorPicture(image.image, image.hotspot);
    }
    return cached;
}

QByteArray Services::appPath() const
{
    // Asked once, as Qt does for its own application path: a stroke costs no readlink().
    if (!m_appPath)
        m_appPath = os::programDirectory();
    return *m_appPath;
}

void Services::Randomize()
{
    m_random.seed(static_cast<std::mt19937::result_type>(os::randomSeed()));
}

float Services::Rnd()
{
    if (m_rnd)
        return m_rnd();
    // 24 random bits fill a float's mantissa exactly, so the result is never 1.
    return static_cast<float>(m_random() >> 8) * (1.0f / 16777216.0f);
}

QDate Services::today() const
{
    return m_today ? m_today() : os::today();
}

void Services::reportError(const QString &line)
{
    os::reportLine(line);
}

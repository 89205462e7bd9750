#include "handlers/strokes.h"

#include "handlers/frmmain.h"

#include <cmath>

namespace {
float speckOffset(float r)
{
    return std::floor(r * kSpeckSpread);
}
} // namespace

void frmMain::書ける_MouseMove(std::int16_t button, std::int16_t /*shift*/, float x, float y)
{
    if (button == kLeftButton) {
        setBoardCursor(BuiltInCursor::Chalk);
        m_forms.setFillColor(chalkColourValue());
        m_forms.Circle(x, y, kChalkRadius, chalkColourValue());
        m_forms.setEraserVisible(true);
        for (int i = 0; i < kSpecksPerDab; ++i) {
            const float r0 = m_runtime.Rnd();
            const float r1 = m_runtime.Rnd();
            const float r2 = m_runtime.Rnd();
            // The fill stays the chalk colour; at this radius only the outline shows.
            if (static_cast<int>(std::floor(r0 * 2)) + 1 == 1)
                m_forms.Circle(x + speckOffset(r1), y + speckOffset(r2), kSpeckRadius, kBoardColour);
            else
                m_forms.Circle(x - speckOffset(r1), y - speckOffset(r2), kSpeckRadius, kBoardColour);
        }
        HideHeldChalk();
    } else if (button == kRightButton) {
        setBoardCursor(BuiltInCursor::Eraser);
        m_forms.setFillColor(kBoardColour);
        m_forms.Circle(x, y, kEraserRadius, kBoardColour);
        m_forms.setEraserVisible(false);
        ShowAllChalks();
        m_forms.setInHand({InHand::Tool::Eraser});
    }
}

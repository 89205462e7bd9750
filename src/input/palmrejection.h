#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

// Palm rejection: a hand resting on a pen display must not write or rub out beside the pen's
// words. While a pen is near the screen, and until kQuietMs after its last event (not every
// platform reports proximity), touch on the board draws nothing; a touch that began before is
// ended, not continued. A pen that is near but has said nothing for kSilentNearMs is not in a
// hand: it lies on the display, or its leaving was lost, and it blocks touch no longer. A tip
// pressed to the screen is in a hand however still it is held (and a still pen says nothing):
// touch stays blocked until it lifts.
//
// Told of pen events as a filter of the application's events (proximity goes to the application
// object alone, the rest to widgets), installed by whoever makes the program; asked before touch
// is handled.
class PalmRejection final : public QObject
{
public:
    static constexpr qint64 kQuietMs = 500;
    // A pen in a hand reports hover moves many times a second, however still the hand; two
    // seconds of silence mean nobody holds it, yet keep a teacher who puts it down and reaches for
    // the board with a finger waiting no longer than the reach takes.
    static constexpr qint64 kSilentNearMs = 2000;

    // Milliseconds from a steady clock; tests pin it.
    using Clock = std::function<qint64()>;
    explicit PalmRejection(QObject *parent = nullptr);
    void setClock(Clock now) { m_now = std::move(now); }

    bool touchAllowed() const;

private:
    void penNear(bool inProximity);
    void penEvent(bool tipDown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QElapsedTimer m_started;
    Clock m_now;
    bool m_inProximity = false;
    bool m_tipDown = false;
    bool m_seen = false;
    qint64 m_last = 0;
};

#pragma once

#include <QObject>

#include <functional>

// Palm rejection: a hand resting on a pen display must not write or rub out beside the pen's
// words. While a pen is near the screen, and until kQuietMs after its last event (not every
// platform reports proximity), touch on the board draws nothing; a touch that began before is
// ended, not continued.
//
// Told of pen events by watching the application's events (proximity goes to the application
// object, the rest to widgets); asked before touch is handled.
class PalmRejection final : public QObject
{
public:
    static constexpr qint64 kQuietMs = 500;

    // Milliseconds from a steady clock; tests pin it.
    using Clock = std::function<qint64()>;
    explicit PalmRejection(QObject *parent = nullptr);
    void setClock(Clock now) { m_now = std::move(now); }

    bool touchAllowed() const;

    // The pen's events, for those that do not come through the application.
    void penNear(bool inProximity);
    void penEvent();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Clock m_now;
    bool m_inProximity = false;
    bool m_seen = false;
    qint64 m_last = 0;
};

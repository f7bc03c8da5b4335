#pragma once
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace kelmor {

// The window's periodic tick on the event loop. Every tick is a fresh
// one-shot precise timer aimed at a fixed grid of deadlines, so
// - the period is the given one on average (Qt's default coarse timer may
//   fire up to 5 % early, and a restarted timer would drift late), and
// - a tick whose handler is still running, because it opened a modal box,
//   does not hold up the next one: Qt never delivers a repeating timer again
//   while its own slot runs, but this timer is armed anew before the handler.
class TickTimer : public QObject {
    Q_OBJECT
  public:
    TickTimer(std::chrono::milliseconds period, std::function<void()> onTick,
              QObject* parent = nullptr);

    void Start();
    void Stop();
    bool IsActive() const { return Timer.isActive(); }

  private:
    using Clock = std::chrono::steady_clock;
    void Fire();
    void Arm(Clock::time_point now);

    QTimer Timer;
    Clock::duration Period;
    Clock::time_point Next;
    std::function<void()> OnTick;
};

} // namespace kelmor

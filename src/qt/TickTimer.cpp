#include "qt/TickTimer.h"

namespace kelmor {

TickTimer::TickTimer(std::chrono::milliseconds period, std::function<void()> onTick,
                     QObject* parent)
    : QObject(parent), Period(period), OnTick(std::move(onTick)) {
    Timer.setSingleShot(true);
    Timer.setTimerType(Qt::PreciseTimer);
    connect(&Timer, &QTimer::timeout, this, &TickTimer::Fire);
}

void TickTimer::Start() {
    const Clock::time_point now = Clock::now();
    Next = now + Period;
    Arm(now);
}

void TickTimer::Stop() {
    Timer.stop();
}

void TickTimer::Fire() {
    // The next deadline on the grid; deadlines missed while the event loop
    // was held up are skipped, not made up in a burst.
    const Clock::time_point now = Clock::now();
    Next += Period;
    if (Next <= now) Next += ((now - Next) / Period + 1) * Period;
    // Armed before the handler runs, so it fires inside a box the handler opens.
    Arm(now);
    OnTick();
}

void TickTimer::Arm(Clock::time_point now) {
    // Whole milliseconds, rounded up: never before the deadline.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(Next - now);
    Timer.start(wait);
}

} // namespace kelmor

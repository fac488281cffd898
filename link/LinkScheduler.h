// Runs the link's 2 ms tick only while a tick has work, and otherwise sleeps until the next thing due.
#pragma once

#include <QBasicTimer>
#include <QObject>
#include <cstdint>
#include <functional>

class PollLoop;

// Busy (a download, a transfer, a running countdown, a reply to parse, the tick that sends the
// heartbeat), the loop ticks every TICK_MS. Quiet, nothing runs: one wake-up is set for the moment the
// loop's countdown (heartbeat, next open attempt) falls due, and the ticks it slept through are
// counted down in one go from the time that passed. Changes made between ticks (an edit reloading
// the heartbeat, a countdown set by a transfer, a device event) are picked up before the event loop
// goes to sleep, so each runs on the next tick as it would with the tick never stopped.
class LinkScheduler : public QObject
{
public:
    static constexpr int TICK_MS = 2;
    // Ticks run back to back at most when the tick timer came late.
    static constexpr int MAX_CATCH_UP = 8;
    // Monotonic milliseconds.
    using Clock = std::function<qint64()>;

    explicit LinkScheduler(PollLoop &loop, Clock clock = Clock());
    ~LinkScheduler() override;
    LinkScheduler(const LinkScheduler &) = delete;
    LinkScheduler &operator=(const LinkScheduler &) = delete;

    // Hears the device's hot-plug notification and starts ticking (the first tick searches).
    void start();
    // One tick now: the periodic timer's, or one delivered by hand.
    void tick();
    // What the wake-up timer runs: counts down the ticks slept through, then ticks when one is due.
    void wake();
    // Takes in changes made since the last tick and sets the timers to match (run whenever the event
    // loop is about to wait).
    void replan();

    bool ticking() const { return tick_.isActive(); }
    // The id of the running tick timer, 0 while the loop sleeps.
    int tickTimerId() const { return tick_.timerId(); }
    // When the wake-up is due (the clock's milliseconds), -1 when none is set.
    qint64 wakeDueMs() const { return wake_.isActive() ? wakeDue_ : -1; }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void ticksDue();
    void catchUp();
    void plan();

    PollLoop &loop_;
    Clock clock_;
    QBasicTimer tick_;
    QBasicTimer wake_;
    qint64 wakeDue_ = 0;
    // The time the loop's countdown last stood at its present value: its last tick (on the 2 ms pace
    // while ticking) or a reload.
    qint64 anchor_ = 0;
    // The heartbeat countdown and the count of its reloads as last seen: a slot that changed them
    // restarted the countdown at that moment.
    uint16_t seenCountdown_ = 0;
    unsigned long seenReloads_ = 0;
};

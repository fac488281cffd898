// The tick and wake-up timers of the link, and the counting of slept-through ticks.
#include "LinkScheduler.h"

#include "PollLoop.h"
#include "ProcessorSession.h"

#include <QAbstractEventDispatcher>
#include <QTimerEvent>
#include <algorithm>
#include <chrono>

namespace {
// Only differences of it are used.
qint64 monotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

LinkScheduler::LinkScheduler(PollLoop &loop, Clock clock) : loop_(loop), clock_(clock ? clock : Clock(monotonicMs))
{
}

LinkScheduler::~LinkScheduler()
{
    loop_.unwatchPresence();
}

void LinkScheduler::start()
{
    loop_.watchPresence();
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &LinkScheduler::replan);
    anchor_ = clock_();
    plan();
}

void LinkScheduler::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == tick_.timerId())
        ticksDue();
    else if (event->timerId() == wake_.timerId())
        wake();
}

void LinkScheduler::ticksDue()
{
    // A tick the timer delivered late (the window was busy painting or refreshing) is followed at once
    // by the ones it owes, a few at most, so that a download keeps its pace of 2 ms per tick in time.
    const qint64 now = clock_();
    int due = int(std::min<qint64>((now - anchor_) / TICK_MS, MAX_CATCH_UP));
    do {
        loop_.tick();
        anchor_ += TICK_MS;
    } while (--due > 0 && loop_.quietTicks() == 0);
    if (now - anchor_ >= TICK_MS) anchor_ = now;  // what is owed beyond that is forgiven
    plan();
}

void LinkScheduler::tick()
{
    loop_.tick();
    anchor_ = clock_();
    plan();
}

void LinkScheduler::wake()
{
    wake_.stop();
    catchUp();
    if (loop_.quietTicks() == 0 && clock_() - anchor_ >= TICK_MS)
        tick();
    else
        plan();
}

void LinkScheduler::replan()
{
    catchUp();
    plan();
}

void LinkScheduler::catchUp()
{
    if (tick_.isActive()) return;  // ticking: every tick ran
    const qint64 now = clock_();
    // Reloaded since the last look: the heartbeat counts from now, not from the last tick.
    if (loop_.session().Link.Connected && (loop_.session().Link.HeartbeatCountdown != seenCountdown_ || loop_.session().Port.heartbeatReloads != seenReloads_))
        anchor_ = now;
    const int left = loop_.countdownTicks();
    if (left < 0) {
        anchor_ = now;  // nothing counts while waiting for a device event
        return;
    }
    const int n = int(std::min<qint64>((now - anchor_) / TICK_MS, left));
    loop_.skipTicks(n);
    anchor_ += qint64(n) * TICK_MS;
}

void LinkScheduler::plan()
{
    seenCountdown_ = loop_.session().Link.HeartbeatCountdown;
    seenReloads_ = loop_.session().Port.heartbeatReloads;
    const int quiet = loop_.quietTicks();
    if (quiet == 0) {
        wake_.stop();
        if (!tick_.isActive()) {
            anchor_ = clock_();  // nothing is owed from the time asleep: the first tick comes in 2 ms
            tick_.start(TICK_MS, Qt::PreciseTimer, this);
        }
        return;
    }
    tick_.stop();
    if (quiet < 0) {
        wake_.stop();
        return;
    }
    // The quiet ticks, then the one with work, on the 2 ms pace from the anchor.
    const qint64 due = anchor_ + qint64(quiet + 1) * TICK_MS;
    if (wake_.isActive() && due == wakeDue_) return;
    wakeDue_ = due;
    wake_.start(int(std::max<qint64>(0, due - clock_())), Qt::PreciseTimer, this);
}

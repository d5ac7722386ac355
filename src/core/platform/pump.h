#pragma once

#include <QtGlobal>

namespace vorlane {

// Long commands run on the one UI thread and keep the windows alive by pumping
// pending events now and then, throttled by a millisecond clock. Both are
// injected so tests can drive time and cancellation.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() = 0;
};

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void pump() = 0;
};

// Monotonic wall clock.
class SteadyClock : public Clock {
public:
    qint64 nowMs() override;
};

// A pump with nothing to pump (command line, core tests).
class NoPump : public EventPump {
public:
    void pump() override {}
};

} // namespace vorlane

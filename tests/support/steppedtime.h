#pragma once

#include "core/platform/pump.h"

#include <functional>

// Time that moves on by `step` milliseconds at every look, so long commands
// refresh at each item, and a pump that counts its calls and runs a probe.
class StepClock : public vorlane::Clock {
public:
    qint64 nowMs() override { return now += step; }
    qint64 now = 0;
    qint64 step = 600;
};

class ProbePump : public vorlane::EventPump {
public:
    void pump() override {
        ++pumps;
        if (probe)
            probe();
    }
    int pumps = 0;
    std::function<void()> probe;
};

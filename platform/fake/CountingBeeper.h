#pragma once
// A beep for tests: nothing sounds, each beep is counted.
#include "platform/Beeper.h"

namespace platform {

class CountingBeeper : public Beeper {
public:
    void Beep() override { ++beeps; }
    int beeps = 0;
};

} // namespace platform

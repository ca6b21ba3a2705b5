#pragma once
// The system beep: the end of an averaging period is sounded with it.
namespace platform {

class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void Beep() = 0;
};

class QtBeeper : public Beeper {
public:
    void Beep() override;
};

} // namespace platform

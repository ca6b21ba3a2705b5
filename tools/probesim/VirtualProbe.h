#pragma once
// A virtual field probe: answers the probe protocol of the Sigma, Zeta and Kappa families as
// the real probes do, for a field that follows a pattern in time. It knows nothing of lines,
// speeds or faults: the line server (LineServer) feeds it one command at a time and paces
// what it says.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

namespace probesim {

// Below this battery level a probe reports its battery as flat (low).
constexpr double LowBatteryPercent = 10.0;

// How the field of one axis moves with time, in V/m.
struct AxisPattern {
    enum class Kind { Constant, Sine, Step, Ramp };
    Kind kind = Kind::Constant;
    double level = 10.0;  // constant value; mean of a sine; low level of a step or ramp
    double swing = 0.0;   // sine amplitude; height of a step; rise of a ramp per period
    double period = 10.0; // seconds: sine period, step every half period, ramp length
    double valueAt(double seconds) const;
};

struct FieldPlan {
    std::array<AxisPattern, 3> axes; // X, Y, Z
    double batteryPercent = 90.0;    // battery at the start
    double batteryDrainPerMinute = 0.0;
    double temperatureC = 23.5;
    // The battery at a time: falls by the drain rate, never below 0.
    double batteryAt(double seconds) const;
    // The field of axis 0 (X), 1 (Y) or 2 (Z) as a sensor reads it: a magnitude, so a pattern
    // that swings below zero reads 0 there.
    double fieldAt(int axis, double seconds) const;
    bool batteryLowAt(double seconds) const { return batteryAt(seconds) < LowBatteryPercent; }
};

class VirtualProbe {
public:
    virtual ~VirtualProbe() = default;
    virtual QString model() const = 0;
    virtual QString family() const = 0; // "Sigma", "Zeta" or "Kappa"

    // The reply to one command (without its carriage return) at a time in seconds from the
    // start; the reply carries the probe's own terminator. Empty: the probe says nothing.
    virtual QByteArray answer(const QByteArray& command, double seconds) = 0;

    // Link speed the probe expects after its last reply (a Zeta probe changes speed after
    // acknowledging "F1".."F5"); 9600 for the others.
    virtual int baud() const { return 9600; }
    // True while the probe streams sample records without being polled (Zeta at 38400 baud
    // and above); the server asks for records at the pace of the line.
    virtual bool streaming() const { return false; }
    virtual QByteArray streamRecord(double /*seconds*/) { return {}; }
    // The line went quiet or changed under a streaming probe: it stops streaming.
    virtual void stopStreaming() {}
};

// A number as the probes write it: decimal text right-justified in exactly width characters
// with as many decimals as fit (below 0.1 without the leading zero, ".0123"); a value too
// large for the width reads as all nines.
QByteArray FitNumber(double value, int width);

// Every model the virtual probe can be.
QStringList Models();
// A probe of the named model, or nothing for an unknown name.
std::unique_ptr<VirtualProbe> CreateProbe(const QString& model, const FieldPlan& plan);

} // namespace probesim

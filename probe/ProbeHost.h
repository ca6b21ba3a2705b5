#pragma once
// What the probe session needs of its owner: the link-speed and calibration completion, the
// message boxes, the settling wait, and where the probe's identity goes.
#include "platform/MessageBoxes.h"

#include <QByteArray>
#include <QString>

namespace probe {

class ProbeHost {
public:
    virtual ~ProbeHost() = default;
    // Completes a link-speed acknowledgement (":F1".. ":F5") or the calibration read (":M0")
    // and returns the next command with its carriage return.
    virtual QByteArray AutoNextCmndS(const QByteArray& code) = 0;
    virtual void ShowMessage(platform::MsgIcon icon, const QString& text) = 0;
    // Waits the given milliseconds (the window is not served meanwhile).
    virtual void Delay(double ms) = 0;
    // Identity of a Kappa probe: serial number and calibration date from "I", software
    // revision from "i".
    virtual void SetProbeIdentity(const QString& serialNo, const QString& calDate) = 0;
    virtual void SetProbeSoftRev(const QString& softRev) = 0;
};

} // namespace probe

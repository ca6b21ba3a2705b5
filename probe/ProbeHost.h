#pragma once
// What the probe session needs of its owner: the link-speed and calibration completion, the
// message boxes, the probe's settling wait, and where the probe's identity goes.
#include "platform/MessageBoxes.h"

#include <QByteArray>
#include <QString>

namespace probe {

class ProbeHost {
public:
    virtual ~ProbeHost() = default;
    // Completes a link-speed acknowledgement (":F1".. ":F5") or the calibration read (":M0",
    // with the calibration reply) and returns the next command with its carriage return.
    virtual QByteArray AutoNextCmndS(const QByteArray& code, const QByteArray& reply) = 0;
    virtual void ShowMessage(platform::MsgIcon icon, const QString& text) = 0;
    // The probe needs this long before it takes the next command: the next command waits that
    // long (the program runs on meanwhile).
    virtual void Delay(double ms) = 0;
    // Identity of a Kappa probe: serial number and calibration date from "I", software
    // revision from "i".
    virtual void SetProbeIdentity(const QString& serialNo, const QString& calDate) = 0;
    virtual void SetProbeSoftRev(const QString& softRev) = 0;
};

// The identity of the probe in service as it reported it: the About box shows it, and the
// software revision tells whether the probe may stream.
class ProbeIdentity {
public:
    QString SoftRev() const { return m_softRev; }
    QString SerialNo() const { return m_serialNo; }
    QString CalDate() const { return m_calDate; }
    void SetSoftRev(const QString& softRev) { m_softRev = softRev; }
    void SetCalDate(const QString& calDate) { m_calDate = calDate; }
    // Returns true when the serial number is another probe's than before.
    bool SetSerialNo(const QString& serialNo) {
        if (serialNo == m_serialNo) return false;
        m_serialNo = serialNo;
        return true;
    }

private:
    QString m_softRev, m_serialNo, m_calDate;
};

} // namespace probe

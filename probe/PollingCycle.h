#pragma once
// The polling cycle: opens the port, sends one command per poll, collects the reply on the
// next read-timer tick (timer mode) or in the port's receive notification (event mode), judges
// it complete by its length, hands complete replies to the processing, notices a probe that
// stopped answering and counts the samples for the sample-rate display.
//
// The main window owns the cycle together with the port and the read timer it drives; the
// window's part (processing, display, menus, status bar) is reached through PollingView.
#include "platform/HiResTimer.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialComm.h"
#include "probe/clsProbe.h"

#include <QByteArray>
#include <QString>

namespace probe {

class PollingView {
public:
    virtual ~PollingView() = default;
    // A complete reply is in PollingCycle::InString.
    virtual void ProcessData() = 0;
    // Blanks the readouts and status texts (probe lost, port not opened).
    virtual void ClearDisplay() = 0;
    // Status-bar panel 1 (model) or 2 (link speed); the status bar is redrawn.
    virtual void SetStatusPanel(int panel, const QString& text) = 0;
    // The link-speed menu entries 3, 4 and 5 (38.4, 57.6, 115.2 kBaud) lose their check mark.
    virtual void UncheckHighSpeedEntries() = 0;
    // Checks the port menu entry 1..5; 0 unchecks all five.
    virtual void CheckPortEntry(int port) = 0;
    // The measured sample rate in samples per second.
    virtual void ShowSampleRate(double perSecond) = 0;
    // The low-battery indication stops (the probe is gone).
    virtual void LowBatteryOff() = 0;
    // Whether the "Corvane Probe" communication-mode entry is checked.
    virtual bool ARProbeChecked() const = 0;
    // A streamed record is in PollingCycle::InString (high-speed mode).
    virtual void SuperFast2() = 0;
    // Streaming ended (true) or began (false): the link and port menus and the sample-rate
    // list follow.
    virtual void DisableHiSpeed(bool enabled) = 0;
};

class PollingCycle {
public:
    static inline const QString OpenFailedText =
        QStringLiteral("Unable to open the selected comm port.  Reselect comm port or check "
                       "system configuration.");

    PollingCycle(clsProbe& probe, platform::SerialComm& port, platform::HiResTimer& readTimer,
                 platform::MessageBoxes& boxes, PollingView& view);

    // Start-up: the session searches the link from the first poll on.
    void Start(int portNo);
    bool OpenCommPort(int portNo);
    void SendCmnd();
    void SetRthreshold(int length);
    void ReadProbeTick();        // HRTReadProbe (and, while streaming, its watchdog)
    void OnComm();               // the port's receive notification
    void CalSamPerSecTick();     // the counting part of the 500 ms tick
    void SelectPort(int portNo); // port menu "Comm &1" .. "Comm &5"

    QByteArray InString;
    QByteArray OutCmnd;
    int ExpectedLength = 0;
    int RespReceived = 0;
    int EventReceive = 0;
    bool AutoNext = false;
    int HighSpeedState = 0;
    int MissCount = 0;
    int CommPortNo = 1;
    int PortOpened = 0;
    int SampleCount = 0;
    // Streamed records taken: StreamRecords wraps to 0 at 32000 (the watchdog compares it from
    // tick to tick), StreamRecordsTotal counts on.
    int StreamRecords = 0;
    qint64 StreamRecordsTotal = 0;

private:
    void miss();
    void retuneForSearch();
    void streamWatchdog();

    clsProbe& m_probe;
    platform::SerialComm& MainComm;
    platform::HiResTimer& HRTReadProbe;
    platform::MessageBoxes& m_boxes;
    PollingView& m_view;
    int m_rateTicks = 0;
    int m_modelTicks = 0;
    int m_lastStreamRecords = -1;
};

} // namespace probe

#pragma once
// A console front end on the probe engine: opens a port, identifies the probe and prints the
// model and live readings. It stands in for the main window until that exists.
#include "platform/MessageBoxes.h"
#include "platform/PortTable.h"
#include "platform/QtChildProgram.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtSerialComm.h"
#include "platform/QtSettingsStore.h"
#include "probe/PollingCycle.h"
#include "probe/ProbeHost.h"
#include "probe/clsProbe.h"

#include <QTextStream>

class ConsoleFront : public probe::ProbeHost,
                     public probe::PollingView,
                     public platform::MessageBoxes {
public:
    struct Options {
        int portNo = 1;
        QString portName;      // empty: the name stored for portNo
        int seconds = 0;       // 0: until interrupted
        QString simulate;      // model of the virtual probe to start behind port 1
        bool threeAxis = true; // read the axes one by one where the probe can
    };

    explicit ConsoleFront(const Options& options);
    // Opens the port and starts polling; false when the port cannot be opened.
    bool start();

    // ProbeHost
    QByteArray AutoNextCmndS(const QByteArray& code) override;
    void ShowMessage(platform::MsgIcon icon, const QString& text) override;
    void Delay(double ms) override { m_clock.delay(ms); }
    void SetProbeIdentity(const QString& serialNo, const QString& calDate) override;
    void SetProbeSoftRev(const QString& softRev) override;

    // PollingView
    void ProcessData() override;
    void ClearDisplay() override;
    void SetStatusPanel(int panel, const QString& text) override;
    void UncheckHighSpeedEntries() override {}
    void CheckPortEntry(int) override {}
    void ShowSampleRate(double perSecond) override { m_rate = perSecond; }
    void LowBatteryOff() override {}
    bool ARProbeChecked() const override { return false; }

    // MessageBoxes: the console prints what a window would show in a box.
    void inform(platform::MsgIcon icon, const QString& text, const QString& title) override;
    bool askYesNo(platform::MsgIcon icon, const QString& text, const QString& title) override;

private:
    void everyHalfSecond();
    void printReading();
    QString familyName() const;
    bool startSimulator();

    Options m_options;
    QTextStream m_out;
    platform::QtSettingsStore m_settings;
    platform::PortTable m_ports;
    platform::QtSerialComm m_port;
    platform::QtHiResTimer m_readTimer;
    platform::QtHiResTimer m_halfSecond;
    platform::QtClock m_clock;
    platform::QtChildProgram m_simulator;
    probe::clsProbe m_probe;
    probe::PollingCycle m_cycle;
    QString m_announcedModel;
    bool m_newReading = false;
    double m_rate = 0;
    QString m_linkText;
    int m_halfSeconds = 0;
};

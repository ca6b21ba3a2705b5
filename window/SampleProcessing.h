#pragma once
// Every complete reply ends here. ProcessData dispatches it by protocol state: Sigma and Kappa
// replies go through the session's parser (ProcessSigmaFormat), Zeta replies are read here and
// their samples turned into field strength by ClsZeta (ProcessZetaFormat, in
// SampleProcessingZeta.cpp). Each sample becomes one reading (UpdateVMSigma, UpdateVM), pushed
// to the readouts, graphs and log; the rest of a reply goes to the part of the window it
// concerns. ClearDisplay blanks the window when the probe is lost.
#include "measure/ClsZeta.h"
#include "measure/Reading.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "probe/PollingCycle.h"
#include "probe/ProbeHost.h"
#include "window/WindowShell.h"

#include <QByteArray>
#include <QString>

namespace window {

class BatteryTemp;
class GraphControl;
class LinkControl;
class MainLayout;
class ProbeControls;
class ProbeSetup;
class Readouts;

class SampleProcessing {
public:
    // The parts of the window that a reply may concern.
    struct Parts {
        Readouts& readouts;
        BatteryTemp& battery;
        ProbeSetup& setup;
        GraphControl& graphs;
        LinkControl& link;
        MainLayout& layout;
        ProbeControls& controls;
    };

    SampleProcessing(probe::clsProbe& probe, measure::ClsZeta& zeta, measure::ReadingSink& sink,
                     const Parts& parts, probe::ProbeIdentity& identity, WindowShell& shell,
                     platform::Clock& clock, platform::MessageBoxes& boxes);

    probe::ReplyTaken ProcessData(const QByteArray& reply);
    probe::ReplyTaken ProcessSigmaFormat(const QByteArray& reply);
    probe::ReplyTaken ProcessZetaFormat(const QByteArray& reply);
    // The reading of the sample just parsed, pushed on; returns the whole samples it closes.
    int UpdateVMSigma();
    void UpdateVM();
    // One streamed record of a Zeta probe.
    void SuperFast2(const QByteArray& record);
    void ClearDisplay();

    // Battery percent of a field-reporting probe from its reported volts (clamped to 0..100).
    static int BatteryPercentOf(float volts, int protocolState, const QString& model);
    // The temperature readout: the value, a blank, the degree sign and C or F.
    static QString TemperatureText(float value, bool celsius);
    static QString TemperatureText(const QString& value, bool celsius);

    int BatteryPercent() const { return m_batteryPercent; } // last Zeta battery reading
    // Zeta samples shorter than a whole sample: counted, never read as a reading.
    int ShortSamples() const { return m_shortSamples; }

private:
    float dayFraction() const;
    void unitsChanged();
    void rangeReported(const QByteArray& reply);
    void batteryReported();
    void zetaIdentified(const QByteArray& reply);

    probe::clsProbe& m_probe;
    measure::ClsZeta& m_zeta;
    measure::ReadingSink& m_sink;
    Parts m_parts;
    probe::ProbeIdentity& m_identity;
    WindowShell& m_shell;
    platform::Clock& m_clock;
    platform::MessageBoxes& m_boxes;
    int m_batteryPercent = 0;
    int m_shortSamples = 0;
};

} // namespace window

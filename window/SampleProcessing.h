#pragma once
// The window's side of every complete reply: the reply itself is read by the engine's
// ReplyProcessor (the same one the unattended logger uses), which pushes each reading on to
// the readouts, graphs and log; what else the reply tells goes to the part of the window it
// concerns, here. ClearDisplay blanks the window when the probe is lost.
#include "measure/ClsZeta.h"
#include "measure/Reading.h"
#include "measure/ReplyProcessor.h"
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

class SampleProcessing : private measure::ReplyEvents {
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

    probe::ReplyTaken ProcessData(const QByteArray& reply) { return m_replies.ProcessData(reply); }
    // One streamed record of a Zeta probe.
    void SuperFast2(const QByteArray& record) { m_replies.SuperFast2(record); }
    void ClearDisplay();

    int BatteryPercent() const { return m_replies.BatteryPercent(); } // last Zeta battery reading
    int ShortSamples() const { return m_replies.ShortSamples(); }

private:
    void ReadingChanges(int mask) override;
    void RangeReported(const QString& range) override;
    void BatteryReported(int percent) override;
    void TemperatureReported(const QString& text) override;
    void CommandRefused(const QString& command) override;
    void NonAsciiMode() override;
    void BatteryFlag(bool low) override;
    void ZetaFamilySeen() override;
    void ZetaIdentified(bool otherProbe, bool batteryLow) override;
    void RecordTaken() override;
    void unitsChanged();

    probe::clsProbe& m_probe;
    Parts m_parts;
    probe::ProbeIdentity& m_identity;
    WindowShell& m_shell;
    platform::MessageBoxes& m_boxes;
    measure::ReplyProcessor m_replies;
};

} // namespace window

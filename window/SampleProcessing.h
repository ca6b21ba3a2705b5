#pragma once
// The window's side of the engine: every complete reply is read by the engine (the same
// reading the unattended logger uses), which pushes each reading on to the readouts, graphs
// and log; what else a reply tells, and what the polling cycle reports (a lost probe, the link
// and its health, the sample rate), goes to the part of the window it concerns, here.
#include "engine/ProbeEngine.h"
#include "platform/MessageBoxes.h"
#include "probe/PollingCycle.h"
#include "probe/ProbeHost.h"
#include "window/WindowShell.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace window {

class BarGraphControl;
class BatteryTemp;
class GraphControl;
class LinkControl;
class MainLayout;
class ProbeControls;
class ProbeSetup;
class Readouts;

class SampleProcessing : public engine::EngineEvents {
public:
    // The parts of the window that a reply may concern.
    struct Parts {
        Readouts& readouts;
        BatteryTemp& battery;
        ProbeSetup& setup;
        GraphControl& graphs;
        BarGraphControl& bars;
        LinkControl& link;
        MainLayout& layout;
        ProbeControls& controls;
    };

    // samplesTaken hears of every complete reply that closed samples.
    SampleProcessing(const engine::ProbeEngine& engine, const Parts& parts, WindowShell& shell,
                     platform::MessageBoxes& boxes, std::function<void(int)> samplesTaken);

    void ClearDisplay() override;

private:
    void ShowMessage(platform::MsgIcon icon, const QString& text) override;
    void ReplyProcessed(const probe::ReplyTaken& taken) override;
    void SetStatusPanel(int panel, const QString& text) override;
    void UncheckHighSpeedEntries() override;
    void CheckPortEntry(int port) override;
    void ShowSampleRate(double perSecond) override;
    void LowBatteryOff() override;
    void DisableHiSpeed(bool ended) override;
    void ShowLineHealth(const probe::LineHealth& health) override;
    void ZeroReferenceChanged(bool on) override;
    void AutoRangeChanged(bool on) override;
    void MultiplexPreferenceChanged(bool axisByAxis) override;
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

    const engine::ProbeEngine& m_engine;
    Parts m_parts;
    WindowShell& m_shell;
    platform::MessageBoxes& m_boxes;
    std::function<void(int)> m_samplesTaken;
};

} // namespace window

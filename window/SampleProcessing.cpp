#include "window/SampleProcessing.h"

#include "window/BarGraphControl.h"
#include "window/BatteryTemp.h"
#include "window/GraphControl.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/ProbeControls.h"
#include "window/ProbeSetup.h"
#include "window/Readouts.h"

namespace window {

SampleProcessing::SampleProcessing(const engine::ProbeEngine& engine, const Parts& parts,
                                   WindowShell& shell, platform::MessageBoxes& boxes,
                                   std::function<void(int)> samplesTaken)
    : m_engine(engine), m_parts(parts), m_shell(shell), m_boxes(boxes),
      m_samplesTaken(std::move(samplesTaken)) {}

void SampleProcessing::ShowMessage(platform::MsgIcon icon, const QString& text) {
    m_boxes.inform(icon, text, AppTitle);
}

void SampleProcessing::ReplyProcessed(const probe::ReplyTaken& taken) {
    if (taken.samples > 0 && m_samplesTaken) m_samplesTaken(taken.samples);
}

// ---- field-reporting replies ----------------------------------------------------------------

void SampleProcessing::ReadingChanges(int mask) {
    if (mask & probe::ChgAxes) m_parts.readouts.UpDateAxis();
    if (mask & probe::ChgUnits) unitsChanged();
    m_parts.readouts.ShowRangeFlags(mask & probe::ChgOverRange, mask & probe::ChgUnderRange);
    if (mask & probe::ChgMultiplex) m_parts.setup.SetUpSigma();
    if (mask & probe::ChgRange) m_parts.graphs.RescaleAll();
}

void SampleProcessing::unitsChanged() {
    GraphControl& graphs = m_parts.graphs;
    const bool changed = m_parts.setup.ShowUnits();
    graphs.ShowProbeRange();
    if (changed) {
        graphs.LimitGraphSetting();
        // The probe's peak holds start again in the new units, and so do the bars'.
        m_parts.bars.ClearBarPeaks();
    }
    graphs.RescaleAll();
}

void SampleProcessing::RangeReported(const QString& range) {
    // A range report comes only from a Sigma probe.
    MainLayout& layout = m_parts.layout;
    layout.SetZetaFamily(false);
    layout.ShowFamilyLayout();
    m_parts.graphs.ShowProbeRange();
    m_parts.controls.RangeShown();
    if (m_parts.setup.ShowRange(range)) m_parts.graphs.RescaleAll();
    layout.ChangeDisplayIfPending();
}

void SampleProcessing::BatteryReported(int percent) {
    m_parts.battery.ShowBattery(percent);
}

void SampleProcessing::TemperatureReported(const QString& text) {
    m_parts.battery.ShowTemperature(text);
}

void SampleProcessing::CommandRefused(const QString& command) {
    m_parts.controls.CommandRefused(command);
}

void SampleProcessing::NonAsciiMode() {
    m_shell.SetStatusPanel(2, QStringLiteral("Communication mode Non-ASCII"));
}

// ---- Zeta replies ---------------------------------------------------------------------------

void SampleProcessing::BatteryFlag(bool low) {
    m_parts.battery.SetBattLowBlink(low);
}

void SampleProcessing::ZetaFamilySeen() {
    m_parts.layout.SetZetaFamily(true);
}

void SampleProcessing::ZetaIdentified(bool otherProbe, bool batteryLow) {
    MainLayout& layout = m_parts.layout;
    layout.ChangeDisplay();
    m_parts.link.ZetaIdentified(m_engine.identity().SoftRev());
    if (batteryLow)
        m_boxes.inform(platform::MsgIcon::Information, QStringLiteral("Probe battery low."),
                       AppTitle);
    // Another probe: its zero reference is not this one's.
    m_parts.controls.ZetaIdentified(otherProbe);
    m_shell.SetStatusPanel(1, QStringLiteral("Found probe type: ") + m_engine.probe().GetModel());
    layout.ShowFamilyLayout();
}

void SampleProcessing::RecordTaken() {
    m_parts.link.RecordTaken();
}

// ---- probe lost -----------------------------------------------------------------------------

void SampleProcessing::ClearDisplay() {
    m_parts.readouts.Clear();
    m_parts.setup.ClearProbeLabels();
    m_parts.battery.Clear();
    m_shell.SetStatusPanel(1, QString());
    m_parts.link.ProbeLost();
    m_parts.controls.RangeShown();
    // The live graph starts again on an empty plot.
    if (m_parts.graphs.ScatterGraphOn() && !m_shell.StartingUp()) m_parts.graphs.DrawGraph();
}

// ---- the polling cycle's reports --------------------------------------------------------------

void SampleProcessing::SetStatusPanel(int panel, const QString& text) {
    m_shell.SetStatusPanel(panel, text);
}

void SampleProcessing::UncheckHighSpeedEntries() {
    m_parts.link.UncheckHighSpeedEntries();
}

void SampleProcessing::CheckPortEntry(int port) {
    m_parts.link.CheckPortEntry(port);
}

void SampleProcessing::ShowSampleRate(double perSecond) {
    m_parts.readouts.ShowSampleRate(perSecond);
}

void SampleProcessing::LowBatteryOff() {
    m_parts.battery.LowBatteryOff();
}

void SampleProcessing::DisableHiSpeed(bool ended) {
    m_parts.link.DisableHiSpeed(ended);
}

void SampleProcessing::ShowLineHealth(const probe::LineHealth& health) {
    m_parts.link.ShowLineHealth(health);
}

void SampleProcessing::MultiplexPreferenceChanged(bool axisByAxis) {
    m_parts.setup.ShowMultiplexPreference(axisByAxis);
}

void SampleProcessing::AutoRangeChanged(bool on) {
    m_parts.controls.ShowAutoRanging(on);
    // An automatic scale is the probe's log scale under automatic ranging, and its range's
    // scale otherwise: the graph and the bars follow.
    m_parts.graphs.RescaleAll();
}

void SampleProcessing::ZeroReferenceChanged(bool on) {
    m_parts.controls.ShowZeroReference(on);
}

} // namespace window

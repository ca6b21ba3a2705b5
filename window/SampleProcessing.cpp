#include "window/SampleProcessing.h"

#include "probe/Rounding.h"
#include "window/BatteryTemp.h"
#include "window/GraphControl.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/ProbeControls.h"
#include "window/ProbeSetup.h"
#include "window/Readouts.h"

#include <algorithm>

namespace window {

using probe::ReplyTaken;

SampleProcessing::SampleProcessing(probe::clsProbe& probe, measure::ClsZeta& zeta,
                                   measure::ReadingSink& sink, const Parts& parts,
                                   probe::ProbeIdentity& identity, WindowShell& shell,
                                   platform::Clock& clock, platform::MessageBoxes& boxes)
    : m_probe(probe), m_zeta(zeta), m_sink(sink), m_parts(parts), m_identity(identity),
      m_shell(shell), m_clock(clock), m_boxes(boxes) {}

// ---- dispatch -------------------------------------------------------------------------------

ReplyTaken SampleProcessing::ProcessData(const QByteArray& reply) {
    switch (m_probe.TypeZeta()) {
    case probe::StateZeta: return ProcessZetaFormat(reply);
    case probe::StateSigma:
    case probe::StateKappa: {
        ReplyTaken taken = ProcessSigmaFormat(reply);
        // A rejected command is no sign of life.
        if (!reply.startsWith(":E")) taken.alive = true;
        return taken;
    }
    default: {
        // Identifying: the reply may come from either family.
        const ReplyTaken zeta = ProcessZetaFormat(reply);
        const ReplyTaken sigma = ProcessSigmaFormat(reply);
        return {zeta.alive || sigma.alive, zeta.samples + sigma.samples, sigma.refused};
    }
    }
}

float SampleProcessing::dayFraction() const {
    return float(m_clock.secondsSinceMidnight() / 86400.0);
}

// ---- field-reporting replies ----------------------------------------------------------------

ReplyTaken SampleProcessing::ProcessSigmaFormat(const QByteArray& reply) {
    const qint64 refusedBefore = m_probe.RefusedReplies();
    const int mask = m_probe.InputStr(reply);
    if (reply.startsWith('?'))
        m_shell.SetStatusPanel(2, QStringLiteral("Communication mode Non-ASCII"));
    if (mask == 0) return {false, 0, m_probe.RefusedReplies() != refusedBefore};
    if (mask & probe::ChgRefused) {
        m_parts.controls.CommandRefused(QString::fromLatin1(m_probe.RefusedCmnd()));
        return {false, 0, false};
    }

    if (mask & probe::ChgReading) {
        if (mask & probe::ChgAxes) m_parts.readouts.UpDateAxis();
        if (mask & probe::ChgUnits) unitsChanged();
        m_parts.readouts.ShowRangeFlags(mask & probe::ChgOverRange, mask & probe::ChgUnderRange);
        if (mask & probe::ChgMultiplex) m_parts.setup.SetUpSigma();
        if (mask & probe::ChgRange) m_parts.graphs.RescaleAll();
        // Battery and temperature come only in replies of their own.
        return {true, UpdateVMSigma()};
    }

    if (mask & probe::ChgRange) rangeReported(reply);
    if (mask & probe::ChgBattery) batteryReported();
    if (mask & probe::ChgTemperature)
        m_parts.battery.ShowTemperature(
            TemperatureText(m_probe.Temperature(), m_probe.UseCelsiusTemp() >= 1));
    return {true, 0};
}

int SampleProcessing::UpdateVMSigma() {
    const measure::Reading reading = measure::ReadingOf(m_probe, dayFraction());
    m_sink.TakeReading(reading);
    // In 3-axis operation one sample is a complete X, Y, Z cycle.
    return reading.completesSample ? 1 : 0;
}

void SampleProcessing::unitsChanged() {
    GraphControl& graphs = m_parts.graphs;
    const bool changed = m_parts.setup.ShowUnits();
    graphs.ShowProbeRange();
    if (changed) graphs.LimitGraphSetting();
    graphs.RescaleAll();
}

void SampleProcessing::rangeReported(const QByteArray& reply) {
    // A range report comes only from a Sigma probe.
    MainLayout& layout = m_parts.layout;
    layout.SetZetaFamily(false);
    layout.ShowFamilyLayout();
    m_parts.graphs.ShowProbeRange();
    if (m_parts.setup.ShowRange(QString::fromLatin1(reply.mid(2, 1)))) m_parts.graphs.RescaleAll();
    layout.ChangeDisplayIfPending();
}

void SampleProcessing::batteryReported() {
    m_parts.battery.ShowBattery(
        BatteryPercentOf(m_probe.Battery(), m_probe.TypeZeta(), m_probe.GetModel()));
}

int SampleProcessing::BatteryPercentOf(float volts, int protocolState, const QString& model) {
    const double b = volts;
    double percent;
    if (protocolState == probe::StateKappa)
        percent = (b * 0.545 - 2.2) * 100.0;
    else if (model == QLatin1String("PX-2200"))
        percent = (b - 9.333) / 0.006;
    else
        percent = (b - 3.5) / 0.006;
    return std::clamp(probe::CInt(percent), 0, 100);
}

QString SampleProcessing::TemperatureText(float value, bool celsius) {
    return TemperatureText(QString::number(double(value), 'g', 7), celsius);
}

QString SampleProcessing::TemperatureText(const QString& value, bool celsius) {
    return value + QLatin1Char(' ') + QChar(0xB0) + (celsius ? QLatin1Char('C') : QLatin1Char('F'));
}

// ---- probe lost -----------------------------------------------------------------------------

void SampleProcessing::ClearDisplay() {
    m_parts.readouts.Clear();
    m_parts.setup.ClearProbeLabels();
    m_parts.battery.Clear();
    m_shell.SetStatusPanel(1, QString());
    m_parts.link.ProbeLost();
    m_probe.SetLostComm(1);
    // The live graph starts again on an empty plot.
    if (m_parts.graphs.ScatterGraphOn() && !m_shell.StartingUp()) m_parts.graphs.DrawGraph();
}

} // namespace window

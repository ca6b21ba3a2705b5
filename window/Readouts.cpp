#include "window/Readouts.h"

#include "probe/Readings.h"
#include "probe/clsProbe.h"
#include "window/BarGraphControl.h"
#include "window/DisplayTimers.h"

#include <array>

namespace window {

using measure::Reading;

namespace {

// A single-precision value as text, with up to seven significant digits and no trailing zeros.
QString SingleText(float value) {
    return QString::number(double(value), 'g', 7);
}

// A peak of a probe that reports its fields: to the digits its readings have (those the
// readout shows), without trailing zeros, as the probe's own peak reads.
QString PeakText(float value) {
    QString shown = probe::AdjustStrLen(value);
    shown.remove(u',');
    bool ok = false;
    const double reported = shown.trimmed().toDouble(&ok);
    return SingleText(ok ? float(reported) : value);
}

// A fixed number of decimals, cut to the eight characters the readout has room for.
QString Fixed(float value, int decimals) {
    return QString::number(double(value), 'f', decimals).left(8);
}

} // namespace

Readouts::Readouts(const ReadoutControls& controls, const probe::clsProbe& probe,
                   DisplayTimers& timers, BarGraphControl& bars, const graph::clsGraph& graph,
                   const platform::Clock& clock)
    : m_ui(controls), m_probe(probe), m_timers(timers), m_bars(bars), m_graph(graph),
      m_clock(clock) {}

void Readouts::TakeReading(const Reading& reading) {
    if (!m_timers.TextUpdateDue()) return;
    const qint64 now = m_clock.monotonicMs();
    if (m_lastWrittenMs >= 0 && double(now - m_lastWrittenMs) < platform::FrameMs(m_ui.LabXYZField))
        return;
    m_timers.ConsumeTextUpdateDue();
    m_lastWrittenMs = now;
    if (reading.family == measure::Family::Zeta)
        zetaLabels(reading);
    else
        sigmaLabels(reading);
}

void Readouts::sigmaLabels(const Reading& r) {
    using probe::AdjustStrLen;
    m_ui.LabXYZField->setText(
        r.family == measure::Family::Kappa ? r.probeText : AdjustStrLen(r.value[measure::Total]));
    if (r.axesReported) {
        m_ui.LabXField->setText(AdjustStrLen(r.value[measure::X]));
        m_ui.LabYField->setText(AdjustStrLen(r.value[measure::Y]));
        m_ui.LabZField->setText(AdjustStrLen(r.value[measure::Z]));
    }
    m_ui.LabMaxXYZ->setText(SingleText(r.peak[measure::Total]));
    m_ui.LabMaxX->setText(SingleText(r.peak[measure::X]));
    m_ui.LabMaxY->setText(SingleText(r.peak[measure::Y]));
    m_ui.LabMaxZ->setText(SingleText(r.peak[measure::Z]));
    // A Kappa probe does not report its share of the range, and a log played back did not
    // record it: nothing is shown for them.
    const bool share = r.family != measure::Family::Kappa && r.percentOfScale >= 0;
    m_ui.LabBarGraph->setVisible(share);
    m_ui.LabPercentOfRange->setVisible(share);
    if (share) m_ui.LabBarGraph->setText(QString::number(r.percentOfScale) + QLatin1Char('%'));
}

void Readouts::zetaLabels(const Reading& r) {
    if (r.percentOfScale < 0) { // played back: no share of a range
        m_ui.LabBarGraph->setVisible(false);
        m_ui.LabPercentOfRange->setVisible(false);
    }
    ShowRow(r.value, r.peak, measure::Family::Zeta, r.zetaUnits == measure::ClsZeta::UnitMWcm2);
}

// Field strengths and squared fields with four significant digits; power densities with five
// decimals for the total and six for the rest. Peaks of the probes that report their fields
// with up to seven significant digits.
void Readouts::ShowRow(const measure::AxisValues& values, const measure::AxisValues& peaks,
                       measure::Family family, bool powerDensity) {
    const std::array<QLabel*, 4> shown{m_ui.LabXYZField, m_ui.LabXField, m_ui.LabYField,
                                       m_ui.LabZField};
    const std::array<QLabel*, 4> peaksShown{m_ui.LabMaxXYZ, m_ui.LabMaxX, m_ui.LabMaxY,
                                            m_ui.LabMaxZ};
    for (std::size_t i = 0; i < 4; ++i) {
        shown[i]->setText(powerDensity ? Fixed(values[i], i == 0 ? 5 : 6)
                                       : probe::AdjustStrLen(values[i]));
        peaksShown[i]->setText(family != measure::Family::Zeta ? PeakText(peaks[i])
                               : powerDensity                  ? Fixed(peaks[i], 6)
                                                               : probe::AdjustStrLen(peaks[i]));
    }
}

void Readouts::UpDateAxis() {
    m_axisStatus = m_probe.GetAxisStr();
    // Read in turn, the probe has one sensor on at a time; all three are in use all the same.
    const bool inTurn = m_probe.MultiplexOn() == 1 && m_probe.TypeZeta() == probe::StateSigma;
    const std::array<platform::ClickLabel*, 3> labels{m_ui.LabXAxis, m_ui.LabYAxis, m_ui.LabZAxis};
    for (int i = 0; i < 3; ++i) {
        const bool enabled =
            inTurn || (m_axisStatus.size() > i + 1 && m_axisStatus.at(i + 1) == QLatin1Char('E'));
        platform::SetForeColor(labels[std::size_t(i)], enabled ? m_axisOnColor : AxisOffColor);
        // Reading in turn switches the sensors itself; a switch of the user's would be undone.
        labels[std::size_t(i)]->setClickable(!inTurn,
                                             QStringLiteral("All three axes are read in turn"));
    }
}

bool Readouts::AllAxisDisplayed() {
    const bool shown = m_probe.MultiplexOn() == 1;
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui.LabXLab, m_ui.LabYLab, m_ui.LabZLab, m_ui.LabXField,
                                         m_ui.LabYField, m_ui.LabZField, m_ui.LabMaxX, m_ui.LabMaxY,
                                         m_ui.LabMaxZ, m_ui.ShapeX, m_ui.ShapeY, m_ui.ShapeZ})
        w->setVisible(shown);
    if (!shown) m_bars.ZeroAxisBars();
    UpdateAxisBox();
    return shown;
}

void Readouts::SetXYZLabVisible() {
    const bool multiplex = m_probe.GetMultiplexAvail() == 1;
    if (multiplex && m_probe.TypeZeta() != probe::StateSigma) return;
    for (QLabel* l : {m_ui.LabXAxis, m_ui.LabYAxis, m_ui.LabZAxis})
        l->setVisible(multiplex);
    UpdateAxisBox();
}

void Readouts::UpdateAxisBox() {
    const QWidget* form = m_ui.LabXField->parentWidget();
    m_ui.ShaMain2->setVisible(m_ui.LabXField->isVisibleTo(form) ||
                              m_ui.LabXAxis->isVisibleTo(form) ||
                              m_ui.LabYAxis->isVisibleTo(form) || m_ui.LabZAxis->isVisibleTo(form));
}

void Readouts::AxisSwitchesOff() {
    for (QWidget* label : {m_ui.LabXAxis, m_ui.LabYAxis, m_ui.LabZAxis})
        platform::SetForeColor(label, AxisOffColor);
}

void Readouts::ShowSigmaReadouts(bool shown) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui.LabPercentOfRange, m_ui.LabBarGraph,
                                                      m_ui.LabXAxis, m_ui.LabYAxis, m_ui.LabZAxis})
        w->setVisible(shown);
}

void Readouts::ChanColorIndicator() {
    m_ui.ShapeX->setFillColor(m_graph.GetChanLineColour(graph::clsGraph::TraceX));
    m_ui.ShapeY->setFillColor(m_graph.GetChanLineColour(graph::clsGraph::TraceY));
    m_ui.ShapeZ->setFillColor(m_graph.GetChanLineColour(graph::clsGraph::TraceZ));
}

void Readouts::ShowRangeFlags(bool over, bool under) {
    m_ui.LabOverRange->setVisible(over);
    m_ui.LabUnderRange->setVisible(under);
}

void Readouts::ShowSampleRate(double perSecond) {
    m_ui.LabSamRate->setText(QString::number(perSecond));
}

void Readouts::ShowSampleRateReadout(bool shown) {
    m_ui.LabSamRate->setVisible(shown);
}

void Readouts::ResetPeaks() {
    for (QLabel* peak : {m_ui.LabMaxX, m_ui.LabMaxY, m_ui.LabMaxZ, m_ui.LabMaxXYZ})
        peak->setText(QStringLiteral("0.0"));
}

void Readouts::Clear() {
    m_ui.LabXYZField->setText(QStringLiteral("No Probe"));
    for (QLabel* label : {m_ui.LabXField, m_ui.LabYField, m_ui.LabZField})
        label->clear();
    for (QLabel* label : {m_ui.LabXAxis, m_ui.LabYAxis, m_ui.LabZAxis})
        label->setVisible(false);
    m_ui.LabSamRate->setVisible(false);
    m_ui.LabBarGraph->clear();
    ShowRangeFlags(false, false);
    AxisSwitchesOff();
    m_bars.ZeroBars();
}

} // namespace window

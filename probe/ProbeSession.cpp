// The session's tables, rates and reading values.
#include "probe/ReplyText.h"
#include "probe/clsProbe.h"

#include <algorithm>
#include <cmath>

namespace probe {

clsProbe::clsProbe(ProbeHost& host)
    : m_host(host),
      m_downFactor(std::sqrt(0.06f)), m_axis{ReadingChannel(999999.0f), ReadingChannel(9999999.0f),
                                             ReadingChannel(9999999.0f),
                                             ReadingChannel(9999999.0f)} {
    static const char* const steps[] = {"R5", "R5", "D2", "R1", "ADEE", "U1",  "R1", "D2",
                                        "R2", "D2", "U2", "R1", "D2",   "R2",  "D2", "U3",
                                        "R3", "D2", "U1", "R4", "D2",   "AEEE"};
    for (int k = 1; k <= 22; ++k)
        m_initCmnds[k] = steps[k - 1];
    m_initCmnds[23] = "R2";
}

// ---- models, ranges and units ---------------------------------------------------------------

void clsProbe::SetModelTables() {
    m_tables.installModel(m_modelName);
    m_unitsIndex = 1;
    m_muxDisplayDirty = 1;
    m_requestedRate = std::min(m_requestedRate, 14);
    m_multiplexOn = (m_tables.MuxAvail == 1 && m_multiplexPreferred) ? 1 : 0;
    if (m_dataInterval < m_tables.MinReadTime) m_dataInterval = m_tables.MinReadTime;
    SetModelLimits();
}

void clsProbe::SetModelLimits() {
    m_tables.installLimits(m_modelName);
    if (m_state == StateKappa) m_range = 1;
}

void clsProbe::applyUnitsCode(const QByteArray& code) {
    const UnitsLookup units = UnitsCodeToText(code, m_modelName, m_state, m_range);
    m_unitsText = units.text;
    if (units.fieldKind >= 0) m_fieldKind = units.fieldKind;
    if (units.downFactor >= 0.0f) m_downFactor = units.downFactor;
    if (units.currentMult >= 0.0f) m_currentMult = units.currentMult;
    if (!units.message.isEmpty()) message(platform::MsgIcon::None, units.message);
}

void clsProbe::RecalcDownThreshold() {
    m_downThreshold = m_range == 1 ? m_tables.underRange(m_unitsIndex, 1)
                                   : m_tables.overRange(m_unitsIndex, m_range) * m_downFactor;
}

void clsProbe::SetAutoRangeOn(int value) {
    if (value >= 1) {
        m_autoRangeOn = 1;
        return;
    }
    m_autoRangeOn = 0;
    m_rangeDisplayDirty = 1;
    // Only a code the probe has reported can be translated again.
    if (m_unitsCode.size() == 3 && m_unitsCode != "xxx") applyUnitsCode(m_unitsCode);
}

void clsProbe::SetMultiplexPrefered(int value) {
    m_multiplexPreferred = value > 0;
    if (value <= 0) {
        m_currAxis = 0;
        m_nextAxis = 0;
        m_multiplexOn = 0;
        if (m_modelName.isEmpty() || !m_modelName.startsWith(QLatin1String("PX-9")))
            SetNextCmnd(QByteArray("AEEE") + Cr);
    } else if (m_tables.MuxAvail == 1) {
        m_multiplexOn = 1;
    }
    CalcReadInterval();
    if (m_state == StateSigma) m_muxDisplayDirty = 1;
}

float clsProbe::GetUnderRangeVal() const {
    return m_tables.underRange(m_unitsIndex, m_autoRangeOn == 1 ? 1 : m_range);
}

float clsProbe::GetOverRangeVal() const {
    const int range = m_autoRangeOn == 1 ? m_tables.maxRange(m_unitsIndex) : m_range;
    return m_tables.overRange(m_unitsIndex, range);
}

QString clsProbe::GetRangeString(int range) const {
    const QString limits = FormatRangeValue(m_tables.underRange(m_unitsIndex, range)) +
                           QStringLiteral(" - ") +
                           FormatRangeValue(m_tables.overRange(m_unitsIndex, range));
    return limits.trimmed() + QLatin1Char(' ') + m_unitsText;
}

QString clsProbe::GetGraphScales(int range, int kind) const {
    return kind == 1 ? m_tables.logText(m_unitsIndex) : m_tables.scaleText(m_unitsIndex, range);
}

QString clsProbe::GetGraphSelection() const {
    if (m_graphType == QLatin1String("Log")) return m_tables.logText(m_unitsIndex);
    if (m_graphType == QLatin1String("Auto")) {
        if (m_autoRangeOn == 1 || m_modelName.startsWith(QLatin1String("PX-9")))
            return m_tables.logText(m_unitsIndex);
        return m_tables.scaleText(m_unitsIndex, m_range);
    }
    return m_graphType;
}

// ---- sample rate -------------------------------------------------------------------------------

// A 3-axis read takes three polls and 60 ms of axis switching per sample.
void clsProbe::CalcReadInterval() {
    if (m_requestedRate <= 0) return;
    const int m = axisByAxis() ? 3 : 1;
    const double w = axisByAxis() ? 60.0 * m_requestedRate : 0.0;
    const double t = (1000.0 - w) / (m_requestedRate * m);
    m_dataInterval = t < m_tables.MinReadTime ? m_tables.MinReadTime : int(std::floor(t));
}

void clsProbe::SetSampleRate(int perSecond) {
    m_requestedRate = perSecond;
    CalcReadInterval();
}

int clsProbe::SampleRate() const {
    const int m = axisByAxis() ? 3 : 1;
    const double s = axisByAxis() ? 20.0 * m_requestedRate : 0.0;
    if (m_dataInterval <= 0) return 0;
    return CInt((1000.0 - s) / (double(m_dataInterval) * m));
}

int clsProbe::GetMaxSamRate() const {
    const int m = axisByAxis() ? 3 : 1;
    const double s = axisByAxis() ? 20.0 * m_requestedRate : 0.0;
    if (m_tables.MinReadTime <= 0) return 0;
    return int(std::floor((1000.0 - s) / (double(m_tables.MinReadTime) * m)));
}

// ---- reading values -----------------------------------------------------------------------------

float clsProbe::factorFor(int range) const {
    if (m_modelName == QLatin1String("PX-2100") && range == 0) return m_currentMult;
    return m_tables.multiplier(m_fieldKind, range);
}

void clsProbe::ProcessXYZReading(float reported) {
    const int percent = CInt(m_barValue[0] / 255.0 * 100.0);
    m_axis[0].take(factorFor(m_range) * reported, percent, m_averageCount, m_holdsPaused);
}

void clsProbe::ProcessAxisReading(int axis, float reported) {
    const int percent = CInt(m_barValue[axis] / 255.0 * 100.0);
    const float value = m_tables.multiplier(m_fieldKind, m_range) * reported;
    m_axis[axis].take(value, percent, m_averageCount, m_holdsPaused);
    if ((m_axisMask & (1 << (axis - 1))) == 0) m_axis[axis].zeroAveraged();
}

float clsProbe::compositeOf(float x, float y, float z) const {
    return CompositeOf(m_unitsText, x, y, z);
}

float clsProbe::throughText(float value) {
    return AdjustStrLen(value).toFloat();
}

float clsProbe::Field() const {
    return std::round(m_axis[0].averaged() * 1000.0f) / 1000.0f;
}

float clsProbe::XYZAxis() const {
    if (m_multiplexOn == 1) return compositeOf(Xaxis(), Yaxis(), Zaxis());
    return m_axis[0].averaged();
}

float clsProbe::XYZNA() const {
    if (m_multiplexOn == 1) return compositeOf(XNA(), YNA(), ZNA());
    return m_axis[0].raw();
}

float clsProbe::MaxHoldXYZ() const {
    const float peak = m_multiplexOn == 1
                           ? compositeOf(m_axis[1].peak(), m_axis[2].peak(), m_axis[3].peak())
                           : m_axis[0].peak();
    return throughText(QString::number(double(peak), 'g', 7).toFloat());
}

float clsProbe::MinHoldXYZ() const {
    if (m_multiplexOn == 1)
        return compositeOf(m_axis[1].minimum(), m_axis[2].minimum(), m_axis[3].minimum());
    return m_axis[0].minimum();
}

QString clsProbe::XYZAxisStr() const {
    if (m_state == StateKappa) return m_fieldStr;
    return probe::AdjustStrLen(XYZAxis());
}

int clsProbe::GetPercentOfScale() const {
    const auto percent = [this](int axis) {
        return m_averageCount < 2 ? m_axis[axis].barPercent() : m_axis[axis].avgPercent();
    };
    if (m_multiplexOn == 1) return std::max({percent(1), percent(2), percent(3)});
    return percent(0);
}

void clsProbe::ClearMaxHold() {
    for (ReadingChannel& channel : m_axis)
        channel.clearPeak();
}

void clsProbe::ClearMinHold() {
    for (ReadingChannel& channel : m_axis)
        channel.clearMinimum();
}

void clsProbe::SetAverage(int count) {
    m_averageCount = std::clamp(count, 0, MaxAverage);
}

} // namespace probe

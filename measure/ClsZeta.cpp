// The sample path of the raw-diode probe: reading a sample, the zero reference, the unit
// conversion, holds, moving average and total, and the diode voltages. The calibration
// (coefficient reply, lookup tables, gain ranges) is in ClsZetaTables.cpp.
#include "measure/ClsZeta.h"

#include "probe/ProbeHost.h"

#include <cmath>

namespace measure {

namespace {

// The value of `width` hexadecimal digits from the 1-based position, or -1 when one of them is
// not a hexadecimal digit. The caller makes sure the reply is long enough.
int HexAt(const QByteArray& reply, int position, int width) {
    int value = 0;
    for (int i = 0; i < width; ++i) {
        const char c = reply.at(position - 1 + i);
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

ClsZeta::ClsZeta(MessageSink showMessage)
    : m_showMessage(std::move(showMessage)),
      m_tables(std::size_t(3) * (TableCounts + 1) * GainRanges, 0.0f) {}

ClsZeta::ClsZeta(probe::ProbeHost& host)
    : ClsZeta(
          [&host](platform::MsgIcon icon, const QString& text) { host.ShowMessage(icon, text); }) {}

void ClsZeta::message(platform::MsgIcon icon, const QString& text) {
    if (m_showMessage) m_showMessage(icon, text);
}

bool ClsZeta::ParseCalZeta(const QByteArray& reply) {
    if (reply.size() < SampleLength) {
        m_field = {};
        m_volt = {};
        return false;
    }
    // Counts at 3-5, 6-8, 9-11; gain codes at 12-13, 14-15, 16-17. A sample with a character
    // that is not a hexadecimal digit there is unreadable: it yields no new values at all.
    std::array<int, 3> counts{}, codes{};
    for (int a = 0; a < 3; ++a) {
        counts[a] = HexAt(reply, 3 + 3 * a, 3);
        codes[a] = HexAt(reply, 12 + 2 * a, 2);
        if (counts[a] < 0 || codes[a] < 0) return false;
    }
    m_count = counts;
    m_gainCode = codes;

    // The per-axis values in V/m. An axis without one (a gain code without a gain range, or a
    // value that is not a number) keeps what it showed before.
    Axes v{};
    std::array<bool, 3> fresh{};
    const auto take = [&](int a, std::optional<float> value) {
        if (!value) return;
        v[a] = *value - m_zeroOffset[a];
        fresh[a] = std::isfinite(v[a]);
    };
    switch (m_equationType) {
    case 0: diodeVoltages(); return true;
    case 1:
    case 2:
        message(platform::MsgIcon::None,
                QStringLiteral("Equation type 1 and 2 removed after version 12."));
        return true;
    case 5: diodeVoltages(); [[fallthrough]];
    case 3:
        for (int a = 0; a < 3; ++a)
            take(a, tableAt(a, m_count[a], m_gainCode[a]));
        break;
    case 4:
        for (int a = 0; a < 3; ++a)
            take(a, direct(a, m_count[a], m_gainCode[a]));
        break;
    default: return true;
    }

    // Collecting a zero reference: the sample goes to the offsets and nothing else. Only a
    // complete sample counts towards the reference.
    if (m_refCount < m_averageCount) {
        if (fresh[0] && fresh[1] && fresh[2])
            for (int a = 0; a < 3; ++a)
                OffsetAverage(a + 1, v[a]);
        return true;
    }

    for (int a = 0; a < 3; ++a) {
        if (!fresh[a]) continue;
        v[a] = ConvertUnit(UnitVm, m_fieldUnits, v[a]);
        fresh[a] = std::isfinite(v[a]);
    }
    if (!fresh[0] && !fresh[1] && !fresh[2]) return true;

    // The holds follow the values before averaging; an axis without a new value takes part in
    // the total with its last one.
    Axes sample{};
    for (int a = 0; a < 3; ++a)
        sample[a] = fresh[a] ? v[a] : m_raw[a];
    const float first = total(sample);
    if (!std::isfinite(first)) return true; // beyond single precision: the sample is dropped
    m_fieldXYZ = first;
    if (!m_peakHoldPaused) {
        if (m_fieldXYZ > m_maxHold[0]) m_maxHold[0] = m_fieldXYZ;
        for (int a = 0; a < 3; ++a)
            if (fresh[a] && v[a] > m_maxHold[a + 1]) m_maxHold[a + 1] = v[a];
    }
    if (m_fieldXYZ < m_minHold[0]) m_minHold[0] = m_fieldXYZ;
    for (int a = 0; a < 3; ++a)
        if (fresh[a] && v[a] < m_minHold[a + 1]) m_minHold[a + 1] = v[a];
    for (int a = 0; a < 3; ++a)
        if (fresh[a]) m_raw[a] = v[a];

    average(v, fresh);
    for (int a = 0; a < 3; ++a)
        if (fresh[a]) m_field[a] = positive(v[a]);
    m_fieldXYZ = positive(total(m_field));
    return true;
}

float ClsZeta::total(const Axes& v) const {
    if (m_fieldUnits == UnitVm) return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return v[0] + v[1] + v[2];
}

float ClsZeta::XYZNA() const {
    return total(m_raw);
}

void ClsZeta::average(Axes& v, const std::array<bool, 3>& fresh) {
    const int n = m_averageCount;
    if (n <= 1) return;
    m_ringIndex = m_ringIndex < n ? m_ringIndex + 1 : 1;
    Axes& slot = m_averageRing[std::size_t(m_ringIndex)];
    for (int a = 0; a < 3; ++a) {
        if (!fresh[a]) continue; // the slot keeps its value and stays in the sum
        m_ringSum[a] = m_ringSum[a] - slot[a] + v[a];
        slot[a] = v[a];
    }
    // Once a turn the sums are added up afresh, so that the rounding of a running sum in
    // single precision cannot pile up: after a strong field has left the ring, a weak one
    // would otherwise be read against the leftovers of the strong one's rounding.
    if (m_ringIndex == n) {
        m_ringSum = {};
        for (int s = 1; s <= n; ++s)
            for (int a = 0; a < 3; ++a)
                m_ringSum[a] += m_averageRing[std::size_t(s)][a];
    }
    for (int a = 0; a < 3; ++a)
        if (fresh[a]) v[a] = m_ringSum[a] / float(n);
}

void ClsZeta::ClearMaxHold() {
    m_maxHold = {};
}

void ClsZeta::ClearMinHold() {
    m_minHold = {NoMinimum, NoMinimum, NoMinimum, NoMinimum};
}

void ClsZeta::SetAveraging(int n) {
    if (n < 0 || n > MaxAveraging) return;
    for (int s = m_averageCount + 1; s <= n; ++s)
        m_averageRing[std::size_t(s)] = m_field;
    m_ringIndex = 0;
    m_ringSum = {};
    for (int s = 1; s <= n; ++s)
        for (int a = 0; a < 3; ++a)
            m_ringSum[a] += m_averageRing[std::size_t(s)][a];
    m_averageCount = n;
    m_refCount = n;
}

float ClsZeta::ConvertUnit(int from, int to, float value) {
    if (value == 0.0f || from == to) return value;
    const double v = value;
    const double k = PowerDensityFactor;
    const auto root = [](double x) { return x > 0.0 ? std::sqrt(x) : 0.0; };
    switch (from * 3 + to) {
    case UnitVm * 3 + UnitMWcm2: return float(v * v / k);
    case UnitVm * 3 + UnitV2m2: return float(v * v);
    case UnitMWcm2 * 3 + UnitVm: return float(root(v * k));
    case UnitMWcm2 * 3 + UnitV2m2: return float(v * k);
    case UnitV2m2 * 3 + UnitVm: return float(root(v));
    case UnitV2m2 * 3 + UnitMWcm2: return float(v / k);
    }
    return value;
}

void ClsZeta::SetUnits(int code) {
    if (code < UnitVm || code > UnitV2m2) return;
    for (float& hold : m_maxHold)
        hold = ConvertUnit(m_fieldUnits, code, hold);
    m_ringSum = {};
    for (int s = 1; s <= m_averageCount; ++s)
        for (int a = 0; a < 3; ++a) {
            float& value = m_averageRing[std::size_t(s)][a];
            value = ConvertUnit(m_fieldUnits, code, value);
            m_ringSum[a] += value;
        }
    m_fieldUnits = code;
}

void ClsZeta::SetRef() {
    m_zeroOffset = {};
    m_refCount = 0;
    m_zeroSet = true;
}

void ClsZeta::ClearRef() {
    m_zeroOffset = {};
    m_zeroSet = false;
    // A reference still being taken ends too: "Clear Zero" leaves no offsets behind.
    m_refCount = m_averageCount;
}

void ClsZeta::OffsetAverage(int axis, float value) {
    if (axis < 1 || axis > 3) return;
    if (axis == 1 && m_refCount < RingSlots - 1) ++m_refCount;
    auto& samples = m_refSamples[std::size_t(axis - 1)];
    samples[std::size_t(m_refCount)] = value;
    if (m_refCount == m_averageCount && m_averageCount > 0) {
        float sum = 0;
        for (int i = 1; i <= m_averageCount; ++i)
            sum += samples[std::size_t(i)];
        m_zeroOffset[axis - 1] = sum / float(m_averageCount);
    }
}

void ClsZeta::SetEquationType(int type) {
    if (type == 1 || type == 2) {
        message(platform::MsgIcon::None,
                QStringLiteral("Equation type 1 and 2 not allowed setting to type 5."));
        type = 5;
    }
    if (type < 0 || type > 255) return; // not a type code
    m_equationType = type;
}

void ClsZeta::diodeVoltages() {
    for (int a = 0; a < 3; ++a) {
        m_ampGain[a] = float(101040.2 / (m_gainCode[a] * 392.0 + 40.2));
        m_volt[a] = float(m_count[a] * 0.0007326007 / m_ampGain[a] * m_gainFactor[a]);
    }
}

void ClsZeta::SetGainFactor(int axis, float r1, float& r2, float r3) {
    if (axis < 1 || axis > 3) return;
    // r2 parallel r3, then the divider's gain; a zero resistor or a result that is not a
    // number cannot be used.
    const double conductance = (r2 != 0.0f && r3 != 0.0f) ? 1.0 / r2 + 1.0 / r3 : 0.0;
    const float parallel = conductance != 0.0 ? float(1.0 / conductance) : 0.0f;
    bool usable = parallel != 0.0f && std::isfinite(parallel);
    const float factor = usable ? float((r1 + double(parallel)) / parallel) : 0.0f;
    usable = usable && std::isfinite(factor);
    if (!usable) {
        m_gainFactor[axis - 1] = DefaultGainFactor;
        message(platform::MsgIcon::None,
                QStringLiteral("Unable to set actual gain resister values.  Setting to defaults "
                               "(3.02)"));
        return;
    }
    r2 = parallel;
    m_gainFactor[axis - 1] = factor;
    message(platform::MsgIcon::None, QStringLiteral("Class gain factor axis ") +
                                         QString::number(axis) + QStringLiteral(" set to ") +
                                         QString::number(double(factor), 'g', 7));
}

float ClsZeta::QueryGainFactor(int axis) const {
    return (axis >= 1 && axis <= 3) ? m_gainFactor[axis - 1] : 0.0f;
}

void ClsZeta::SetCoEff(int axis, float value, int index) {
    if (axis < 0 || axis > 3 || index < 0 || index > 10) return;
    m_coEffTable[std::size_t(axis)][std::size_t(index)] = value;
}

float ClsZeta::CoEff(int axis, int index) const {
    if (axis < 0 || axis > 3 || index < 0 || index > 10) return 0.0f;
    return m_coEffTable[std::size_t(axis)][std::size_t(index)];
}

} // namespace measure

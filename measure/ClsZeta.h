#pragma once
// The raw-diode (Zeta) probe's calibration and field computation. A sample carries, per axis,
// the 12-bit count of the detector-diode converter and the code of the active gain stage; the
// calibration the probe sends once after identification gives, per axis, gain range and
// segment of the count scale, the coefficients of field = a + b·count^p in V/m. From those
// this class builds one lookup table per axis, turns every sample into field strength per axis
// and as the total, and keeps the peak and minimum holds, a moving average over the last N
// samples, a zero reference and the three units of this family (0 V/m, 1 mW/cm², 2 V²/m²).
//
// Axis numbers in the interface are 1 X, 2 Y, 3 Z. Everything is preallocated when the object
// is made; nothing is allocated per sample. Touches no widget: messages go out through the
// sink given to the constructor.
#include "platform/MessageBoxes.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace probe {
class ProbeHost;
}

namespace measure {

class ClsZeta {
public:
    using MessageSink = std::function<void(platform::MsgIcon, const QString&)>;

    enum Unit : int { UnitVm = 0, UnitMWcm2 = 1, UnitV2m2 = 2 };

    static constexpr int TableCounts = 4096; // table rows 0..4096; row 0 is never computed
    static constexpr int GainRanges = 4;
    static constexpr int MaxAveraging = 50;
    static constexpr int RingSlots = 52;
    static constexpr int SampleLength = 18;
    static constexpr int CoeffReplyLength = 579;
    static constexpr float NoMinimum = 9999999.0f;
    static constexpr float DefaultGainFactor = 3.02f;
    // V²/m² per mW/cm² (plane wave in free space).
    static constexpr float PowerDensityFactor = 3770.0f;

    explicit ClsZeta(MessageSink showMessage);
    // Messages go to the host's message boxes.
    explicit ClsZeta(probe::ProbeHost& host);

    // --- samples ------------------------------------------------------------------------------
    // One sample reply (":S", three counts of 3 hex digits, three gain codes of 2, then the
    // battery flag): the fields, total, holds, average and zero reference. A reply shorter
    // than 18 characters sets the axis fields and voltages to 0. A reply whose counts or codes
    // are not hexadecimal is unreadable and changes nothing. An axis whose gain code has no
    // gain range gets no new value in this sample (it keeps its previous value); the other
    // axes go on.
    // False for a sample that is short or unreadable: it yields no values at all.
    bool ParseCalZeta(const QByteArray& reply);

    float Xaxis() const { return m_field[0]; }
    float Yaxis() const { return m_field[1]; }
    float Zaxis() const { return m_field[2]; }
    float XYZ() const { return m_fieldXYZ; }
    // The last sample's values before averaging, negative ones read as 0.
    float XNA() const { return positive(m_raw[0]); }
    float YNA() const { return positive(m_raw[1]); }
    float ZNA() const { return positive(m_raw[2]); }
    // Total of the last sample's values before averaging (negative values taken as they are).
    float XYZNA() const;
    int CountX() const { return m_count[0]; }
    int CountY() const { return m_count[1]; }
    int CountZ() const { return m_count[2]; }

    // --- holds ----------------------------------------------------------------------------------
    // The holds follow each sample's values before averaging: the peaks unless paused, the
    // minimums always.
    float MaxHoldXYZ() const { return m_maxHold[0]; }
    float MaxHoldX() const { return m_maxHold[1]; }
    float MaxHoldY() const { return m_maxHold[2]; }
    float MaxHoldZ() const { return m_maxHold[3]; }
    float MinHoldXYZ() const { return m_minHold[0]; }
    float MinHoldX() const { return m_minHold[1]; }
    float MinHoldY() const { return m_minHold[2]; }
    float MinHoldZ() const { return m_minHold[3]; }
    void ClearMaxHold();
    void ClearMinHold();
    void PausePeakHold(bool paused) { m_peakHoldPaused = paused; }

    // --- averaging, units, zero ---------------------------------------------------------------
    // Length N of the moving average (0 and 1: off). Values above 50 are ignored. Slots that
    // come into use take the present axis values; a zero reference in progress ends without
    // new offsets.
    int Averaging() const { return m_averageCount; }
    void SetAveraging(int n);
    // Unit code 0 V/m, 1 mW/cm², 2 V²/m². Setting another unit converts the peak holds and the
    // averaging history; codes other than 0..2 are ignored.
    int Units() const { return m_fieldUnits; }
    void SetUnits(int code);
    // 0..2 as above. The same unit on both sides returns the value unchanged; 0 stays 0; a
    // negative value under a square root gives 0; codes other than 0..2 convert nothing.
    static float ConvertUnit(int from, int to, float value);
    // The next Averaging() samples become the zero offsets (their mean per axis, in V/m).
    void SetRef();
    // Offsets back to 0; a reference in progress ends without offsets.
    void ClearRef();
    // A zero reference was set (taken or being taken) and not cleared since.
    bool ZeroReferenceOn() const { return m_zeroSet; }
    // One zero-reference value of an axis (1..3); axis 1 opens the next sample.
    void OffsetAverage(int axis, float value);

    // --- calibration ----------------------------------------------------------------------------
    // The coefficient reply of 579 characters: 1 when read (tables rebuilt), 0 when refused
    // (coefficients and tables unchanged).
    int ParseCoeff(const QByteArray& reply);
    void CalLookUpTable();
    // Gain range 1..4 of a gain code (0, 1, 16, 255); 0 for any other code, with a message the
    // first time after a coefficient reply.
    int SetGainDim(int code);
    // The field of an axis computed from the coefficients: the value its table holds for this
    // count and gain code. Counts of 0 and below, and gain codes without a range, give 0.
    float CalX(int count, int code) { return direct(0, count, code).value_or(0.0f); }
    float CalY(int count, int code) { return direct(1, count, code).value_or(0.0f); }
    float CalZ(int count, int code) { return direct(2, count, code).value_or(0.0f); }
    // The table value of an axis ("X", "X Lin", "Y", "Y Lin", "Z", "Z Lin") in the gain range a
    // field level calls for (above 2000, 200, 8, 0: ranges 1..4), at the count rounded to an
    // integer. Empty for another name, a level of 0 or below, a count outside 0..4096.
    std::optional<float> CalculateFieldXYZ(const QString& axisName, float level, float count) const;

    // How counts become field values: 0 diode voltage only, 3 lookup table (in use), 4 computed
    // from the coefficients, 5 voltage and table. 1 and 2 are refused (stored as 5).
    int EquationType() const { return m_equationType; }
    void SetEquationType(int type);

    // --- diode voltage (equation types 0 and 5) -------------------------------------------------
    float VoltDiodeX() const { return m_volt[0]; }
    float VoltDiodeY() const { return m_volt[1]; }
    float VoltDiodeZ() const { return m_volt[2]; }
    float GainXX() const { return m_ampGain[0]; }
    float GainYY() const { return m_ampGain[1]; }
    float GainZZ() const { return m_ampGain[2]; }
    // Gain factor of an axis from its divider: r2 is replaced by r2 parallel r3, the factor is
    // (r1 + r2) / r2. Values that cannot be computed set the default 3.02.
    void SetGainFactor(int axis, float r1, float& r2, float r3);
    float QueryGainFactor(int axis) const;

    // Free coefficient slots (axis 0..3, index 0..10); not used in the computation.
    void SetCoEff(int axis, float value, int index);
    float CoEff(int axis, int index) const;
    QString ProbeSerialNo() const { return m_probeSerialNo; }
    void SetProbeSerialNo(const QString& serialNo) { m_probeSerialNo = serialNo; }

private:
    using Axes = std::array<float, 3>;
    struct Coefficients {
        float a = 0, b = 0, p = 0;
    };
    // [axis][gain range - 1][segment - 1]
    using CoeffSet = std::array<std::array<std::array<Coefficients, 2>, GainRanges>, 3>;

    static float positive(float v) { return v < 0 ? 0.0f : v; }
    void message(platform::MsgIcon icon, const QString& text);
    float& table(int axis, int count, int range) {
        return m_tables[(std::size_t(axis) * (TableCounts + 1) + std::size_t(count)) * GainRanges +
                        std::size_t(range - 1)];
    }
    float table(int axis, int count, int range) const {
        return m_tables[(std::size_t(axis) * (TableCounts + 1) + std::size_t(count)) * GainRanges +
                        std::size_t(range - 1)];
    }
    int segment(int range, int count) const { return count > m_breakpoint[range - 1] ? 2 : 1; }
    std::optional<float> direct(int axis, int count, int code);
    std::optional<float> tableAt(int axis, int count, int code);
    void diodeVoltages();
    float total(const Axes& v) const;
    void average(Axes& v, const std::array<bool, 3>& fresh);

    MessageSink m_showMessage;

    // last sample
    std::array<int, 3> m_count{};
    std::array<int, 3> m_gainCode{};
    Axes m_field{};
    float m_fieldXYZ = 0;
    Axes m_raw{};
    Axes m_volt{};
    Axes m_ampGain{};
    Axes m_gainFactor{DefaultGainFactor, DefaultGainFactor, DefaultGainFactor};

    // holds: total, X, Y, Z
    std::array<float, 4> m_maxHold{};
    std::array<float, 4> m_minHold{NoMinimum, NoMinimum, NoMinimum, NoMinimum};
    bool m_peakHoldPaused = false;

    int m_fieldUnits = UnitVm;

    // moving average: slots 1..N of the ring
    int m_averageCount = 10;
    std::array<Axes, RingSlots> m_averageRing{};
    int m_ringIndex = 0;
    Axes m_ringSum{};

    // zero reference (idle while RefCount equals AverageCount)
    int m_refCount = 10;
    bool m_zeroSet = false;
    std::array<std::array<float, RingSlots>, 3> m_refSamples{};
    Axes m_zeroOffset{};

    int m_equationType = 3;
    CoeffSet m_coeff{};
    std::array<int, GainRanges> m_breakpoint{550, 314, 1299, 525};
    std::vector<float> m_tables; // [axis][count 0..4096][gain range 1..4]
    QByteArray m_coeffText;
    bool m_gainWarned = false;
    std::array<std::array<float, 11>, 4> m_coEffTable{};
    QString m_probeSerialNo;
};

} // namespace measure

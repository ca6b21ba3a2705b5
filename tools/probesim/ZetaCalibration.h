#pragma once
// The calibration a Zeta probe carries: per axis, per gain range 1..4 and per segment 1..2 of
// the count scale, the coefficients (a, b, p) of field = a + b·count^p in V/m. Segment 2 is
// used above the breakpoint of the gain range. Gain range 1 is the most sensitive, gain range
// 4 takes the strongest fields.
//
// The coefficients are held as the probe prints them (eight characters each), so that a host
// that reads the printed numbers computes exactly the fields this probe means.
#include <QByteArray>
#include <QString>
#include <array>

namespace probesim {

class ZetaCalibration {
public:
    struct Coefficients {
        double a = 0, b = 0, p = 0;
    };
    struct Sample {
        int count = 0;
        int gainCode = 0;
    };

    static constexpr std::array<int, 4> Breakpoint{550, 314, 1299, 525};
    static constexpr std::array<int, 4> GainCode{0, 1, 16, 255}; // of gain ranges 1..4
    static constexpr int MaxCount = 4095;
    static constexpr int ReplyLength = 579;

    // The calibration of the named model (PX-9100, PX-9120, PX-9130; others read as PX-9100).
    explicit ZetaCalibration(const QString& model);

    // axis 0..2 (X, Y, Z), gainRange 1..4, segment 1..2.
    const Coefficients& coefficients(int axis, int gainRange, int segment) const;

    // ":M", 72 numbers of eight characters (a, b, p fastest, then axis, then segment, then gain
    // range) in the probe's coding of digit zero, minus and decimal point, CR.
    QByteArray encodeReply() const;
    // One number in eight characters, coded.
    static QByteArray encodeNumber(double value);

    // The field of a count in a gain range, by the segment its breakpoint chooses.
    double fieldFor(int axis, int count, int gainRange) const;
    // The count and gain code that report a field: the most sensitive gain range that reaches
    // it, and the count whose field comes closest. Beyond the last range: count 4095 there.
    Sample encode(int axis, double fieldVm) const;

private:
    // [axis][gain range - 1][segment - 1]
    std::array<std::array<std::array<Coefficients, 2>, 4>, 3> m_coeff{};
};

} // namespace probesim

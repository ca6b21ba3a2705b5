#include "tools/probesim/ZetaCalibration.h"

#include <cmath>

namespace probesim {

namespace {

// How a gain range of the reference probe answers: the field at count 1, at the breakpoint and
// at full count, and the exponents below and above the breakpoint. The detector is square-law
// at low counts (exponent about 0.5) and nearly linear above.
struct Span {
    double low, knee, high, p1, p2;
};
constexpr std::array<Span, 4> Reference{{
    {0.05, 2.0, 6.0, 0.55, 0.90},
    {1.5, 12.0, 45.0, 0.50, 0.85},
    {8.0, 100.0, 260.0, 0.50, 0.95},
    {120.0, 500.0, 1300.0, 0.50, 0.85},
}};

// Each probe is a little more or less sensitive, each axis of it too.
struct ModelTrim {
    const char* name;
    double sensitivity;
    double top; // the field at full count of gain range 4
};
constexpr std::array<ModelTrim, 3> Trims{{
    {"PX-9100", 1.00, 1300.0},
    {"PX-9120", 0.97, 1100.0},
    {"PX-9130", 1.02, 1100.0},
}};
constexpr std::array<double, 3> AxisTrim{1.0, 1.035, 0.965};

// Eight characters of plain decimal text, as many decimals as fit.
QByteArray Plain(double value) {
    for (int decimals = 7; decimals >= 0; --decimals) {
        QByteArray text = QByteArray::number(value, 'f', decimals);
        if (text.size() > 8) continue;
        const int sign = text.startsWith('-') ? 1 : 0;
        text.insert(sign, QByteArray(8 - text.size(), '0'));
        return text;
    }
    return value < 0 ? QByteArrayLiteral("-9999999") : QByteArrayLiteral("99999999");
}

// What the host reads back from the printed number.
double Printed(double value) {
    return Plain(value).toDouble();
}

} // namespace

ZetaCalibration::ZetaCalibration(const QString& model) {
    ModelTrim trim = Trims[0];
    for (const ModelTrim& t : Trims)
        if (model == QLatin1String(t.name)) trim = t;

    for (int axis = 0; axis < 3; ++axis) {
        const double f = trim.sensitivity * AxisTrim[axis];
        for (int r = 0; r < 4; ++r) {
            const Span& s = Reference[r];
            const double low = s.low * f;
            const double knee = s.knee * f;
            const double high = (r == 3 ? trim.top : s.high) * f;
            const double p1 = s.p1 + 0.01 * axis;
            const double p2 = s.p2 - 0.015 * axis;
            const double bp = Breakpoint[r];
            // Segment 1 runs from count 1 to the breakpoint, segment 2 from there to full count;
            // both pass through the knee.
            const double b1 = (knee - low) / (std::pow(bp, p1) - 1.0);
            const double b2 = (high - knee) / (std::pow(MaxCount, p2) - std::pow(bp, p2));
            m_coeff[axis][r][0] = {Printed(low - b1), Printed(b1), Printed(p1)};
            m_coeff[axis][r][1] = {Printed(knee - b2 * std::pow(bp, p2)), Printed(b2), Printed(p2)};
        }
    }
}

const ZetaCalibration::Coefficients& ZetaCalibration::coefficients(int axis, int gainRange,
                                                                   int segment) const {
    return m_coeff.at(axis).at(gainRange - 1).at(segment - 1);
}

QByteArray ZetaCalibration::encodeNumber(double value) {
    QByteArray text = Plain(value);
    text.replace('0', 'A').replace('-', 'B').replace('.', 'D');
    return text;
}

QByteArray ZetaCalibration::encodeReply() const {
    QByteArray reply = QByteArrayLiteral(":M");
    reply.reserve(ReplyLength);
    for (int r = 1; r <= 4; ++r)
        for (int segment = 1; segment <= 2; ++segment)
            for (int axis = 0; axis < 3; ++axis) {
                const Coefficients& c = coefficients(axis, r, segment);
                reply += encodeNumber(c.a) + encodeNumber(c.b) + encodeNumber(c.p);
            }
    reply += '\r';
    return reply;
}

double ZetaCalibration::fieldFor(int axis, int count, int gainRange) const {
    if (count <= 0) return 0.0; // the host never computes count 0: it reads 0
    const int segment = count > Breakpoint.at(gainRange - 1) ? 2 : 1;
    const Coefficients& c = coefficients(axis, gainRange, segment);
    return c.a + c.b * std::pow(double(count), c.p);
}

ZetaCalibration::Sample ZetaCalibration::encode(int axis, double fieldVm) const {
    for (int r = 1; r <= 4; ++r) {
        if (fieldVm > fieldFor(axis, MaxCount, r)) continue;
        // The first count that reaches the field, or the one before it if that is closer.
        int lo = 1, hi = MaxCount;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (fieldFor(axis, mid, r) < fieldVm)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo > 1 && fieldVm - fieldFor(axis, lo - 1, r) < fieldFor(axis, lo, r) - fieldVm) --lo;
        return {lo, GainCode[r - 1]};
    }
    return {MaxCount, GainCode[3]};
}

} // namespace probesim

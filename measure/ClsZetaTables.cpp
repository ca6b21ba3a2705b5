// The raw-diode probe's calibration: the coefficient reply, the lookup tables built from it,
// the gain ranges of the gain codes, and the field of a count read from a table or computed
// from the coefficients.
#include "measure/ClsZeta.h"

#include "probe/Rounding.h"

#include <cmath>

namespace measure {

namespace {

constexpr int FieldWidth = 8;
constexpr int FieldCount = 72; // 3 terms x 3 axes x 2 segments x 4 gain ranges

// One field of the coefficient reply in the probe's coding ("A" digit zero, "B" minus sign,
// "D" decimal point) read as a decimal number: blanks around it, a sign, digits with at most
// one decimal point. Anything else is not a number.
std::optional<float> CoeffField(const QByteArray& reply, int offset) {
    QByteArray text = reply.mid(offset, FieldWidth);
    for (char& c : text) {
        if (c == 'A')
            c = '0';
        else if (c == 'B')
            c = '-';
        else if (c == 'D')
            c = '.';
    }
    text = text.trimmed();
    int i = (!text.isEmpty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    int digits = 0, points = 0;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            ++digits;
        else if (text[i] == '.' && points == 0)
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    return float(text.toDouble());
}

} // namespace

int ClsZeta::ParseCoeff(const QByteArray& reply) {
    m_coeffText = reply;
    if (reply.size() != CoeffReplyLength) {
        message(platform::MsgIcon::None,
                QStringLiteral("Probe did not initialize properly.  Check battery and/or fiber "
                               "optic connection."));
        return 0;
    }
    m_gainWarned = false;

    // From position 3: a, b, p fastest, then axis, then segment, then gain range. Read into a
    // copy so that a reply refused half-way leaves the coefficients in use as they were.
    CoeffSet read{};
    for (int f = 0; f < FieldCount; ++f) {
        const std::optional<float> value = CoeffField(reply, 2 + FieldWidth * f);
        if (!value) {
            message(platform::MsgIcon::Information,
                    QStringLiteral("Error in initialing the probe.  Probe returned unrecognized "
                                   "character.  Check battery or fiber optic connections if this "
                                   "message continues."));
            return 0;
        }
        Coefficients& c = read[std::size_t(f / 3 % 3)][std::size_t(f / 18)][std::size_t(f / 9 % 2)];
        (f % 3 == 0 ? c.a : f % 3 == 1 ? c.b : c.p) = *value;
    }
    m_coeff = read;
    CalLookUpTable();
    return 1;
}

void ClsZeta::CalLookUpTable() {
    // Row 0 is never computed: a count of 0 reads 0 whatever the coefficients.
    for (int axis = 0; axis < 3; ++axis)
        for (int r = 1; r <= GainRanges; ++r)
            for (int c = 1; c <= TableCounts; ++c) {
                const Coefficients& k =
                    m_coeff[std::size_t(axis)][std::size_t(r - 1)][std::size_t(segment(r, c) - 1)];
                table(axis, c, r) = float(k.a + k.b * std::pow(double(c), double(k.p)));
            }
}

int ClsZeta::SetGainDim(int code) {
    switch (code) {
    case 0: return 1;
    case 1: return 2;
    case 16: return 3;
    case 255: return 4;
    }
    if (!m_gainWarned) {
        m_gainWarned = true;
        message(platform::MsgIcon::Information,
                QStringLiteral("Error 52 detected.  Please cycle probe power.  To prevent this "
                               "error from reoccurring switch to baud rate 9600."));
    }
    return 0;
}

std::optional<float> ClsZeta::tableAt(int axis, int count, int code) {
    const int r = SetGainDim(code);
    if (r == 0 || count < 0 || count > TableCounts) return std::nullopt;
    return table(axis, count, r);
}

std::optional<float> ClsZeta::direct(int axis, int count, int code) {
    const int r = SetGainDim(code);
    if (r == 0) return std::nullopt;
    if (count <= 0) return 0.0f; // as the table's row 0
    const Coefficients& k =
        m_coeff[std::size_t(axis)][std::size_t(r - 1)][std::size_t(segment(r, count) - 1)];
    const float v = float(k.a + k.b * std::pow(double(count), double(k.p)));
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<float> ClsZeta::CalculateFieldXYZ(const QString& axisName, float level,
                                                float count) const {
    int axis = -1;
    if (axisName == QLatin1String("X") || axisName == QLatin1String("X Lin"))
        axis = 0;
    else if (axisName == QLatin1String("Y") || axisName == QLatin1String("Y Lin"))
        axis = 1;
    else if (axisName == QLatin1String("Z") || axisName == QLatin1String("Z Lin"))
        axis = 2;
    if (axis < 0) return std::nullopt;

    int r = 0;
    if (level > 2000)
        r = 1;
    else if (level > 200)
        r = 2;
    else if (level > 8)
        r = 3;
    else if (level > 0)
        r = 4;
    if (r == 0 || !std::isfinite(count)) return std::nullopt; // also a level that is not a number

    const int c = probe::CInt(count);
    if (c < 0 || c > TableCounts) return std::nullopt;
    const float value = table(axis, c, r);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace measure

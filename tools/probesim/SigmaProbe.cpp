#include "tools/probesim/SigmaProbe.h"

#include <algorithm>
#include <cmath>

namespace probesim {

namespace {

const QByteArray Rejected = QByteArrayLiteral(":E\r");

// The command's digit 1..9, or 0 when the command is not letter + digit.
int DigitOf(const QByteArray& command, char letter) {
    if (command.size() != 2 || command.at(0) != letter) return 0;
    const char d = command.at(1);
    return (d >= '1' && d <= '9') ? d - '0' : 0;
}

} // namespace

SigmaProbe::SigmaProbe(const SigmaModel& model, const FieldPlan& plan)
    : m_model(model), m_plan(plan) {
    m_range = std::min(m_range, m_model.maxRange(m_units));
}

QByteArray SigmaProbe::answer(const QByteArray& command, double seconds) {
    if (command == "R") return ":R" + QByteArray::number(m_range) + "\r";
    if (const int n = DigitOf(command, 'R')) return selectRange(n);
    if (command == "RN") return selectRange(m_range % m_model.maxRange(m_units) + 1);
    if (command == "UN") {
        if (m_model.unitsCount < 2) return Rejected;
        return selectUnits(m_units % m_model.unitsCount + 1);
    }
    if (const int n = DigitOf(command, 'U')) return selectUnits(n);
    if (command.size() == 4 && command.at(0) == 'A') return setAxes(command.mid(1));
    if (command == "D2") return data(seconds);
    if (command == "B") return battery(seconds);
    if (command == "TC" || command == "TF") return temperature(command == "TF");
    if (command == "Z") return QByteArrayLiteral(":Z\r");
    if (command == "P1" || command == "P2") return QByteArrayLiteral(":P\r");
    if (command == QByteArray(1, '\0')) return QByteArrayLiteral(":N\r");
    return Rejected; // "I" among them: a Sigma probe has no identification
}

QByteArray SigmaProbe::selectRange(int range) {
    if (range > m_model.maxRange(m_units)) return Rejected;
    m_range = range;
    return ":R" + QByteArray::number(range) + "\r";
}

// A units change keeps the range, so units without the range in force refuse it (the host
// steps the range down first where a model needs it).
QByteArray SigmaProbe::selectUnits(int units) {
    if (units > m_model.unitsCount || m_range > m_model.maxRange(units)) return Rejected;
    m_units = units;
    return QByteArrayLiteral(":U\r");
}

QByteArray SigmaProbe::setAxes(const QByteArray& letters) {
    for (const char c : letters)
        if (c != 'E' && c != 'D') return Rejected;
    if (!m_model.singleAxis) m_axes = letters;
    return QByteArrayLiteral(":A\r");
}

QByteArray SigmaProbe::data(double seconds) const {
    const SigmaUnits& u = m_model.units[m_units - 1];
    const QByteArray code(u.codes[m_range - 1]);
    const QByteArray shownCode(u.shown);
    const bool sum = AddsUp(code);

    // Each enabled axis in the quantity reported and in the quantity shown; one axis is
    // reported as it is, several as their composite.
    double reported = 0.0;
    double shown = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        if (m_axes.at(axis) != 'E') continue;
        const double field = m_plan.fieldAt(axis, seconds);
        const double r = InQuantity(field, code);
        const double s = InQuantity(field, shownCode);
        reported += sum ? r : r * r;
        shown += sum ? s : s * s;
    }
    if (!sum) {
        reported = std::sqrt(reported);
        shown = std::sqrt(shown);
    }

    const double full = u.fullScale[m_range - 1];
    const int bar = int(std::lround(std::clamp(shown / full, 0.0, 1.0) * 255.0));
    QByteArray reply = ":D" + FitNumber(reported, 5) + code;
    reply += QByteArray::number(bar).rightJustified(3, '0');
    reply += shown > full ? 'O' : ' ';
    reply += m_plan.batteryLowAt(seconds) ? 'F' : 'N';
    reply += m_axes + "\r";
    return reply;
}

QByteArray SigmaProbe::battery(double seconds) const {
    const double volts = m_model.batteryEmpty + 0.006 * m_plan.batteryAt(seconds);
    return ":B" + FitNumber(volts, 5) + "\r";
}

// ":T", one blank, the whole degrees in three characters, the scale letter.
QByteArray SigmaProbe::temperature(bool fahrenheit) const {
    const double t = fahrenheit ? m_plan.temperatureC * 9.0 / 5.0 + 32.0 : m_plan.temperatureC;
    return ":T " + FitNumber(std::round(t), 3) + (fahrenheit ? "F\r" : "C\r");
}

} // namespace probesim

#include "tools/probesim/KappaProbe.h"

#include "tools/probesim/SigmaModels.h"

#include <cmath>

namespace probesim {

namespace {

const QByteArray Rejected = QByteArrayLiteral(":E\r");
const QByteArray CalibrationDate = QByteArrayLiteral("05172024"); // MMDDYYYY

} // namespace

KappaProbe::KappaProbe(const QString& model, const FieldPlan& plan)
    : m_model(model), m_plan(plan) {}

bool KappaProbe::IsModel(const QString& model) {
    return ModelNames().contains(model);
}

QStringList KappaProbe::ModelNames() {
    return {QStringLiteral("E310"), QStringLiteral("H420")};
}

// The model digits followed by a running number.
QByteArray KappaProbe::serialNumber() const {
    return m_model.mid(1).toLatin1() + "00127";
}

QByteArray KappaProbe::answer(const QByteArray& command, double seconds) {
    const QByteArray digits = m_model.mid(1).toLatin1();
    if (command == "I") return identification();
    if (command == "i") {
        // ":i", the model number, the software revision, the serial number, CR: 25.
        return ":i0" + digits + SoftwareRevision + serialNumber() + "\r";
    }
    if (command == "D1") return data(seconds);
    if (command == "B") {
        // The host shows (volts × 0.545 − 2.2) × 100 %.
        const double volts = (m_plan.batteryAt(seconds) / 100.0 + 2.2) / 0.545;
        return ":B" + FitNumber(volts, 5) + "\r";
    }
    if (command == "TC" || command == "TF") {
        const bool f = command == "TF";
        const double t = f ? m_plan.temperatureC * 9.0 / 5.0 + 32.0 : m_plan.temperatureC;
        return ":T " + FitNumber(std::round(t), 3) + (f ? "F\r" : "C\r");
    }
    if (command == "Z") return QByteArrayLiteral(":Z\r");
    return Rejected;
}

// ":I", "0" and the three model digits, the software revision, serial number, calibration
// date, battery flag, CR: 34 characters.
QByteArray KappaProbe::identification() const {
    return ":I0" + m_model.mid(1).toLatin1() + SoftwareRevision + serialNumber() + CalibrationDate +
           "N\r";
}

// ":D", the composite field in five characters, the units code, CR: 11 characters. The E310
// reads V/m, the H420 A/m.
QByteArray KappaProbe::data(double seconds) const {
    const QByteArray code = m_model.startsWith(u'E') ? " V " : " A ";
    double squares = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        const double v = InQuantity(m_plan.fieldAt(axis, seconds), code);
        squares += v * v;
    }
    return ":D" + FitNumber(std::sqrt(squares), 5) + code + "\r";
}

} // namespace probesim

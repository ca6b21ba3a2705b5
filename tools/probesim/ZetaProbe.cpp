#include "tools/probesim/ZetaProbe.h"

#include <algorithm>
#include <cmath>

namespace probesim {

namespace {

const QByteArray Rejected = QByteArrayLiteral(":E\r");
const QByteArray CalibrationDate = QByteArrayLiteral("03152023"); // MMDDYYYY
constexpr std::array<int, 5> Bauds{9600, 19200, 38400, 57600, 115200};
constexpr int StreamingBaud = 38400;

QByteArray Hex(int value, int digits) {
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0', true);
}

} // namespace

ZetaProbe::ZetaProbe(const QString& model, const FieldPlan& plan)
    : m_model(model), m_plan(plan), m_calibration(model) {}

bool ZetaProbe::IsModel(const QString& model) {
    return ModelNames().contains(model);
}

QStringList ZetaProbe::ModelNames() {
    return {QStringLiteral("PX-9100"), QStringLiteral("PX-9120"), QStringLiteral("PX-9130")};
}

QByteArray ZetaProbe::serialNumber() const {
    return m_model.mid(3).toLatin1() + "0417";
}

QByteArray ZetaProbe::answer(const QByteArray& command, double seconds) {
    if (command == "I") return identification(seconds);
    if (command == "M") return m_calibration.encodeReply();
    if (command == "S") {
        // At the high speeds a poll (re)starts the stream; its answer is the first record.
        m_streaming = m_baud >= StreamingBaud;
        return sample(seconds);
    }
    if (command == "BP") {
        const int percent = std::clamp(int(std::lround(m_plan.batteryAt(seconds))), 0, 100);
        return ":B" + Hex(percent, 2) + " \r";
    }
    if (command == "TC" || command == "TF") {
        const bool f = command == "TF";
        const double t = f ? m_plan.temperatureC * 9.0 / 5.0 + 32.0 : m_plan.temperatureC;
        return ":T" + FitNumber(t, 4) + (f ? "F\r" : "C\r");
    }
    if (command.size() == 2 && command.at(0) == 'F' && command.at(1) >= '1' && command.at(1) <= '5')
        return linkSpeed(command.at(1) - '0');
    if (command == "Z") return QByteArrayLiteral(":Z\r");
    if (command == "P1" || command == "P2") return QByteArrayLiteral(":P\r");
    if (command == QByteArray(1, '\0')) return QByteArrayLiteral(":N\r");
    return Rejected; // "R" among them: a Zeta probe has no ranges
}

// ":I", model digits, software revision, serial number, calibration date, battery flag, CR.
QByteArray ZetaProbe::identification(double seconds) const {
    return ":I" + m_model.mid(3).toLatin1() + SoftwareRevision + serialNumber() + CalibrationDate +
           (m_plan.batteryLowAt(seconds) ? "F" : "N") + "\r";
}

// Acknowledged at the old speed. From 38400 baud on, the first "S" at the new speed starts the
// stream of samples, and when the stream has stopped (the line fell quiet or changed) the next
// "S" starts it again.
QByteArray ZetaProbe::linkSpeed(int code) {
    m_baud = Bauds[code - 1];
    m_streaming = false;
    return ":F" + QByteArray::number(code) + "\r";
}

QByteArray ZetaProbe::sample(double seconds) const {
    QByteArray counts, gains;
    for (int axis = 0; axis < 3; ++axis) {
        const ZetaCalibration::Sample s = m_calibration.encode(axis, m_plan.fieldAt(axis, seconds));
        counts += Hex(s.count, 3);
        gains += Hex(s.gainCode, 2);
    }
    return ":S" + counts + gains + (m_plan.batteryLowAt(seconds) ? "F" : "N") + "\r";
}

} // namespace probesim

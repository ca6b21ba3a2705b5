#pragma once
// A Sigma probe: reports the field itself, in the units and range it has been put in, for the
// axes that are enabled.
#include "tools/probesim/SigmaModels.h"
#include "tools/probesim/VirtualProbe.h"

namespace probesim {

class SigmaProbe final : public VirtualProbe {
public:
    SigmaProbe(const SigmaModel& model, const FieldPlan& plan);

    QString model() const override { return QLatin1String(m_model.name); }
    QString family() const override { return QStringLiteral("Sigma"); }
    QByteArray answer(const QByteArray& command, double seconds) override;

    int units() const { return m_units; }
    int range() const { return m_range; }
    QByteArray axes() const { return m_axes; }

    // The "D2" reply: value, units code, bar, over-range and battery flags, axes.
    QByteArray data(double seconds) const;

private:
    QByteArray selectRange(int range);
    QByteArray selectUnits(int units);
    QByteArray setAxes(const QByteArray& letters);
    QByteArray battery(double seconds) const;
    QByteArray temperature(bool fahrenheit) const;

    const SigmaModel& m_model;
    FieldPlan m_plan;
    int m_units = 1;
    int m_range = 2;
    QByteArray m_axes = "EEE";
};

} // namespace probesim

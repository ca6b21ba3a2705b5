#pragma once
// A Kappa probe (E310 electric, H420 magnetic): identifies itself with "I" and "i" and reports
// the composite field in its one units with "D1".
#include "tools/probesim/VirtualProbe.h"

namespace probesim {

class KappaProbe final : public VirtualProbe {
public:
    KappaProbe(const QString& model, const FieldPlan& plan);

    QString model() const override { return m_model; }
    QString family() const override { return QStringLiteral("Kappa"); }
    QByteArray answer(const QByteArray& command, double seconds) override;

    static bool IsModel(const QString& model);
    static QStringList ModelNames();

    static constexpr const char* SoftwareRevision = "K2.14-0031";
    QByteArray serialNumber() const;

private:
    QByteArray identification() const; // "I", 34 characters
    QByteArray data(double seconds) const;

    QString m_model;
    FieldPlan m_plan;
};

} // namespace probesim

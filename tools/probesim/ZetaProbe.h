#pragma once
// A Zeta probe (PX-9100, PX-9120, PX-9130): reports raw detector counts with gain codes, hands
// out its calibration on "M", and after a link-speed change to 38400 baud or more streams its
// samples without being polled (an "S" at such a speed restarts a stopped stream).
#include "tools/probesim/VirtualProbe.h"
#include "tools/probesim/ZetaCalibration.h"

namespace probesim {

class ZetaProbe final : public VirtualProbe {
public:
    ZetaProbe(const QString& model, const FieldPlan& plan);

    QString model() const override { return m_model; }
    QString family() const override { return QStringLiteral("Zeta"); }
    QByteArray answer(const QByteArray& command, double seconds) override;

    int baud() const override { return m_baud; }
    bool streaming() const override { return m_streaming; }
    QByteArray streamRecord(double seconds) override { return sample(seconds); }
    void stopStreaming() override { m_streaming = false; }

    static bool IsModel(const QString& model);
    static QStringList ModelNames();

    // The revision that lets the host offer the high link speeds.
    static constexpr const char* SoftwareRevision = "073020030A";
    QByteArray serialNumber() const;
    const ZetaCalibration& calibration() const { return m_calibration; }

    // ":S", counts of X, Y, Z (3 hex digits each), gain codes (2 hex digits each), battery
    // flag ("F" low), CR: 19 characters.
    QByteArray sample(double seconds) const;

private:
    QByteArray identification(double seconds) const;
    QByteArray linkSpeed(int code);

    QString m_model;
    FieldPlan m_plan;
    ZetaCalibration m_calibration;
    int m_baud = 9600;
    bool m_streaming = false;
};

} // namespace probesim

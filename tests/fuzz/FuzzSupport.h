#pragma once
// What the fuzz targets share: a probe host that answers nothing and waits for nothing, and a
// clock that stands still.
#include "platform/Clock.h"
#include "probe/ProbeHost.h"

namespace fuzz {

class QuietHost : public probe::ProbeHost {
public:
    QByteArray AutoNextCmndS(const QByteArray&, const QByteArray&) override { return {}; }
    void ShowMessage(platform::MsgIcon, const QString&) override {}
    void Delay(double) override {}
    void SetProbeIdentity(const QString&, const QString&) override {}
    void SetProbeSoftRev(const QString&) override {}
};

class StillClock : public platform::Clock {
public:
    qint64 monotonicMs() const override { return 1000; }
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 6), QTime(12, 0)); }
    void delay(double) override {}
};

} // namespace fuzz

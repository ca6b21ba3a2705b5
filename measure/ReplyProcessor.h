#pragma once
// Every complete reply of the probe ends here, whichever front end polls it. ProcessData
// dispatches it by protocol state: Sigma and Kappa replies go through the session's parser
// (ProcessSigmaFormat), Zeta replies are read here and their samples turned into field strength
// by ClsZeta (ProcessZetaFormat). Each sample becomes one reading (UpdateVMSigma, UpdateVM),
// handed to the sink; what else a reply tells (units, range, battery, temperature, identity)
// goes to the front end's ReplyEvents.
#include "measure/ClsZeta.h"
#include "measure/Reading.h"
#include "platform/Clock.h"
#include "probe/PollingCycle.h"
#include "probe/ProbeHost.h"

#include <QByteArray>
#include <QString>

namespace measure {

// What a reply tells besides its readings. A front end overrides what it shows.
class ReplyEvents {
public:
    virtual ~ReplyEvents() = default;
    // A Sigma or Kappa reading changed these (probe::Chg... flags); called before its reading
    // goes out, so that the units and range it is shown in are already the new ones.
    virtual void ReadingChanges(int /*mask*/) {}
    // A Sigma range report: the range digit as the probe sent it.
    virtual void RangeReported(const QString& /*range*/) {}
    virtual void BatteryReported(int /*percent*/) {}
    virtual void TemperatureReported(const QString& /*text*/) {}
    virtual void CommandRefused(const QString& /*command*/) {}
    virtual void NonAsciiMode() {}
    // The low-battery flag of a Zeta sample or streamed record.
    virtual void BatteryFlag(bool /*low*/) {}
    // A Zeta identification reply began (the family is known); when it is whole, the identity
    // has been taken and `otherProbe` tells whether the serial number changed.
    virtual void ZetaFamilySeen() {}
    virtual void ZetaIdentified(bool /*otherProbe*/, bool /*batteryLow*/) {}
    // One streamed record was taken.
    virtual void RecordTaken() {}
};

class ReplyProcessor {
public:
    ReplyProcessor(probe::clsProbe& probe, ClsZeta& zeta, ReadingSink& sink,
                   probe::ProbeIdentity& identity, ReplyEvents& events, platform::Clock& clock);

    // The front end that hears what replies tell from now on.
    void SetEvents(ReplyEvents& events) { m_events = &events; }

    probe::ReplyTaken ProcessData(const QByteArray& reply);
    probe::ReplyTaken ProcessSigmaFormat(const QByteArray& reply);
    probe::ReplyTaken ProcessZetaFormat(const QByteArray& reply);
    // The reading of the sample just parsed, pushed on; returns the whole samples it closes.
    int UpdateVMSigma();
    void UpdateVM();
    // One streamed record of a Zeta probe.
    void SuperFast2(const QByteArray& record);

    // Battery percent of a field-reporting probe from its reported volts (clamped to 0..100).
    static int BatteryPercentOf(float volts, int protocolState, const QString& model);
    // The temperature readout: the value, a blank, the degree sign and C or F.
    static QString TemperatureText(float value, bool celsius);
    static QString TemperatureText(const QString& value, bool celsius);

    int BatteryPercent() const { return m_batteryPercent; } // last Zeta battery reading
    // Zeta samples shorter than a whole sample: counted, never read as a reading.
    int ShortSamples() const { return m_shortSamples; }

private:
    float dayFraction() const;
    void zetaIdentified(const QByteArray& reply);

    probe::clsProbe& m_probe;
    ClsZeta& m_zeta;
    ReadingSink& m_sink;
    probe::ProbeIdentity& m_identity;
    ReplyEvents* m_events;
    platform::Clock& m_clock;
    int m_batteryPercent = 0;
    int m_shortSamples = 0;
};

} // namespace measure

#pragma once
// The probe engine both front ends run on: the probe session (clsProbe), the Zeta computation,
// the polling cycle with its read timer, and the reading of every reply. It is the session's
// one host. A front end sends it typed commands (units, range, zero, axes, link speed, battery
// and temperature, sample rate) and hears from it through EngineEvents; every reading goes to
// the front end's ReadingSink. No front end builds a wire command.
#include "measure/ClsZeta.h"
#include "measure/Reading.h"
#include "measure/ReplyProcessor.h"
#include "measure/ZetaUnits.h"
#include "platform/Clock.h"
#include "platform/HiResTimer.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialComm.h"
#include "probe/LinkSpeeds.h"
#include "probe/PollingCycle.h"
#include "probe/ProbeHost.h"
#include "probe/clsProbe.h"

#include <functional>
#include <memory>

namespace engine {

// What the engine tells a front end; each front end overrides what it shows. The reply events
// (units, range, battery, temperature, identity, refusals) are measure::ReplyEvents.
class EngineEvents : public measure::ReplyEvents {
public:
    // A message for the user from the probe session.
    virtual void ShowMessage(platform::MsgIcon /*icon*/, const QString& /*text*/) {}
    // A complete reply was read (whatever it was).
    virtual void ReplyProcessed(const probe::ReplyTaken& /*taken*/) {}
    // The probe is lost (or the port could not be opened): what shows it goes blank.
    virtual void ClearDisplay() {}
    // Status-bar panel 1 (model) or 2 (link speed).
    virtual void SetStatusPanel(int /*panel*/, const QString& /*text*/) {}
    // The streaming speeds are no longer in force.
    virtual void UncheckHighSpeedEntries() {}
    // The port in use, 1..5; 0 none.
    virtual void CheckPortEntry(int /*port*/) {}
    virtual void ShowSampleRate(double /*perSecond*/) {}
    virtual void LowBatteryOff() {}
    // Streaming ended (true) or began (false).
    virtual void DisableHiSpeed(bool /*ended*/) {}
    // The line's health, every half second.
    virtual void ShowLineHealth(const probe::LineHealth& /*health*/) {}
    // A Zeta probe's zero reference was set (true) or cleared.
    virtual void ZeroReferenceChanged(bool /*on*/) {}
    // Automatic ranging was switched on or off (a fixed range asked for switches it off).
    virtual void AutoRangeChanged(bool /*on*/) {}
    // The probe is to be read axis by axis (true) or as a whole.
    virtual void MultiplexPreferenceChanged(bool /*axisByAxis*/) {}
};

// The communication modes of a field-reporting probe (the Comm menu's modes).
enum class CommMode { ARM, ASCII };

class ProbeEngine : private probe::ProbeHost, private probe::PollingView {
public:
    using TimerFactory = std::function<std::unique_ptr<platform::HiResTimer>()>;
    // The poll interval before the probe has told its own.
    static constexpr int FirstPollMs = 66;

    // `events` may be given later (SetEvents); until then nothing is told.
    ProbeEngine(platform::SerialComm& port, platform::Clock& clock, platform::MessageBoxes& boxes,
                const TimerFactory& timers, measure::ReadingSink& readings,
                EngineEvents* events = nullptr);
    void SetEvents(EngineEvents& events);
    ~ProbeEngine() override;

    // --- what the engine holds, read by the front ends --------------------------------------
    const probe::clsProbe& probe() const { return m_probe; }
    const measure::ClsZeta& zeta() const { return m_zeta; }
    const probe::PollingCycle& cycle() const { return *m_cycle; }
    const probe::ProbeIdentity& identity() const { return m_identity; }
    const measure::ReplyProcessor& replies() const { return *m_replies; }
    // The units the probe in service reads in, as shown and logged; empty while none is.
    QString UnitsText() const;
    // The session and cycle for set-up at start-up and for the program's tests.
    probe::clsProbe& session() { return m_probe; }
    measure::ClsZeta& zetaSession() { return m_zeta; }
    probe::PollingCycle& polling() { return *m_cycle; }
    platform::HiResTimer& HRTReadProbe() { return *m_readTimer; }
    platform::SerialComm& port() { return m_port; }

    // --- commands ---------------------------------------------------------------------------
    // The probe is looked for from the next poll on.
    void BeginSearch();
    // Opens the port for the first poll; false when it cannot be opened (the user is told).
    bool OpenPort(int portNo);
    // The read timer runs, when the port is open.
    void StartPolling();
    // The read timer stops, after the replies or records already on the line were read.
    void StopPolling();
    // The probe is left unasked and unread (a log plays in the window), or read again.
    void PausePolling(bool paused) { m_cycle->SetPaused(paused); }
    bool PollingPaused() const { return m_cycle->Paused(); }
    // All three: the link search starts with the next tick; false when the port cannot open.
    bool Start(int portNo);
    // The port menu's choice: the port is opened anew and the probe looked for on it.
    void SelectPort(int portNo);
    // The half-second tick: the sample rate and the line's health are counted.
    void HalfSecondTick();
    // Samples averaged per reading (the probe's and the Zeta computation's alike).
    void SetAveraging(int count);
    // The link speed the search settles on (a settings text, "9600,o,7,1").
    void SetPreferredSpeed(const QString& settings);
    void SetUseCelsius(bool celsius);
    // Replies are no longer answered at once (a probe that cannot keep up).
    void StopAutoNext();
    // Units 1..3 of a field-reporting probe, or the next of its units.
    void RequestUnits(int number);
    void StepUnits();
    // A Zeta probe's units (the computation changes, the probe is not asked).
    void SetZetaUnits(const measure::ZetaUnit& unit);
    // The units the next Zeta probe is read in, by ClsZeta's code (settings read at start-up).
    void SetZetaUnitsCode(int code) { m_zeta.SetUnits(code); }
    // A fixed range 1..5 (automatic ranging off), the next range, automatic ranging.
    void RequestRange(int range);
    void StepRange();
    void SetAutoRange(bool on);
    // The probe zeroes itself (Sigma, Kappa); a Zeta probe's zero reference is set or cleared.
    void Zero();
    void SetZeroReference(bool on);
    bool ZeroReferenceOn() const { return m_zeta.ZeroReferenceOn(); }
    void ClearPeaks();
    // Peaks and minima are held still (a log paused) or follow the readings again.
    void PausePeakHolds(bool paused);
    // The vertical-scale text chosen for the graph ("Auto" or a scale of the probe's tables).
    void SetGraphType(const QString& scaleText);
    void ToggleAxis(int axis);
    // Every sensor on again (a 3-axis read was ended).
    void AllSensorsOn();
    void SetMultiplexPreferred(bool axisByAxis);
    void SetCommMode(CommMode mode);
    // The "Corvane Probe" mode: the probe is looked for at the base speed in that mode.
    void SetARProbe(bool on);
    bool ARProbe() const { return m_arProbe; }
    // Battery and temperature asked of the probe in service, as its family asks.
    void RefreshBattTemp();
    // A polled link speed (entry 1 or 2 of the link speeds): asked with the next poll, the port
    // follows when the probe acknowledges.
    void RequestPolledSpeed(const probe::LinkSpeed& speed);
    // A streaming speed: asked at the base speed, the stream follows the acknowledgement.
    void RequestStreamingSpeed(const probe::LinkSpeed& speed);
    // Samples a second asked of the probe; "Max" answers every reply at once.
    void SetSampleRate(int perSecond);
    void SetMaxRate(bool max);

    // A complete reply, or a streamed record, as the polling cycle hands it on.
    probe::ReplyTaken ProcessData(const QByteArray& reply) override;
    void SuperFast2(const QByteArray& record) override;

private:
    // ProbeHost
    QByteArray AutoNextCmndS(const QByteArray& code, const QByteArray& reply) override;
    void ShowMessage(platform::MsgIcon icon, const QString& text) override;
    void Delay(double ms) override;
    void SetProbeIdentity(const QString& serialNo, const QString& calDate) override;
    void SetProbeSoftRev(const QString& softRev) override;
    // PollingView
    void ClearDisplay() override;
    void SetStatusPanel(int panel, const QString& text) override;
    void UncheckHighSpeedEntries() override { m_events->UncheckHighSpeedEntries(); }
    void CheckPortEntry(int port) override { m_events->CheckPortEntry(port); }
    void ShowSampleRate(double perSecond) override { m_events->ShowSampleRate(perSecond); }
    void LowBatteryOff() override { m_events->LowBatteryOff(); }
    bool ARProbeChecked() const override { return m_arProbe; }
    void DisableHiSpeed(bool ended) override { m_events->DisableHiSpeed(ended); }
    void ShowLineHealth(const probe::LineHealth& health) override;

    void queue(const QByteArray& command);

    platform::SerialComm& m_port;
    EngineEvents m_noEvents;
    EngineEvents* m_events;
    std::unique_ptr<platform::HiResTimer> m_readTimer;
    probe::ProbeIdentity m_identity;
    measure::ClsZeta m_zeta;
    probe::clsProbe m_probe;
    std::unique_ptr<probe::PollingCycle> m_cycle;
    std::unique_ptr<measure::ReplyProcessor> m_replies;
    bool m_arProbe = false;
};

} // namespace engine

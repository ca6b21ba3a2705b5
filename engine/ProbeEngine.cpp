#include "engine/ProbeEngine.h"

#include "probe/ReplyText.h"

namespace engine {

ProbeEngine::ProbeEngine(platform::SerialComm& port, platform::Clock& clock,
                         platform::MessageBoxes& boxes, const TimerFactory& timers,
                         measure::ReadingSink& readings, EngineEvents* events)
    : m_port(port), m_events(events ? events : &m_noEvents), m_readTimer(timers()),
      m_zeta(static_cast<probe::ProbeHost&>(*this)), m_probe(*this) {
    m_readTimer->setInterval(FirstPollMs);
    m_cycle = std::make_unique<probe::PollingCycle>(m_probe, m_port, *m_readTimer, clock, boxes,
                                                    static_cast<probe::PollingView&>(*this));
    m_replies = std::make_unique<measure::ReplyProcessor>(m_probe, m_zeta, readings, m_identity,
                                                          *m_events, clock);
}

void ProbeEngine::SetEvents(EngineEvents& events) {
    m_events = &events;
    m_replies->SetEvents(events);
}

ProbeEngine::~ProbeEngine() {
    // The timer and the port must not call into an engine that is going away.
    m_readTimer->setEnabled(false);
    m_port.setOnComm({});
}

void ProbeEngine::BeginSearch() {
    m_probe.SetTypeZeta(probe::StateIdentifying);
    m_probe.SetLostComm(1);
}

bool ProbeEngine::OpenPort(int portNo) {
    m_cycle->OpenCommPort(portNo);
    m_cycle->PrimeFirstPoll();
    return m_cycle->PortOpened();
}

void ProbeEngine::StartPolling() {
    if (m_cycle->PortOpened()) m_readTimer->setEnabled(true);
}

void ProbeEngine::StopPolling() {
    m_cycle->ReadWaiting();
    m_readTimer->setEnabled(false);
}

bool ProbeEngine::Start(int portNo) {
    m_cycle->Start(portNo);
    return m_cycle->PortOpened();
}

void ProbeEngine::SelectPort(int portNo) {
    m_cycle->SelectPort(portNo);
}

void ProbeEngine::HalfSecondTick() {
    m_cycle->CalSamPerSecTick();
}

void ProbeEngine::SetAveraging(int count) {
    m_zeta.SetAveraging(count);
    m_probe.SetAverage(count);
}

void ProbeEngine::SetPreferredSpeed(const QString& settings) {
    m_probe.SetBaudRatePerfered(settings);
}

void ProbeEngine::SetUseCelsius(bool celsius) {
    m_probe.SetUseCelsiusTemp(celsius ? 1 : 0);
}

void ProbeEngine::StopAutoNext() {
    m_cycle->StopAutoNext();
}

QString ProbeEngine::UnitsText() const {
    if (m_probe.LostComm() == 1 || m_probe.TypeZeta() == probe::StateIdentifying) return {};
    if (m_probe.TypeZeta() != probe::StateZeta) return m_probe.UnitsStr();
    const measure::ZetaUnit* unit = measure::ZetaUnitOfCode(m_zeta.Units());
    return unit ? unit->label : measure::ZetaUnits()[0].label;
}

// ---- commands ---------------------------------------------------------------------------------

void ProbeEngine::queue(const QByteArray& command) {
    m_probe.SetNextCmnd(command + probe::Cr);
}

void ProbeEngine::RequestUnits(int number) {
    queue("U" + QByteArray::number(number));
}

void ProbeEngine::StepUnits() {
    queue("UN");
}

void ProbeEngine::SetZetaUnits(const measure::ZetaUnit& unit) {
    m_zeta.SetUnits(unit.code);
    m_probe.UnitsNoZeta(unit.number);
}

void ProbeEngine::RequestRange(int range) {
    queue("R" + QByteArray::number(range));
    SetAutoRange(false);
}

void ProbeEngine::StepRange() {
    queue("RN");
}

void ProbeEngine::SetAutoRange(bool on) {
    m_probe.SetAutoRangeOn(on ? 1 : 0);
    m_events->AutoRangeChanged(on);
}

void ProbeEngine::Zero() {
    queue("Z");
}

void ProbeEngine::SetZeroReference(bool on) {
    if (on)
        m_zeta.SetRef();
    else
        m_zeta.ClearRef();
    m_events->ZeroReferenceChanged(on);
}

void ProbeEngine::ClearPeaks() {
    m_zeta.ClearMaxHold();
    m_probe.ClearMaxHold();
}

void ProbeEngine::PausePeakHolds(bool paused) {
    m_probe.PausePeakHold(paused ? 1 : 0);
    m_zeta.PausePeakHold(paused);
}

void ProbeEngine::SetGraphType(const QString& scaleText) {
    m_probe.SetGraphType(scaleText);
}

void ProbeEngine::ToggleAxis(int axis) {
    m_probe.ToggleAxis(axis);
}

void ProbeEngine::AllSensorsOn() {
    queue("AEEE");
}

void ProbeEngine::SetMultiplexPreferred(bool axisByAxis) {
    m_probe.SetMultiplexPrefered(axisByAxis ? 1 : 0);
    m_events->MultiplexPreferenceChanged(axisByAxis);
}

void ProbeEngine::SetCommMode(CommMode mode) {
    queue(mode == CommMode::ARM ? "P1" : "P2");
}

void ProbeEngine::SetARProbe(bool on) {
    m_arProbe = on;
    if (on) m_port.setSettings(probe::BaseSpeed().Settings());
    m_probe.SetStartARProbe(on ? 1 : 0);
}

void ProbeEngine::RefreshBattTemp() {
    switch (m_probe.TypeZeta()) {
    case probe::StateZeta: queue(m_probe.UseCelsiusTemp() == 1 ? "TC" : "TF"); break;
    case probe::StateSigma: queue("R"); break;
    case probe::StateKappa: queue("B"); break;
    default: break; // identifying: the probe is asked once it is in service
    }
}

void ProbeEngine::RequestPolledSpeed(const probe::LinkSpeed& speed) {
    m_probe.SetBaudRatePerfered(speed.Settings());
    queue(QByteArray(speed.ack).mid(1)); // "F1" .. "F5"
    m_probe.SetHighSpeedMode(0);
    m_cycle->CancelHighSpeed();
    m_port.setInputLen(0);
}

void ProbeEngine::RequestStreamingSpeed(const probe::LinkSpeed& speed) {
    m_cycle->RequestHighSpeed();
    m_probe.SetHighSpeedMode(10 + speed.entry - 3);
    m_port.setSettings(probe::BaseSpeed().Settings());
}

void ProbeEngine::SetSampleRate(int perSecond) {
    m_probe.SetSampleRate(perSecond);
}

void ProbeEngine::SetMaxRate(bool max) {
    m_cycle->SetMaxRate(max);
}

// ---- the probe session's requests -------------------------------------------------------------

QByteArray ProbeEngine::AutoNextCmndS(const QByteArray& code, const QByteArray& reply) {
    // The calibration reply of a Zeta probe becomes its field tables.
    if (code == ":M0") m_zeta.ParseCoeff(reply);
    return m_cycle->AutoNextCmndS(code);
}

void ProbeEngine::ShowMessage(platform::MsgIcon icon, const QString& text) {
    m_events->ShowMessage(icon, text);
}

// The probe settles (a Kappa probe after its software revision): the command chosen waits, the
// program runs on.
void ProbeEngine::Delay(double ms) {
    m_cycle->HoldNextCommand(ms);
}

void ProbeEngine::SetProbeIdentity(const QString& serialNo, const QString& calDate) {
    m_identity.SetSerialNo(serialNo);
    m_identity.SetCalDate(calDate);
}

void ProbeEngine::SetProbeSoftRev(const QString& softRev) {
    m_identity.SetSoftRev(softRev);
}

// ---- the polling cycle's requests -------------------------------------------------------------

probe::ReplyTaken ProbeEngine::ProcessData(const QByteArray& reply) {
    const probe::ReplyTaken taken = m_replies->ProcessData(reply);
    m_events->ReplyProcessed(taken);
    return taken;
}

void ProbeEngine::SuperFast2(const QByteArray& record) {
    m_replies->SuperFast2(record);
}

void ProbeEngine::ClearDisplay() {
    m_events->ClearDisplay();
    m_probe.SetLostComm(1);
}

void ProbeEngine::SetStatusPanel(int panel, const QString& text) {
    m_events->SetStatusPanel(panel, text);
}

void ProbeEngine::ShowLineHealth(const probe::LineHealth& health) {
    m_events->ShowLineHealth(health);
}

} // namespace engine

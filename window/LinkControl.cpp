#include "window/LinkControl.h"

#include "engine/ProbeEngine.h"
#include "probe/LinkSpeeds.h"
#include "probe/Readings.h"
#include "probe/Rounding.h"
#include "window/BatteryTemp.h"

#include <algorithm>

namespace window {

namespace {
const QString MaxRate = QStringLiteral("Max");
constexpr double MaxRatePlayMs = 14.0;
// Zeta probes: the rates of the list, and at the polled fast speed the coarser steps above them.
constexpr int ZetaTopRate = 35;
constexpr int ZetaTopRateFast = 44;
constexpr int ZetaFastSteps[] = {70, 63, 59, 56, 53, 51, 48, 46};
} // namespace

LinkControl::LinkControl(const LinkControls& controls, engine::ProbeEngine& engine,
                         files::Config& config, platform::HiResTimer& play, BatteryTemp& battery,
                         WindowShell& shell, std::function<void()> zetaSetUp)
    : m_ui(controls), m_engine(engine), m_config(config), HRTPlay(play), m_battery(battery),
      m_shell(shell), m_zetaSetUp(std::move(zetaSetUp)) {
    QObject::connect(m_ui.CmbSampleRate, &QComboBox::activated, [this] { CmbSampleRate_Click(); });
    for (int i = 1; i <= 5; ++i) {
        QObject::connect(m_ui.mnucommcomm[i], &QAction::triggered,
                         [this, i] { mnucommcomm_Click(i); });
        QObject::connect(m_ui.mnuCommBaud[i], &QAction::triggered,
                         [this, i] { mnuCommBaud_Click(i); });
    }
    QObject::connect(m_ui.mnuCommARProbe, &QAction::triggered, [this] { mnuCommARProbe_Click(); });
    QObject::connect(m_ui.mnuCommARM, &QAction::triggered, [this] { mnuCommARM_Click(); });
    QObject::connect(m_ui.mnuCommASCII, &QAction::triggered, [this] { mnuCommASCII_Click(); });
}

// ---- sample rate ------------------------------------------------------------------------------

void LinkControl::SetSampleRate(const QString& text) {
    m_samRateText = text;
    m_config.SampleRate = text;
    if (text == MaxRate) {
        // Every complete reply is answered at once, in the port's receive notification.
        m_engine.SetMaxRate(true);
        HRTPlay.setInterval(MaxRatePlayMs);
        return;
    }
    const double x = probe::Val(text);
    if (x <= 0) return;
    m_engine.SetSampleRate(probe::CInt(x));
    m_engine.SetMaxRate(false);
    HRTPlay.setInterval(1000.0 / x); // playback at the recording rate
}

void LinkControl::CmbSampleRate_Click() {
    SetSampleRate(m_ui.CmbSampleRate->currentText());
    m_shell.FocusCommand1();
}

void LinkControl::FillSampleRates(bool maxEntry) {
    QComboBox* box = m_ui.CmbSampleRate;
    box->clear();
    if (maxEntry) box->addItem(MaxRate);
    for (int rate = m_engine.probe().GetMaxSamRate(); rate >= 1; --rate)
        box->addItem(QString::number(rate));

    QString shown;
    if (m_engine.cycle().AutoNext()) {
        shown = m_engine.probe().TypeZeta() == probe::StateKappa ? QStringLiteral("3") : MaxRate;
    } else {
        // The rate in force is rounded to the nearest whole number and may come out one above
        // the fastest rate the list offers: the probe then runs at that fastest rate.
        shown = QString::number(
            std::min(m_engine.probe().SampleRate(), m_engine.probe().GetMaxSamRate()));
    }
    // A rate the list does not hold leaves the box as the clearing left it: empty.
    box->setCurrentIndex(box->findText(shown));
}

void LinkControl::FillZetaSampleRates() {
    QComboBox* box = m_ui.CmbSampleRate;
    box->clear();
    box->addItem(MaxRate);
    int top = ZetaTopRate;
    if (m_engine.probe().BaudRatePerfered() == probe::PolledFastSpeed().Settings()) {
        for (int rate : ZetaFastSteps)
            box->addItem(QString::number(rate));
        top = ZetaTopRateFast;
    }
    for (int rate = top; rate >= 1; --rate)
        box->addItem(QString::number(rate));

    QString shown = MaxRate;
    if (!m_engine.cycle().AutoNext()) {
        const int wanted = int(probe::Val(m_config.SampleRate));
        if (wanted <= m_engine.probe().GetMaxSamRate()) {
            if (wanted > ZetaTopRate) m_config.SampleRate = QString::number(ZetaTopRate);
            shown = m_config.SampleRate;
        } else {
            shown = QString::number(m_engine.probe().GetMaxSamRate());
        }
    }
    int index = box->findText(shown);
    if (index < 0 && shown != MaxRate) {
        // The fastest rate the link allows may fall between the list's steps (71 against 70 at
        // 19200 baud): the fastest entry not above it stands for it.
        const int limit = int(probe::Val(shown));
        for (int i = 1; i < box->count() && index < 0; ++i)
            if (box->itemText(i).toInt() <= limit) index = i;
    }
    if (index >= 0) box->setCurrentIndex(index);
}

// ---- ports and link speeds ----------------------------------------------------------------------

void LinkControl::DisableHiSpeed(bool enabled) {
    m_ui.CmbSampleRate->setEnabled(enabled);
    m_battery.SetUpdateNowEnabled(enabled);
    for (int i = 1; i <= 5; ++i)
        m_ui.mnucommcomm[i]->setEnabled(enabled);
    // The polled speeds stay on offer while streaming: they are the way back to polling.
    for (const probe::LinkSpeed& speed : probe::LinkSpeeds())
        m_ui.mnuCommBaud[std::size_t(speed.entry)]->setEnabled(enabled || !speed.streams);
}

void LinkControl::mnucommcomm_Click(int index) {
    m_engine.SelectPort(index);
}

void LinkControl::CheckPortEntry(int port) {
    for (int i = 1; i <= 5; ++i)
        m_ui.mnucommcomm[i]->setChecked(i == port);
}

// One speed is in force: its entry alone is ticked.
void LinkControl::tickSpeed(int entry) {
    for (int i = 1; i <= 5; ++i)
        m_ui.mnuCommBaud[i]->setChecked(i == entry);
}

void LinkControl::SetUpBaudMenu(const QString& baudRate) {
    const bool fast = baudRate == probe::PolledFastSpeed().Settings();
    tickSpeed(fast ? 2 : 1);
    // The streaming speeds are reached from the base speed only.
    if (fast) enableStreamingSpeeds(false);
}

void LinkControl::enableStreamingSpeeds(bool enabled) {
    for (const probe::LinkSpeed& speed : probe::LinkSpeeds())
        if (speed.streams) m_ui.mnuCommBaud[std::size_t(speed.entry)]->setEnabled(enabled);
}

// Back at a polled speed after a stream: the polled speed preferred is the one ticked.
void LinkControl::UncheckHighSpeedEntries() {
    tickSpeed(m_config.BaudRate == probe::PolledFastSpeed().Settings() ? 2 : 1);
}

// A change of link speed is a request: the next poll carries it to the probe, and the port
// follows when the probe acknowledges (PollingCycle::AutoNextCmndS).
void LinkControl::mnuCommBaud_Click(int index) {
    const probe::LinkSpeed* speed = probe::LinkSpeedOfEntry(index);
    if (!speed) return;
    const bool zeta = m_engine.probe().TypeZeta() == probe::StateZeta;
    if (index == 1) {
        m_config.BaudRate = speed->Settings();
        m_engine.RequestPolledSpeed(*speed);
        if (probe::RevisionStreams(m_engine.identity().SoftRev())) enableStreamingSpeeds(true);
        if (zeta) m_zetaSetUp();
    } else if (index == 2) {
        if (zeta) m_zetaSetUp();
        m_engine.SetPreferredSpeed(speed->Settings());
        m_config.BaudRate = speed->Settings();
        if (zeta) m_zetaSetUp(); // now with the new preference
        m_engine.RequestPolledSpeed(*speed);
        enableStreamingSpeeds(false);
    } else {
        // The probe is asked at the base speed; it acknowledges there and then changes speed.
        m_engine.RequestStreamingSpeed(*speed);
        m_shell.SetStatusPanel(2, probe::BaseSpeed().Label());
        DisableHiSpeed(false);
    }
    tickSpeed(index);
}

void LinkControl::ZetaIdentified(const QString& softwareRevision) {
    if (m_engine.port().settings() == probe::BaseSpeed().Settings() &&
        probe::RevisionStreams(softwareRevision))
        enableStreamingSpeeds(true);
}

void LinkControl::ProbeLost() {
    enableStreamingSpeeds(false);
    for (QAction* mode : {m_ui.mnuCommASCII, m_ui.mnuCommARM, m_ui.mnuCommARProbe})
        mode->setEnabled(true);
}

void LinkControl::ShowFamily(bool sigma) {
    m_ui.mnuCommBaud[2]->setEnabled(!sigma);
    for (QAction* mode : {m_ui.mnuCommASCII, m_ui.mnuCommARM, m_ui.mnuCommARProbe})
        mode->setEnabled(sigma);
}

// ---- communication modes ----------------------------------------------------------------------

void LinkControl::mnuCommARProbe_Click() {
    const bool on = !m_engine.ARProbe();
    m_ui.mnuCommARProbe->setChecked(on);
    if (on) {
        m_engine.SetARProbe(true);
        m_shell.SetStatusPanel(2, probe::BaseSpeed().Label());
        m_ui.mnuCommBaud[1]->setChecked(true);
        m_ui.mnuCommBaud[2]->setEnabled(false);
        m_ui.mnuCommBaud[2]->setChecked(false);
    } else {
        m_ui.mnuCommBaud[1]->setChecked(false);
        m_ui.mnuCommBaud[2]->setEnabled(true);
        m_engine.SetARProbe(false);
        const bool fast = m_config.BaudRate == probe::PolledFastSpeed().Settings();
        m_ui.mnuCommBaud[fast ? 2 : 1]->setChecked(true);
    }
}

void LinkControl::mnuCommARM_Click() {
    m_engine.SetCommMode(engine::CommMode::ARM);
}

void LinkControl::mnuCommASCII_Click() {
    m_engine.SetCommMode(engine::CommMode::ASCII);
}

void LinkControl::ShowLineHealth(const probe::LineHealth& health) {
    using Stage = probe::LineHealth::Stage;
    QString text;
    QString tip;
    if (health.stage == Stage::Identifying) {
        text = health.tooNoisy
                   ? QStringLiteral("Line too noisy to identify the probe, still trying")
                   : QStringLiteral("Identifying probe\u2026");
        if (health.steps > 0)
            text += QStringLiteral(" step %1 of %2, try %3")
                        .arg(health.step)
                        .arg(health.steps)
                        .arg(health.attempt);
    } else if (health.stage == Stage::Reading && health.percent >= 0) {
        text = QStringLiteral("Line %1 %").arg(health.percent);
        tip = QStringLiteral("Over the last minute: ") + probe::ReplyCounts(health);
    }
    QLabel* panel = m_ui.sbLineHealth;
    if (panel->text() != text) panel->setText(text);
    if (panel->toolTip() != tip) panel->setToolTip(tip);
    panel->setVisible(!text.isEmpty());
}

} // namespace window

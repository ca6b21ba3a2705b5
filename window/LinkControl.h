#pragma once
// The link of the main window: the sample-rate choice (SetSampleRate and the list
// CmbSampleRate, filled for the identified probe), the port entries "Comm &1".."Comm &5", the
// link-speed menu with its way to streaming (DisableHiSpeed), and the communication-mode menus.
#include "files/Config.h"
#include "platform/HiResTimer.h"
#include "probe/LineQuality.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

#include <QString>
#include <functional>

namespace engine {
class ProbeEngine;
}

namespace window {

class BatteryTemp;

class LinkControl {
public:
    // zetaSetUp fits the window to a Zeta probe again (its sample rates follow the link speed).
    LinkControl(const LinkControls& controls, engine::ProbeEngine& engine, files::Config& config,
                platform::HiResTimer& play, BatteryTemp& battery, WindowShell& shell,
                std::function<void()> zetaSetUp);

    // "Max" or a number of samples per second.
    void SetSampleRate(const QString& text);
    QString SamRateText() const { return m_samRateText; }
    void CmbSampleRate_Click();
    // The sample-rate list of a Sigma or Kappa probe: "Max" first when offered, then the
    // link's rates from the fastest; the rate in force is shown.
    void FillSampleRates(bool maxEntry);
    void ClearSampleRates() { m_ui.CmbSampleRate->clear(); }
    // The sample-rate list of a Zeta probe, by the link speed it prefers.
    void FillZetaSampleRates();

    void DisableHiSpeed(bool enabled);
    // The status bar's line panel: the identification under way, or how many replies of the
    // last minute came good, with the faults in its tooltip.
    void ShowLineHealth(const probe::LineHealth& health);
    void mnucommcomm_Click(int index);
    // Ticks the port entry 1..5 (0: none).
    void CheckPortEntry(int port);
    // The link-speed menu as the stored link settings leave it at start-up.
    void SetUpBaudMenu(const QString& baudRate);
    // "9&600 Baud" (1) .. "&115.2 kBaud" (5).
    void mnuCommBaud_Click(int index);
    void UncheckHighSpeedEntries();
    void mnuCommARProbe_Click(); // "Corvane Probe"
    void mnuCommARM_Click();     // "Set to Corvane"
    void mnuCommASCII_Click();   // "Set to ASCII"
    // A streamed record was taken.
    void RecordTaken() {
        if (!m_ui.LabInString->text().isEmpty()) m_ui.LabInString->clear();
    }

    // A Zeta probe identified itself: at the base speed, a probe whose software streams may be
    // switched to the streaming speeds.
    void ZetaIdentified(const QString& softwareRevision);
    // The probe is gone: no streaming speeds, every communication mode on offer.
    void ProbeLost();
    // The menus of the family in service: the Sigma family has communication modes, the Zeta
    // family the polled fast speed.
    void ShowFamily(bool sigma);

private:
    void tickSpeed(int entry);
    void enableStreamingSpeeds(bool enabled);

    LinkControls m_ui;
    engine::ProbeEngine& m_engine;
    files::Config& m_config;
    platform::HiResTimer& HRTPlay;
    BatteryTemp& m_battery;
    WindowShell& m_shell;
    std::function<void()> m_zetaSetUp;
    QString m_samRateText;
};

} // namespace window

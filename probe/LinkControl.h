#pragma once
// The sample-rate choice and the port menu of the main window: SetSampleRate and the list
// CmbSampleRate, DisableHiSpeed, the port entries "Comm &1".."Comm &5", and the start-up state
// of the link-speed menu.
#include <QString>

namespace app {
class frmMain;
}

namespace probe {

class LinkControl {
public:
    explicit LinkControl(app::frmMain& main);
    void connectControls();

    // "Max" or a number of samples per second.
    void SetSampleRate(const QString& text);
    void CmbSampleRate_Click();
    void DisableHiSpeed(bool enabled);
    void mnucommcomm_Click(int index);
    // Ticks the port entry 1..5 (0: none).
    void CheckPortEntry(int port);
    // The link-speed menu as the stored link settings leave it at start-up.
    void SetUpBaudMenu(const QString& baudRate);

    QString SamRateText;

private:
    app::frmMain& m_main;
};

} // namespace probe

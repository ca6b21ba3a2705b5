#pragma once
// The link of the main window: the sample-rate choice (SetSampleRate and the list
// CmbSampleRate), the port entries "Comm &1".."Comm &5", the link-speed menu and the streaming
// reader of the high speeds (SuperFast2, DisableHiSpeed), and the communication-mode menus.
#include <QByteArray>
#include <QString>

namespace app {
class frmMain;
}

namespace window {

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
    // "9&600 Baud" (1) .. "&115.2 kBaud" (5).
    void mnuCommBaud_Click(int index);
    void mnuCommARProbe_Click(); // "Corvane Probe"
    void mnuCommARM_Click();     // "Set to Corvane"
    void mnuCommASCII_Click();   // "Set to ASCII"
    // Takes the streamed records in the polling cycle's InString.
    void SuperFast2();
    // Streaming is over: a record begun is not finished.
    void StreamEnded();

    QString SamRateText;

private:
    void takeRecord(const QByteArray& record);
    app::frmMain& m_main;
    QByteArray m_streamCarry;
};

} // namespace window

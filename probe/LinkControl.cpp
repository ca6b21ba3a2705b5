#include "probe/LinkControl.h"

#include "app/frmMain.h"
#include "probe/Readings.h"
#include "probe/Rounding.h"

namespace probe {

namespace {
const QString MaxRate = QStringLiteral("Max");
const QString Link19200 = QStringLiteral("19200,o,7,1");
constexpr double MaxRatePlayMs = 14.0;
} // namespace

LinkControl::LinkControl(app::frmMain& main) : m_main(main) {}

void LinkControl::connectControls() {
    app::MainControls& ui = m_main.ui();
    QObject::connect(ui.CmbSampleRate, &QComboBox::activated, [this] { CmbSampleRate_Click(); });
    for (int i = 1; i <= 5; ++i)
        QObject::connect(ui.mnucommcomm[i], &QAction::triggered,
                         [this, i] { mnucommcomm_Click(i); });
}

void LinkControl::SetSampleRate(const QString& text) {
    PollingCycle& cycle = m_main.cycle();
    SamRateText = text;
    m_main.config().SampleRate = text;
    if (text == MaxRate) {
        // Every complete reply is answered at once, in the port's receive notification.
        cycle.AutoNext = true;
        cycle.EventReceive = 1;
        cycle.RespReceived = 0;
        m_main.HRTPlay().setInterval(MaxRatePlayMs);
        return;
    }
    const double x = Val(text);
    if (x <= 0) return;
    m_main.probe().SetSampleRate(CInt(x));
    cycle.EventReceive = 0;
    cycle.AutoNext = false;
    m_main.HRTPlay().setInterval(1000.0 / x); // playback at the recording rate
}

void LinkControl::CmbSampleRate_Click() {
    SetSampleRate(m_main.ui().CmbSampleRate->currentText());
    m_main.FocusCommand1();
}

void LinkControl::DisableHiSpeed(bool enabled) {
    app::MainControls& ui = m_main.ui();
    ui.CmbSampleRate->setEnabled(enabled);
    ui.mnuProbeUpdateNow->setEnabled(enabled);
    for (int i = 1; i <= 5; ++i) {
        ui.mnuCommBaud[i]->setEnabled(enabled);
        ui.mnucommcomm[i]->setEnabled(enabled);
    }
}

void LinkControl::mnucommcomm_Click(int index) {
    m_main.cycle().SelectPort(index);
}

void LinkControl::CheckPortEntry(int port) {
    for (int i = 1; i <= 5; ++i)
        m_main.ui().mnucommcomm[i]->setChecked(i == port);
}

void LinkControl::SetUpBaudMenu(const QString& baudRate) {
    auto& baud = m_main.ui().mnuCommBaud;
    const bool at19200 = baudRate == Link19200;
    for (int i = 1; i <= 5; ++i)
        baud[i]->setChecked(i == (at19200 ? 2 : 1));
    if (at19200) {
        // The high speeds are reached from 9600 baud only.
        for (int i = 3; i <= 5; ++i)
            baud[i]->setEnabled(false);
    }
}

} // namespace probe

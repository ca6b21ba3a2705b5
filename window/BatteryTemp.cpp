#include "window/BatteryTemp.h"

#include "app/frmMain.h"

#include <algorithm>

namespace window {

BatteryTemp::BatteryTemp(app::frmMain& main) : m_main(main) {}

void BatteryTemp::connectControls() {
    window::MainControls& ui = m_main.ui();
    QObject::connect(ui.mnuProbeUpdateNow, &QAction::triggered,
                     [this] { mnuProbeUpdateNow_Click(); });
    QObject::connect(ui.mnuProbeUpdateoff, &QAction::triggered, [this] { SetUpReadBattTemp(0); });
    QObject::connect(ui.mnuProbeUpdate5, &QAction::triggered, [this] { SetUpReadBattTemp(5); });
    QObject::connect(ui.mnuProbeUpdate30, &QAction::triggered, [this] { SetUpReadBattTemp(30); });
    QObject::connect(ui.mnuProbeUpdate60, &QAction::triggered, [this] { SetUpReadBattTemp(60); });
    QObject::connect(ui.mnuProbeTempCels, &QAction::triggered,
                     [this] { mnuProbeTempCels_Click(); });
    QObject::connect(ui.mnuProbeTempFahr, &QAction::triggered,
                     [this] { mnuProbeTempFahr_Click(); });
    QObject::connect(ui.LabTempLab, &platform::ClickLabel::clicked, [this] { LabTempLab_Click(); });
    m_main.HRTReadBattTemp().setInterval(TickMs);
    m_main.HRTReadBattTemp().setOnTimer([this] { HRTReadBattTemp_Timer(); });
}

void BatteryTemp::SetUpReadBattTemp(int minutes) {
    window::MainControls& ui = m_main.ui();
    platform::HiResTimer& timer = m_main.HRTReadBattTemp();
    timer.setInterval(TickMs);
    timer.setEnabled(true);
    for (QAction* entry :
         {ui.mnuProbeUpdateoff, ui.mnuProbeUpdate5, ui.mnuProbeUpdate30, ui.mnuProbeUpdate60})
        entry->setChecked(false);
    switch (minutes) {
    case 0:
        ui.mnuProbeUpdateoff->setChecked(true);
        timer.setEnabled(false);
        break;
    case 5: ui.mnuProbeUpdate5->setChecked(true); break;
    case 60: ui.mnuProbeUpdate60->setChecked(true); break;
    default:
        minutes = 30;
        ui.mnuProbeUpdate30->setChecked(true);
        break;
    }
    BattUpdateMinutes = minutes;
    m_main.config().BattUpdateMinutes = minutes;
}

// The request goes out on every (period + 1)-th minute. The count is kept across a change of
// period, so a count already past a shorter new period asks at the next minute instead of
// running on without end.
void BatteryTemp::HRTReadBattTemp_Timer() {
    if (BattMinuteCount < BattUpdateMinutes) {
        ++BattMinuteCount;
        return;
    }
    RefreshRequest();
    BattMinuteCount = 0;
}

void BatteryTemp::RefreshRequest() {
    probe::clsProbe& probe = m_main.probe();
    switch (probe.TypeZeta()) {
    case probe::StateZeta:
        probe.SetNextCmnd(probe.UseCelsiusTemp() == 1 ? QByteArrayLiteral("TC\r")
                                                      : QByteArrayLiteral("TF\r"));
        break;
    case probe::StateSigma: probe.SetNextCmnd(QByteArrayLiteral("R\r")); break;
    case probe::StateKappa: probe.SetNextCmnd(QByteArrayLiteral("B\r")); break;
    default: break; // identifying: the probe is asked once it is in service
    }
}

void BatteryTemp::LabTempLab_Click() {
    const int state = m_main.probe().TypeZeta();
    if (state == probe::StateZeta || state == probe::StateKappa) RefreshRequest();
}

void BatteryTemp::mnuProbeTempCels_Click() {
    setCelsius(true);
    RefreshRequest();
}

void BatteryTemp::mnuProbeTempFahr_Click() {
    setCelsius(false);
    RefreshRequest();
}

void BatteryTemp::setCelsius(bool celsius) {
    m_main.probe().SetUseCelsiusTemp(celsius ? 1 : 0);
    m_main.config().TemperatureCelsius = celsius ? 1 : 0;
    m_main.ui().mnuProbeTempCels->setChecked(celsius);
    m_main.ui().mnuProbeTempFahr->setChecked(!celsius);
}

platform::Colour BatteryTemp::gaugeColour() const {
    return (m_lowLevel || BattLowBlink == 1) ? WarningColour : NormalColour;
}

void BatteryTemp::BatteryLevel(int level) {
    m_lowLevel = level < LowLevel;
    if (m_lowLevel) level = LowLevelShown;
    level = std::min(level, 100); // the bar never reaches past its frame
    platform::Shape* bar = m_main.ui().ShapeBatLevel;
    const double height = level / 100.0 * GaugeFullHeight;
    const QRectF placed = platform::TwipsGeometry(bar);
    platform::SetTwipsGeometry(bar, placed.left(), GaugeBase - height, placed.width(), height);
    bar->setFillColor(gaugeColour());
    bar->update();
}

void BatteryTemp::BlinkTick() {
    QLabel* label = m_main.ui().LabBattery;
    if (BattLowBlink == 1) {
        if (m_blinkShown != 1) {
            m_main.ui().ShapeBatLevel->setFillColor(gaugeColour());
            m_blinkShown = 1;
        }
        label->setVisible(label->isHidden());
        return;
    }
    if (m_blinkShown != 2) {
        m_main.ui().ShapeBatLevel->setFillColor(gaugeColour());
        label->setVisible(true); // blinking may have stopped with the label hidden
        m_blinkShown = 2;
    }
}

void BatteryTemp::LowBatteryOff() {
    BattLowBlink = 0;
    m_lowLevel = false; // nothing is known of the next probe's battery
}

} // namespace window

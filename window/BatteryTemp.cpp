#include "window/BatteryTemp.h"

#include "engine/ProbeEngine.h"

#include <algorithm>

namespace window {

namespace {
// Where the gauge stands while nothing is known of the battery: empty, at the top of its frame.
constexpr double GaugeEmptyTop = 1200.0;
} // namespace

BatteryTemp::BatteryTemp(const BatteryControls& controls, engine::ProbeEngine& engine,
                         platform::HiResTimer& readBattTemp)
    : m_ui(controls), m_engine(engine), HRTReadBattTemp(readBattTemp) {
    QObject::connect(m_ui.mnuProbeUpdateNow, &QAction::triggered,
                     [this] { mnuProbeUpdateNow_Click(); });
    QObject::connect(m_ui.mnuProbeUpdateoff, &QAction::triggered, [this] { SetUpReadBattTemp(0); });
    QObject::connect(m_ui.mnuProbeUpdate5, &QAction::triggered, [this] { SetUpReadBattTemp(5); });
    QObject::connect(m_ui.mnuProbeUpdate30, &QAction::triggered, [this] { SetUpReadBattTemp(30); });
    QObject::connect(m_ui.mnuProbeUpdate60, &QAction::triggered, [this] { SetUpReadBattTemp(60); });
    QObject::connect(m_ui.mnuProbeTempCels, &QAction::triggered,
                     [this] { mnuProbeTempCels_Click(); });
    QObject::connect(m_ui.mnuProbeTempFahr, &QAction::triggered,
                     [this] { mnuProbeTempFahr_Click(); });
    QObject::connect(m_ui.LabTempLab, &platform::ClickLabel::clicked,
                     [this] { LabTempLab_Click(); });
    HRTReadBattTemp.setInterval(TickMs);
    HRTReadBattTemp.setOnTimer([this] { HRTReadBattTemp_Timer(); });
}

void BatteryTemp::SetUpReadBattTemp(int minutes) {
    HRTReadBattTemp.setInterval(TickMs);
    HRTReadBattTemp.setEnabled(true);
    for (QAction* entry : {m_ui.mnuProbeUpdateoff, m_ui.mnuProbeUpdate5, m_ui.mnuProbeUpdate30,
                           m_ui.mnuProbeUpdate60})
        entry->setChecked(false);
    switch (minutes) {
    case 0:
        m_ui.mnuProbeUpdateoff->setChecked(true);
        HRTReadBattTemp.setEnabled(false);
        break;
    case 5: m_ui.mnuProbeUpdate5->setChecked(true); break;
    case 60: m_ui.mnuProbeUpdate60->setChecked(true); break;
    default:
        minutes = 30;
        m_ui.mnuProbeUpdate30->setChecked(true);
        break;
    }
    m_updateMinutes = minutes;
}

// The request goes out on every (period + 1)-th minute. The count is kept across a change of
// period, so a count already past a shorter new period asks at the next minute instead of
// running on without end.
void BatteryTemp::HRTReadBattTemp_Timer() {
    if (m_minuteCount < m_updateMinutes) {
        ++m_minuteCount;
        return;
    }
    RefreshRequest();
    m_minuteCount = 0;
}

void BatteryTemp::RefreshRequest() {
    m_engine.RefreshBattTemp();
}

// The caption offers the refresh, so it refreshes for every family, as the menu entry does.
void BatteryTemp::LabTempLab_Click() {
    RefreshRequest();
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
    m_engine.SetUseCelsius(celsius);
    m_ui.mnuProbeTempCels->setChecked(celsius);
    m_ui.mnuProbeTempFahr->setChecked(!celsius);
}

void BatteryTemp::SetUpdateNowEnabled(bool enabled) {
    m_ui.mnuProbeUpdateNow->setEnabled(enabled);
}

platform::Colour BatteryTemp::gaugeColour() const {
    return (m_lowLevel || m_lowBlink) ? WarningColour : NormalColour;
}

void BatteryTemp::ShowBattery(int percent) {
    m_ui.LabBattery->setText(QString::number(percent) + QStringLiteral(" %"));
    BatteryLevel(percent);
}

void BatteryTemp::BatteryLevel(int level) {
    m_lowLevel = level < LowLevel;
    if (m_lowLevel) level = LowLevelShown;
    level = std::min(level, 100); // the bar never reaches past its frame
    platform::Shape* bar = m_ui.ShapeBatLevel;
    const double height = level / 100.0 * GaugeFullHeight;
    const QRectF placed = platform::TwipsGeometry(bar);
    platform::SetTwipsGeometry(bar, placed.left(), GaugeBase - height, placed.width(), height);
    bar->setFillColor(gaugeColour());
    bar->update();
}

void BatteryTemp::ShowTemperature(const QString& text) {
    m_ui.LabTemp->setText(text);
}

void BatteryTemp::ShowTemperatureCaption(bool shown) {
    m_ui.LabTempLab->setVisible(shown);
    if (!shown) m_ui.LabTemp->clear();
}

void BatteryTemp::BlinkTick() {
    QLabel* label = m_ui.LabBattery;
    if (m_lowBlink) {
        if (m_blinkShown != 1) {
            m_ui.ShapeBatLevel->setFillColor(gaugeColour());
            m_blinkShown = 1;
        }
        label->setVisible(label->isHidden());
        return;
    }
    if (m_blinkShown != 2) {
        m_ui.ShapeBatLevel->setFillColor(gaugeColour());
        label->setVisible(true); // blinking may have stopped with the label hidden
        m_blinkShown = 2;
    }
}

void BatteryTemp::LowBatteryOff() {
    m_lowBlink = false;
    m_lowLevel = false; // nothing is known of the next probe's battery
}

void BatteryTemp::Clear() {
    const QRectF gauge = platform::TwipsGeometry(m_ui.ShapeBatLevel);
    platform::SetTwipsGeometry(m_ui.ShapeBatLevel, gauge.left(), GaugeEmptyTop, gauge.width(), 0.0);
    m_ui.ShapeBatLevel->setFillColor(NormalColour);
    m_ui.LabBattery->clear();
    m_ui.LabBattery->setVisible(true);
    m_ui.LabTemp->clear();
}

} // namespace window

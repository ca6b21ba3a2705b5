#include "window/LimitMonitor.h"

#include <QLabel>
#include <cmath>

namespace window {

using measure::ExposureLevel;

namespace {

constexpr qint64 ShareRefreshMs = 200;

QString Minutes(int seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// "E/E lim", "H/H lim" or "(S/S lim)^½" as the reading's quantity has it.
QString RatioName(measure::Quantity quantity) {
    switch (quantity) {
    case measure::Quantity::H:
    case measure::Quantity::H2: return QStringLiteral("H/H lim");
    case measure::Quantity::S: return QStringLiteral("(S/S lim)") + QChar(0x00BD);
    default: return QStringLiteral("E/E lim");
    }
}

} // namespace

LimitMonitor::LimitMonitor(const LimitControls& controls, platform::HiResTimer& HRTLimit,
                           const platform::Clock& clock, platform::Beeper& beeper,
                           WindowShell& shell, measure::RecordTable& records,
                           std::function<void(bool)> panelShown)
    : m_ui(controls), m_timer(HRTLimit), m_clock(clock), m_beeper(beeper), m_shell(shell),
      m_records(records), m_panelShown(std::move(panelShown)) {
    m_timer.setInterval(1000);
    m_timer.setOnTimer([this] { HRTLimit_Timer(); });
    QObject::connect(m_ui.LabLimit, &platform::ClickLabel::clicked, [this] { Acknowledge(); });
    m_watch.Levels().SetListener(
        [this](const measure::ExposureEvent& event, bool ended) { eventChanged(event, ended); });
}

void LimitMonitor::SetSettings(const files::LimitSettings& settings) {
    const measure::LimitChoice& was = m_settings.choice;
    const measure::LimitChoice& now = settings.choice;
    const bool anew = settings.on != m_settings.on || now.standard != was.standard ||
                      now.population != was.population ||
                      now.mostRestrictive != was.mostRestrictive ||
                      (!now.mostRestrictive && now.frequencyMHz != was.frequencyMHz) ||
                      m_watch.Average().SecondsCovered() == 0;
    m_settings = settings;
    m_watch.Levels().SetSettings(settings.levels);
    if (anew) {
        m_watch.SetLimit(now);
    }
    const int window = measure::AveragingSeconds(now);
    const QString minutes =
        window % 60 == 0 ? QString::number(window / 60) : QString::number(window / 60.0, 'f', 1);
    m_ui.LabLimitAvgLab->setText(QStringLiteral("% of limit (%1 min)").arg(minutes));
    m_timer.setEnabled(settings.on);
    if (m_panelShown) m_panelShown(settings.on);
    if (m_records.Recording() != measure::RecordTable::Idle)
        m_records.SetLimitName(settings.on ? measure::LimitName(now) : QString());
    if (anew) {
        m_ui.LabLimit->setText(QString());
        showAverage();
    }
    showLevel();
}

void LimitMonitor::TakeReading(const measure::Reading& reading) {
    if (!m_settings.on || !reading.completesSample) return;
    const double value = reading.value[measure::Total];
    m_units = reading.units;
    m_watch.Take(m_clock.epochMs(), value, reading.units);
    const qint64 now = m_clock.monotonicMs();
    if (m_shownMs < 0 || now - m_shownMs >= ShareRefreshMs) {
        m_shownMs = now;
        showShare();
    }
}

void LimitMonitor::HRTLimit_Timer() {
    m_watch.Tick();
    showAverage();
}

void LimitMonitor::Acknowledge() {
    m_watch.Levels().Acknowledge();
    showLevel();
}

void LimitMonitor::LogStarted() {
    if (!m_settings.on) return;
    m_records.SetLimitName(measure::LimitName(m_settings.choice));
    for (const measure::ExposureEvent& event : m_watch.Levels().Events())
        if (event.endMs == 0) m_records.LogEvent(event);
}

void LimitMonitor::eventChanged(const measure::ExposureEvent& event, bool ended) {
    if (m_records.Recording() != measure::RecordTable::Idle) m_records.LogEvent(event);
    if (!ended) m_beeper.Beep();
    showLevel();
    // Outside a log the events are not kept: only those that last matter.
    if (ended && m_records.Recording() == measure::RecordTable::Idle &&
        m_watch.Levels().Shown() == ExposureLevel::None && m_watch.Levels().Events().size() > 100)
        m_watch.Levels().ClearEvents();
}

void LimitMonitor::showShare() {
    QString tip = measure::LimitName(m_settings.choice);
    if (const std::optional<measure::LimitShare>& share = m_watch.Share()) {
        const measure::Quantity quantity = measure::QuantityOfUnits(m_units).quantity;
        m_ui.LabLimit->setText(measure::ShareText(share->percent));
        tip += QStringLiteral("\n%1 = %2\nLimit: %3 %4")
                   .arg(RatioName(quantity))
                   .arg(share->fieldRatio, 0, 'f', 3)
                   .arg(QString::number(share->limit, 'g', 4), m_units);
    } else {
        m_ui.LabLimit->setText(NoLimitText);
        tip += measure::QuantityOfUnits(m_units).quantity == measure::Quantity::None
                   ? QStringLiteral("\nA reading in %1 has no exposure limit.").arg(m_units)
                   : QStringLiteral("\nThe standard gives no level at this frequency.");
    }
    m_tip = tip;
    showTip();
}

// A click acknowledges a level kept shown; otherwise it has nothing to do.
void LimitMonitor::showTip() {
    const bool kept = m_settings.levels.latch && m_watch.Levels().Shown() != ExposureLevel::None;
    if (kept)
        m_ui.LabLimit->setClickTip(m_tip + QStringLiteral("\nA click acknowledges the level."));
    m_ui.LabLimit->setClickable(kept, m_tip);
}

void LimitMonitor::showAverage() {
    const std::optional<double> averaged = m_watch.Average().Percent();
    m_ui.LabLimitAvg->setText(averaged ? measure::ShareText(*averaged) : QString());
    m_ui.LabLimitCovered->setText(QStringLiteral("over %1 of %2")
                                      .arg(Minutes(m_watch.Average().SecondsCovered()),
                                           Minutes(m_watch.Average().WindowSeconds())));
}

void LimitMonitor::showLevel() {
    const ExposureLevel level = m_settings.on ? m_watch.Levels().Shown() : ExposureLevel::None;
    showTip();
    if (level == m_levelShown) return;
    if (m_levelShown == ExposureLevel::None) m_normal = platform::ForeColor(m_ui.LabLimit);
    const platform::Colour colour = level == ExposureLevel::Alarm     ? Red
                                    : level == ExposureLevel::Warning ? Amber
                                                                      : m_normal;
    for (QLabel* label : {static_cast<QLabel*>(m_ui.LabLimit), m_ui.LabLimitAvg})
        platform::SetForeColor(label, colour);
    m_ui.ShaLimit->setBorderColor(level == ExposureLevel::None ? m_ui.ShaLimit->fillColor()
                                                               : colour);
    m_ui.ShaLimit->setBorderVisible(level != ExposureLevel::None);
    if (level != ExposureLevel::None) {
        // The value the level watches: the reading's share, or the average.
        const measure::LevelBasis basis = level == ExposureLevel::Alarm
                                              ? m_settings.levels.alarmBasis
                                              : m_settings.levels.warningBasis;
        const double percent = basis == measure::LevelBasis::Averaged
                                   ? m_watch.Average().Percent().value_or(0.0)
                                   : (m_watch.Share() ? m_watch.Share()->percent : 0.0);
        const QString text = LevelText.arg(
            level == ExposureLevel::Alarm ? QStringLiteral("Alarm") : QStringLiteral("Warning"),
            measure::ShareText(percent), measure::LimitName(m_settings.choice));
        m_ui.sbLimit->setText(level == ExposureLevel::Alarm ? QStringLiteral("ALARM")
                                                            : QStringLiteral("WARNING"));
        m_ui.sbLimit->setToolTip(text);
        m_shell.SetStatusPanel(1, text);
    } else if (m_levelShown != ExposureLevel::None) {
        m_shell.SetStatusPanel(1, BelowText);
    }
    m_ui.sbLimit->setStyleSheet(
        level == ExposureLevel::None
            ? QString()
            : QStringLiteral("color: black; background: %1; font-weight: bold;")
                  .arg(platform::ToQColor(colour).name()));
    m_ui.sbLimit->setVisible(level != ExposureLevel::None);
    m_levelShown = level;
}

} // namespace window

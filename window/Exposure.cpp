#include "window/Exposure.h"

#include <algorithm>

namespace window {

using measure::RecordTable;

Exposure::Exposure(const ExposureControls& controls, platform::HiResTimer& minAve,
                   platform::Clock& clock, platform::Beeper& beeper, measure::RecordTable& records,
                   const probe::PollingCycle& cycle, files::Config& config, DisplayTimers& timers,
                   Recorder& recorder)
    : m_ui(controls), HRTMinAve(minAve), m_clock(clock), m_beeper(beeper), m_records(records),
      m_cycle(cycle), m_config(config), m_timers(timers), m_recorder(recorder),
      m_average(timers.AveragePeriod()) {
    HRTMinAve.setInterval(TickMs);
    HRTMinAve.setOnTimer([this] { HRTMinAve_Timer(); });
}

void Exposure::TakeReading(const measure::Reading& reading) {
    if (!reading.completesSample) return;
    m_total = reading.value[measure::Total];
    m_peak = reading.peak;
}

void Exposure::StartWindow() {
    m_average.Start(m_timers.AveragePeriod());
    m_elapsed = 0;
    m_ticks = 0;
    m_periodDone = false;
    m_startMs = m_clock.monotonicMs();
    m_trim = Untrimmed;
    HRTMinAve.setInterval(TickMs);
    HRTMinAve.setEnabled(true);
    m_ui.LabMinAver->setText(QStringLiteral("Elasped Time"));
    m_ui.LabElasedTime->setText(ElapsedText(0));
    m_ui.LabExposure->setText(AverageText(0));
}

void Exposure::Stop() {
    HRTMinAve.setEnabled(false);
}

bool Exposure::SetMinuteAverTime(const QString& period) {
    if (!m_timers.SetMinuteAverTime(period)) return false;
    m_config.Exposure = period;
    // Slots of the old period would stay in the sum: the window starts afresh.
    if (m_records.Recording() == RecordTable::ExposureLogging &&
        m_timers.AveragePeriod() != m_average.Period())
        StartWindow();
    return true;
}

void Exposure::HRTMinAve_Timer() {
    const qint64 sinceStartMs = m_clock.monotonicMs() - m_startMs;
    if (m_records.Recording() == RecordTable::ExposurePaused) {
        // The wait is measured on the monotonic clock, so that it ends also past midnight.
        if (m_config.PeriodicIntervalEnabled == 1 &&
            sinceStartMs >= qint64(m_config.PeriodicInterval) * 60000)
            m_recorder.TogglePause();
        return;
    }
    if (m_records.Recording() != RecordTable::ExposureLogging) return;
    ++m_ticks;
    trimInterval();
    // A silent probe gives no total: the average and the time counted stand still.
    if (m_cycle.MissCount() != 0) return;

    ++m_elapsed;
    const double average = m_average.Take(m_total);
    m_ui.LabElasedTime->setText(ElapsedText(m_elapsed));
    m_ui.LabExposure->setText(AverageText(average));

    // A moving-average row: the total and the average in the first two value columns.
    measure::Reading row;
    row.dayFraction = float(m_clock.secondsSinceMidnight() / 86400.0);
    row.value = {m_total, float(average), 0.0f, 0.0f};
    row.peak = m_peak;
    if (m_records.Append(row)) {
        m_recorder.EndFullLog();
        return;
    }
    if (m_average.WindowFull()) windowEnded();
}

// Ticks that fall behind real time by more than a tenth of a second come faster, ticks ahead
// of it slower; a trim the other way first goes back to the plain second.
void Exposure::trimInterval() {
    const double counted = double(m_ticks);
    const double passed = double(m_clock.monotonicMs() - m_startMs) / 1000.0;
    if (counted + 0.1 < passed) {
        const bool back = m_trim == Slower;
        HRTMinAve.setInterval(back ? TickMs : FasterMs);
        m_trim = back ? Untrimmed : Faster;
    } else if (counted - 0.1 > passed) {
        const bool back = m_trim == Faster;
        HRTMinAve.setInterval(back ? TickMs : SlowerMs);
        m_trim = back ? Untrimmed : Slower;
    }
}

void Exposure::windowEnded() {
    m_beeper.Beep();
    m_periodDone = true;
    if (m_config.PeriodicIntervalEnabled == 1) m_recorder.TogglePause();
}

QString Exposure::AverageText(double average) {
    const int decimals = average < 1 ? 4 : average < 10 ? 3 : average < 100 ? 2 : 1;
    return QString::number(average, 'f', decimals);
}

QString Exposure::ElapsedText(int seconds) {
    const QChar zero(u'0');
    return QStringLiteral("%1.%2.%3")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

} // namespace window

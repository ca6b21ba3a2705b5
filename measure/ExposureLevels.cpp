#include "measure/ExposureLevels.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace measure {

void ExposureAverage::Start(int windowSeconds) {
    m_window = std::max(windowSeconds, 1);
    m_seconds.assign(std::size_t(m_window), 0.0);
    m_next = 0;
    m_filled = 0;
    m_sum = 0.0;
    m_pending = 0.0;
    m_pendingCount = 0;
}

void ExposureAverage::Add(double percent) {
    // A value that is not a number would stay in the sum for the whole window.
    if (std::isnan(percent)) return;
    m_pending += percent;
    ++m_pendingCount;
}

void ExposureAverage::Tick() {
    if (m_pendingCount == 0) return;
    const double second = m_pending / m_pendingCount;
    m_pending = 0.0;
    m_pendingCount = 0;
    if (m_seconds.empty()) m_seconds.assign(std::size_t(m_window), 0.0); // never started
    double& slot = m_seconds[std::size_t(m_next)];
    m_sum += second - (m_filled == m_window ? slot : 0.0);
    slot = second;
    m_filled = std::min(m_filled + 1, m_window);
    if (++m_next == m_window) {
        m_next = 0;
        // Taking seconds out of a running sum loses what a large second left in its last bits
        // (a minute at 1e6 % then hours at 1 %): once a window, add the seconds up afresh.
        m_sum = std::accumulate(m_seconds.begin(), m_seconds.begin() + m_filled, 0.0);
    }
}

std::optional<double> ExposureAverage::Percent() const {
    if (m_filled == 0) return std::nullopt;
    return std::max(m_sum / m_filled, 0.0);
}

int ExposureAverage::SecondsCovered() const {
    return m_filled;
}

void ExposureLevels::Update(qint64 epochMs, std::optional<double> instantPercent,
                            std::optional<double> averagedPercent, double value,
                            const QString& units) {
    for (const ExposureLevel level : {ExposureLevel::Warning, ExposureLevel::Alarm}) {
        const bool alarm = level == ExposureLevel::Alarm;
        const double threshold = alarm ? m_settings.alarmPercent : m_settings.warningPercent;
        const LevelBasis basis = alarm ? m_settings.alarmBasis : m_settings.warningBasis;
        const std::optional<double> percent =
            basis == LevelBasis::Averaged ? averagedPercent : instantPercent;
        if (!percent || std::isnan(*percent)) continue;

        State& s = state(level);
        if (!s.reached) {
            if (*percent < threshold) continue;
            s.reached = true;
            if (m_settings.latch) s.latched = true;
            s.event = int(m_events.size());
            m_events.push_back({level, epochMs, 0, *percent, value, units});
            // A copy: the listener may clear the events it is told of.
            if (m_listener) m_listener(ExposureEvent(m_events.back()), false);
        } else if (*percent < threshold - m_settings.hysteresis) {
            s.reached = false;
            if (s.event < 0) continue; // forgotten by ClearEvents while it lasted
            ExposureEvent& event = m_events[std::size_t(s.event)];
            s.event = -1;
            event.endMs = epochMs;
            if (m_listener) m_listener(ExposureEvent(event), true);
        } else if (s.event >= 0) {
            ExposureEvent& event = m_events[std::size_t(s.event)];
            if (*percent > event.peakPercent) {
                event.peakPercent = *percent;
                event.peakValue = value;
                event.units = units;
            }
        }
    }
}

ExposureLevel ExposureLevels::Shown() const {
    for (const ExposureLevel level : {ExposureLevel::Alarm, ExposureLevel::Warning}) {
        const State& s = state(level);
        if (s.reached || s.latched) return level;
    }
    return ExposureLevel::None;
}

bool ExposureLevels::Reached(ExposureLevel level) const {
    return level != ExposureLevel::None && state(level).reached;
}

void ExposureLevels::Acknowledge() {
    for (State& s : m_states)
        s.latched = false;
}

void ExposureLevels::ClearEvents() {
    m_events.clear();
    for (State& s : m_states)
        s.event = -1;
}

} // namespace measure

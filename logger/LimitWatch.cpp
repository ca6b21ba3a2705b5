#include "logger/LimitWatch.h"

#include "files/ExposureEvents.h"
#include "measure/ExposureLimits.h"

namespace logger {

LimitWatch::LimitWatch(const LoggerOptions& options, std::unique_ptr<platform::HiResTimer> second,
                       measure::ExposureLevels::EventListener listener)
    : m_choice(options.limit), m_name(measure::LimitName(options.limit)),
      m_second(std::move(second)) {
    m_average.Start(measure::AveragingSeconds(m_choice));
    measure::LevelSettings levels;
    levels.warningPercent = options.warnPercent;
    levels.alarmPercent = options.alarmPercent;
    levels.warningBasis = levels.alarmBasis = measure::LevelBasis::Instantaneous;
    levels.hysteresis = 5.0;
    levels.latch = false; // nobody acknowledges: a level shows for as long as it is reached
    m_levels.SetSettings(levels);
    m_levels.SetListener(std::move(listener));
    m_second->setInterval(1000);
    m_second->setOnTimer([this] { m_average.Tick(); });
}

void LimitWatch::Take(qint64 epochMs, double total, const QString& units) {
    const std::optional<measure::LimitShare> share = measure::ShareOfLimit(total, units, m_choice);
    m_percent = share ? std::optional<double>(share->percent) : std::nullopt;
    if (m_percent) m_average.Add(*m_percent);
    m_levels.Update(epochMs, m_percent, m_average.Percent(), total, units);
}

BesidePage LimitWatch::PageClosed(const QString& pagePath) {
    const std::vector<measure::ExposureEvent>& all = m_levels.Events();
    std::vector<std::size_t> page = m_lasting;
    for (std::size_t i = m_first; i < all.size(); ++i)
        page.push_back(i);
    std::vector<measure::ExposureEvent> events;
    m_lasting.clear();
    for (const std::size_t i : page) {
        events.push_back(all[i]);
        if (all[i].endMs == 0) m_lasting.push_back(i);
    }
    m_first = all.size();
    // With no level lasting nothing before this moment is needed again: over days of logging
    // the events are not all kept.
    if (m_lasting.empty()) {
        m_levels.ClearEvents();
        m_first = 0;
    }
    return {files::EventsFileName(pagePath), files::EventsFileText(m_name, events)};
}

} // namespace logger

#include "logger/LimitWatch.h"

#include "files/ExposureEvents.h"
#include "measure/ExposureLimits.h"

namespace logger {

LimitWatch::LimitWatch(const LoggerOptions& options, std::unique_ptr<platform::HiResTimer> second,
                       measure::ExposureLevels::EventListener listener)
    : m_name(measure::LimitName(options.limit)), m_second(std::move(second)) {
    m_watch.SetLimit(options.limit);
    measure::LevelSettings levels;
    levels.warningPercent = options.warnPercent;
    levels.alarmPercent = options.alarmPercent;
    levels.warningBasis = levels.alarmBasis = measure::LevelBasis::Instantaneous;
    levels.hysteresis = 5.0;
    levels.latch = false; // nobody acknowledges: a level shows for as long as it is reached
    m_watch.Levels().SetSettings(levels);
    m_watch.Levels().SetListener(std::move(listener));
    m_second->setInterval(1000);
    m_second->setOnTimer([this] { m_watch.Tick(); });
}

void LimitWatch::Take(qint64 epochMs, double total, const QString& units) {
    m_watch.Take(epochMs, total, units);
}

BesidePage LimitWatch::PageClosed(const QString& pagePath) {
    const std::vector<measure::ExposureEvent>& all = m_watch.Levels().Events();
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
        m_watch.Levels().ClearEvents();
        m_first = 0;
    }
    return {files::EventsFileName(pagePath), files::EventsFileText(m_name, events)};
}

} // namespace logger

#pragma once
// A limit watched: each whole sample's share of it, the share averaged over the standard's
// time, and the warning and alarm levels on both. The window and the logger watch through it.
#include "measure/ExposureLevels.h"
#include "measure/ExposureLimits.h"

namespace measure {

class ExposureWatch {
public:
    // The limit watched; its average starts afresh over the standard's averaging time.
    void SetLimit(const LimitChoice& choice) {
        m_choice = choice;
        m_share.reset();
        m_average.Start(AveragingSeconds(choice));
    }
    const LimitChoice& Limit() const { return m_choice; }
    // A whole sample's value in its units, taken at that moment (ms since 1970): its share of
    // the limit (none in units no limit applies to) goes into the average and the levels.
    // The share is known before the levels tell of a level reached by it.
    void Take(qint64 epochMs, double value, const QString& units) {
        m_share = ShareOfLimit(value, units, m_choice);
        if (m_share) m_average.Add(m_share->percent);
        m_levels.Update(epochMs, m_share ? std::optional<double>(m_share->percent) : std::nullopt,
                        m_average.Percent(), value, units);
    }
    // The last sample's share; none before one, or in units no limit applies to.
    const std::optional<LimitShare>& Share() const { return m_share; }
    // The one-second tick: the second closes in the average.
    void Tick() { m_average.Tick(); }
    const ExposureAverage& Average() const { return m_average; }
    ExposureLevels& Levels() { return m_levels; }
    const ExposureLevels& Levels() const { return m_levels; }

private:
    LimitChoice m_choice;
    std::optional<LimitShare> m_share;
    ExposureAverage m_average;
    ExposureLevels m_levels;
};

} // namespace measure

#include "measure/MovingAverage.h"

#include <algorithm>
#include <utility>

namespace measure {

namespace {
const std::array<std::pair<const char*, int>, 8> PeriodTable{{
    {"10 Second", 10},
    {"30 Second", 30},
    {"1 Minute", 60},
    {"3 Minute", 180},
    {"6 Minute", 360},
    {"10 Minute", 600},
    {"20 Minute", 1200},
    {"30 Minute", 1800},
}};
} // namespace

const QStringList& MovingAverage::Periods() {
    static const QStringList names = [] {
        QStringList list;
        for (const auto& [name, seconds] : PeriodTable)
            list << QString::fromLatin1(name);
        return list;
    }();
    return names;
}

int MovingAverage::PeriodSeconds(const QString& text) {
    for (const auto& [name, seconds] : PeriodTable)
        if (text == QLatin1String(name)) return seconds;
    return 0;
}

void MovingAverage::Start(int periodSeconds) {
    m_period = std::clamp(periodSeconds, 1, MaxPeriod);
    std::fill(m_slots.begin(), m_slots.end(), 0.0f);
    m_sum = 0;
    m_slot = 0;
}

double MovingAverage::Take(float total) {
    m_slot = m_slot < m_period ? m_slot + 1 : 1;
    float& slot = m_slots[std::size_t(m_slot)];
    m_sum -= slot;
    slot = total;
    m_sum += slot;
    return Average();
}

} // namespace measure

#include "probe/LineQuality.h"

namespace probe {

void LineQuality::Count(Outcome outcome) {
    ++m_slots[std::size_t(m_now)][std::size_t(outcome)];
}

void LineQuality::NextSecond() {
    m_now = (m_now + 1) % Seconds;
    m_slots[std::size_t(m_now)] = {};
}

int LineQuality::total(int kind) const {
    int sum = 0;
    for (const auto& slot : m_slots)
        sum += slot[std::size_t(kind)];
    return sum;
}

int LineQuality::Percent() const {
    const int good = Good() + Late() + Split();
    const int all = good + Missing() + Garbled();
    return all == 0 ? -1 : good * 100 / all;
}

QString ReplyCounts(const LineHealth& h) {
    return QStringLiteral("%1 replies good, %2 late, %3 split, %4 missing, %5 garbled")
        .arg(h.good)
        .arg(h.late)
        .arg(h.split)
        .arg(h.missing)
        .arg(h.garbled);
}

} // namespace probe

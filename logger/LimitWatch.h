#pragma once
// The exposure limit the logger watches (--limit): each whole sample's share of the limit, its
// average over the standard's averaging time (a second closed by a 1 s timer), and the warning
// and alarm levels on the instantaneous share. The levels reached while a page was open go
// into the events file beside it.
#include "logger/LogPages.h"
#include "logger/LoggerOptions.h"
#include "measure/ExposureWatch.h"
#include "platform/HiResTimer.h"

#include <memory>
#include <optional>
#include <vector>

namespace logger {

class LimitWatch {
public:
    // `second` closes the average's seconds; `listener` is told of each level reached and
    // cleared.
    LimitWatch(const LoggerOptions& options, std::unique_ptr<platform::HiResTimer> second,
               measure::ExposureLevels::EventListener listener);

    // The average's seconds close while running.
    void SetRunning(bool running) { m_second->setEnabled(running); }
    // A whole sample: its total in its units, taken at that time.
    void Take(qint64 epochMs, double total, const QString& units);
    // The last sample's share of the limit (none in units no limit applies to) and the
    // average (none before its first second closed).
    std::optional<double> Percent() const {
        const auto& share = m_watch.Share();
        return share ? std::optional<double>(share->percent) : std::nullopt;
    }
    std::optional<double> Averaged() const { return m_watch.Average().Percent(); }
    QString Name() const { return m_name; }

    // The events file of a page that closed: the levels reached while it was open and those
    // still lasting when it opened. The next page's events start here.
    BesidePage PageClosed(const QString& pagePath);

private:
    QString m_name;
    std::unique_ptr<platform::HiResTimer> m_second;
    measure::ExposureWatch m_watch;
    // The open page's events in m_watch.Levels().Events(): those lasting when it opened, and its
    // own from m_first on.
    std::vector<std::size_t> m_lasting;
    std::size_t m_first = 0;
};

} // namespace logger

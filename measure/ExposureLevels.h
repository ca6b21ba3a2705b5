#pragma once
// The exposure against the limit over time: the average the standards define (the mean of the
// power-equivalent share over their averaging time), and the warning and alarm levels with
// their hysteresis, latch and events.
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

namespace measure {

// The mean of the share of the limit (in power terms, so the mean of the squared field) over a
// sliding window of whole seconds. Each reading adds its share; each tick of a 1 s timer closes
// the second: the mean of its readings becomes one second of the window. A second without a
// reading (no probe) is left out, not counted as 0.
class ExposureAverage {
public:
    // An empty window of that many seconds (at least 1).
    void Start(int windowSeconds);
    void Add(double percent);
    void Tick();
    // The mean over the seconds in the window; none before the first second closed.
    std::optional<double> Percent() const;
    // Seconds in the window so far, at most WindowSeconds().
    int SecondsCovered() const;
    int WindowSeconds() const { return m_window; }

private:
    int m_window = 1;
    std::vector<double> m_seconds; // ring of closed seconds
    int m_next = 0;
    int m_filled = 0;
    double m_sum = 0.0;
    double m_pending = 0.0; // readings of the second not yet closed
    int m_pendingCount = 0;
};

enum class ExposureLevel { None = 0, Warning = 1, Alarm = 2 };
// Which value a level watches.
enum class LevelBasis { Instantaneous, Averaged };

struct LevelSettings {
    double warningPercent = 50.0;
    double alarmPercent = 100.0;
    LevelBasis warningBasis = LevelBasis::Instantaneous;
    LevelBasis alarmBasis = LevelBasis::Instantaneous;
    // A level clears only below its value less this many points.
    double hysteresis = 5.0;
    // A level reached stays shown until acknowledged, even once the exposure fell below it.
    bool latch = false;
};

// One time a level was reached: from the moment its value reached it to the moment it cleared
// (0 while it lasts), with the highest share and the reading's value at that moment.
struct ExposureEvent {
    ExposureLevel level = ExposureLevel::Warning;
    qint64 startMs = 0; // since 1970
    qint64 endMs = 0;
    double peakPercent = 0.0;
    double peakValue = 0.0;
    QString units;
};

// The warning and alarm levels. Each is reached when its value (instantaneous or averaged)
// is at or above it, and clears below it less the hysteresis; latched, it stays shown until
// Acknowledge clears the latch (a level still reached stays shown for as long as it is).
class ExposureLevels {
public:
    // Told of each event as it begins (ended false) and as it ends (ended true).
    using EventListener = std::function<void(const ExposureEvent& event, bool ended)>;

    void SetSettings(const LevelSettings& settings) { m_settings = settings; }
    const LevelSettings& Settings() const { return m_settings; }
    void SetListener(EventListener listener) { m_listener = std::move(listener); }

    // The values of one moment: the shares of the limit (none where no limit applies) and the
    // reading's value in its units.
    void Update(qint64 epochMs, std::optional<double> instantPercent,
                std::optional<double> averagedPercent, double value, const QString& units);
    // The highest level shown (reached, or latched and not acknowledged).
    ExposureLevel Shown() const;
    bool Reached(ExposureLevel level) const;
    void Acknowledge();
    // Every event so far, the ones still lasting with endMs 0; Clear forgets them (a new log).
    const std::vector<ExposureEvent>& Events() const { return m_events; }
    void ClearEvents();

private:
    struct State {
        bool reached = false;
        bool latched = false;
        int event = -1; // index in m_events of the event that lasts
    };
    State& state(ExposureLevel level) { return m_states[level == ExposureLevel::Alarm ? 1 : 0]; }
    const State& state(ExposureLevel level) const {
        return m_states[level == ExposureLevel::Alarm ? 1 : 0];
    }

    LevelSettings m_settings;
    EventListener m_listener;
    State m_states[2];
    std::vector<ExposureEvent> m_events;
};

} // namespace measure

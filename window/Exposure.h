#pragma once
// The human-exposure moving average. While a moving-average log runs, the one-second tick
// HRTMinAve puts the total of the latest reading into a window of one-second slots (10 s to
// 30 min), shows the average and the time counted, and logs the second as a row (time, total,
// average). The tick follows real time by trimming its interval to 980 or 1020 ms. At the end of
// each window it beeps; with periodic logging the log then pauses and starts a new window
// PeriodicInterval minutes after the last one began.
//
// Each tick does the same small work: one slot out of the running sum, one in (the sum is kept
// in double precision, so the average does not wander over a long log), two labels, one row.
#include "files/Config.h"
#include "measure/MovingAverage.h"
#include "measure/Reading.h"
#include "measure/RecordTable.h"
#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/HiResTimer.h"
#include "probe/PollingCycle.h"
#include "window/DisplayTimers.h"
#include "window/MainControls.h"
#include "window/Recorder.h"

#include <array>

namespace window {

class Exposure : public measure::ReadingSink {
public:
    static constexpr int MaxPeriod = measure::MovingAverage::MaxPeriod;
    static constexpr double TickMs = 1000, FasterMs = 980, SlowerMs = 1020;
    // How the tick's interval was last trimmed.
    enum TimerTrim : int { Untrimmed = 0, Faster = 1, Slower = 2 };

    // Gives HRTMinAve its handler. The period in force is the one of `timers`; the periodic
    // logging settings are read from `config` as each window ends and while the log waits.
    Exposure(const ExposureControls& controls, platform::HiResTimer& minAve, platform::Clock& clock,
             platform::Beeper& beeper, measure::RecordTable& records,
             const probe::PollingCycle& cycle, files::Config& config, DisplayTimers& timers,
             Recorder& recorder);

    // The latest reading's total and peak holds are what the next tick takes.
    void TakeReading(const measure::Reading& reading) override;
    // A moving-average log starts or resumes: an empty window from now, with the period in
    // force, and the tick running.
    void StartWindow();
    // The log ended: the tick stops.
    void Stop();
    void HRTMinAve_Timer();
    // A new averaging period ("6 Minute"), as the options apply it; a running moving-average
    // log starts a new window when the period changes. False (with the message) for a text
    // outside the period table, which leaves everything as it was.
    bool SetMinuteAverTime(const QString& period);

    double Average() const { return m_average.Average(); }
    int AveragePeriod() const { return m_average.Period(); }
    int AverageSlot() const { return m_average.Slot(); }
    int ExposureElapsed() const { return m_elapsed; }
    bool PeriodDone() const { return m_periodDone; }
    TimerTrim Trim() const { return m_trim; }

    // The average with 4 significant digits: "0.5000", "5.000", "50.00", "500.0".
    static QString AverageText(double average);
    // Hours, minutes and seconds: "1.05.09".
    static QString ElapsedText(int seconds);

private:
    void trimInterval();
    void windowEnded();

    ExposureControls m_ui;
    platform::HiResTimer& HRTMinAve;
    platform::Clock& m_clock;
    platform::Beeper& m_beeper;
    measure::RecordTable& m_records;
    const probe::PollingCycle& m_cycle;
    files::Config& m_config;
    DisplayTimers& m_timers;
    Recorder& m_recorder;

    measure::MovingAverage m_average;
    int m_elapsed = 0;    // seconds counted: ticks taken while the probe answered
    qint64 m_ticks = 0;   // every tick of the window, also those of a silent probe
    qint64 m_startMs = 0; // monotonic time the window began
    TimerTrim m_trim = Untrimmed;
    bool m_periodDone = false;
    float m_total = 0;
    measure::AxisValues m_peak{};
};

} // namespace window

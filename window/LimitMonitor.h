#pragma once
// The exposure against the limit chosen, beside the readouts: each reading's share of the
// limit ("% of limit", with the standard, the field ratio and the limit in its tooltip), the
// average the standard defines over its averaging time, updated each second by HRTLimit, and
// the warning and alarm levels. A level reached turns the readouts amber or red, names itself
// in a status-bar panel of its own (and once in the message panel) and beeps; a latched level stays
// until a click on the share acknowledges it. While a log runs, the limit and every level reached
// are kept with the log.
#include "files/LimitSettings.h"
#include "measure/ExposureWatch.h"
#include "measure/Reading.h"
#include "measure/RecordTable.h"
#include "platform/Beeper.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/HiResTimer.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

#include <functional>
#include <optional>

namespace window {

class LimitMonitor : public measure::ReadingSink {
public:
    static constexpr platform::Colour Amber = 0x00BFFF; // 0x00BBGGRR
    static constexpr platform::Colour Red = 0x4040FF;
    static inline const QString NoLimitText = QStringLiteral("no limit");
    // "Warning" or "Alarm", the share it watches, the limit's name.
    static inline const QString LevelText = QStringLiteral("%1: exposure at %2 of the limit (%3)");
    static inline const QString BelowText =
        QStringLiteral("Exposure below the warning level again");

    // panelShown shows or hides the panel (a limit chosen, or none).
    LimitMonitor(const LimitControls& controls, platform::HiResTimer& HRTLimit,
                 const platform::Clock& clock, platform::Beeper& beeper, WindowShell& shell,
                 measure::RecordTable& records, std::function<void(bool)> panelShown);

    // The limit and levels in force (from the settings at start-up, or the options' Apply): a
    // new limit or averaging time starts the average afresh.
    void SetSettings(const files::LimitSettings& settings);
    const files::LimitSettings& Settings() const { return m_settings; }

    void TakeReading(const measure::Reading& reading) override;
    // The one-second tick: the second closes in the average, and its readout follows.
    void HRTLimit_Timer();
    // A click on the share: latched levels clear once the exposure is below them.
    void Acknowledge();
    // A log started: it keeps the limit watched and any level reached at this moment.
    void LogStarted();

    std::optional<measure::LimitShare> Share() const { return m_watch.Share(); }
    std::optional<double> Averaged() const { return m_watch.Average().Percent(); }
    measure::ExposureLevel Shown() const { return m_watch.Levels().Shown(); }
    const measure::ExposureLevels& Levels() const { return m_watch.Levels(); }

private:
    void eventChanged(const measure::ExposureEvent& event, bool ended);
    void showShare();
    void showAverage();
    void showLevel();
    void showTip();

    LimitControls m_ui;
    platform::HiResTimer& m_timer;
    const platform::Clock& m_clock;
    platform::Beeper& m_beeper;
    WindowShell& m_shell;
    measure::RecordTable& m_records;
    std::function<void(bool)> m_panelShown;

    files::LimitSettings m_settings;
    measure::ExposureWatch m_watch;
    QString m_units;
    QString m_tip;         // the standard, the field ratio and the limit
    qint64 m_shownMs = -1; // when the share was last written
    measure::ExposureLevel m_levelShown = measure::ExposureLevel::None;
    platform::Colour m_normal = 0xFFFF00;
};

} // namespace window

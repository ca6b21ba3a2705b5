#include "window/DisplayTimers.h"

#include "probe/Rounding.h"

#include <array>
#include <utility>

namespace window {

DisplayTimers::DisplayTimers(platform::HiResTimer& upDateText, platform::MessageBoxes& boxes)
    : HRTUpDateText(upDateText), m_boxes(boxes) {
    HRTUpDateText.setOnTimer([this] { HRTUpDateText_Timer(); });
}

bool DisplayTimers::ConsumeTextUpdateDue() {
    const bool due = m_textUpdateDue;
    m_textUpdateDue = false;
    return due;
}

int DisplayTimers::SetTextUpdateTimer(int rate) {
    // A rate below one a second would leave the readouts standing; take it as one.
    const int asked = rate < 1 ? 1 : rate;
    int interval = probe::CInt(1000.0 / asked);
    int inForce = asked;
    if (interval < MinTextUpdateMs || asked > MaxTextUpdateRate) {
        interval = MinTextUpdateMs;
        inForce = MaxTextUpdateRate;
    }
    HRTUpDateText.setInterval(interval);
    HRTUpDateText.setEnabled(true);
    m_textUpdateRate = inForce;
    return inForce;
}

int DisplayTimers::PeriodSeconds(const QString& text) {
    static const std::array<std::pair<const char*, int>, 8> periods{{
        {"10 Second", 10},
        {"30 Second", 30},
        {"1 Minute", 60},
        {"3 Minute", 180},
        {"6 Minute", 360},
        {"10 Minute", 600},
        {"20 Minute", 1200},
        {"30 Minute", 1800},
    }};
    for (const auto& [name, seconds] : periods)
        if (text == QLatin1String(name)) return seconds;
    return 0;
}

bool DisplayTimers::SetMinuteAverTime(const QString& period) {
    const int seconds = PeriodSeconds(period);
    if (seconds == 0) {
        m_boxes.inform(platform::MsgIcon::None, QStringLiteral("Error in setting minute average."));
        return false;
    }
    m_averagePeriod = seconds;
    return true;
}

} // namespace window

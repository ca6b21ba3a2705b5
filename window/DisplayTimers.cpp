#include "window/DisplayTimers.h"

#include "measure/MovingAverage.h"

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
    return measure::MovingAverage::PeriodSeconds(text);
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

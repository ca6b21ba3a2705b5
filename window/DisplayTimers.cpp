#include "window/DisplayTimers.h"

#include "app/frmMain.h"
#include "probe/Rounding.h"

#include <array>
#include <utility>

namespace window {

DisplayTimers::DisplayTimers(app::frmMain& main) : m_main(main) {}

void DisplayTimers::connectControls() {
    m_main.HRTUpDateText().setOnTimer([this] { HRTUpDateText_Timer(); });
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
    platform::HiResTimer& timer = m_main.HRTUpDateText();
    timer.setInterval(interval);
    timer.setEnabled(true);
    TextUpdateRate = inForce;
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

bool DisplayTimers::SetMinuteAverTime() {
    const int seconds = PeriodSeconds(m_main.config().Exposure);
    if (seconds == 0) {
        m_main.services().boxes.inform(platform::MsgIcon::None,
                                       QStringLiteral("Error in setting minute average."));
        return false;
    }
    AveragePeriod = seconds;
    return true;
}

} // namespace window

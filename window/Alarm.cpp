#include "window/Alarm.h"

#include "platform/Controls.h"
#include "window/GraphControl.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <cmath>

namespace window {

Alarm::Alarm(const Controls& controls, files::Config& config, graph::clsGraph& graph,
             GraphControl& graphs, platform::UserDialogs& dialogs, platform::MessageBoxes& boxes,
             std::function<void()> beep)
    : m_ui(controls), m_config(config), m_graph(graph), m_graphs(graphs), m_dialogs(dialogs),
      m_boxes(boxes), m_beep(std::move(beep)) {
    QObject::connect(m_ui.mnuprobeAlarm, &QAction::triggered, m_ui.mnuprobeAlarm,
                     [this] { mnuprobeAlarm_Click(); });
    QObject::connect(m_ui.mnuprobeAlarmSet, &QAction::triggered, m_ui.mnuprobeAlarmSet,
                     [this] { mnuprobeAlarmSet_Click(); });
}

void Alarm::mnuprobeAlarm_Click() {
    m_config.AlarmEnable = AlarmOn() ? 0 : 1;
    ShowState();
    if (!AlarmOn()) show(false);
}

void Alarm::ShowState() {
    m_ui.mnuprobeAlarm->setChecked(AlarmOn());
}

bool Alarm::ParseLevel(const QString& text, float* level) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double v = trimmed.toDouble(&ok);
    if (!ok) v = QLocale().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(v) || v <= 0.0 || v > 3.4e38) return false;
    *level = float(v);
    return true;
}

void Alarm::mnuprobeAlarmSet_Click() {
    const std::optional<QString> answer =
        m_dialogs.inputBox(QStringLiteral("Enter alarm level."), QStringLiteral("Alarm Setting"),
                           QString::number(double(m_config.AlarmValue), 'g', 7));
    float level = 0;
    if (!answer || !ParseLevel(*answer, &level)) return;
    m_config.AlarmValue = level;
    m_ui.mnuprobeAlarmSet->setText(CaptionText + QString::number(double(level), 'g', 7));
    if (!AlarmOn() &&
        m_boxes.askYesNo(platform::MsgIcon::Question, QStringLiteral("Enable alarm now?"),
                         QStringLiteral("Alarm Enable"))) {
        m_config.AlarmEnable = 1;
        ShowState();
    }
    m_graph.SetMark1(level);
    // The new mark on the frame; what the sweep drew stays.
    m_graphs.RedrawFrame();
}

void Alarm::CheckAlarm(float total, bool probeLost) {
    const bool over = AlarmOn() && !probeLost && total > m_config.AlarmValue;
    if (over) m_beep();
    show(over);
}

void Alarm::show(bool sounding) {
    QLabel* total = m_ui.LabXYZField;
    constexpr platform::Colour AlarmRed = 0x3030FF;
    if (sounding && !m_sounding) {
        m_colourBefore = platform::ForeColor(total);
        m_tipBefore = total->toolTip();
        total->setToolTip(QStringLiteral("Above the alarm level of %1")
                              .arg(QString::number(double(m_config.AlarmValue), 'g', 7)));
    }
    // Again on every tick: a change of the text colour must not hide an alarm.
    if (sounding) platform::SetForeColor(total, AlarmRed);
    if (!sounding && m_sounding) {
        platform::SetForeColor(total, m_colourBefore);
        total->setToolTip(m_tipBefore);
    }
    m_sounding = sounding;
}

} // namespace window

#pragma once
// The alarm: a level in the units shown, switched on and off from the Probe menu, checked on
// every half-second tick against the total. Above the level the platform's beep sounds once a
// tick and the total readout turns red with the level in its tooltip, since a beep alone is
// easily missed; below it the readout is itself again. A lost probe sounds no alarm.
#include "files/Config.h"
#include "graph/clsGraph.h"
#include "platform/DrawSurface.h"
#include "platform/MessageBoxes.h"
#include "platform/UserDialogs.h"

#include <QString>
#include <functional>

class QAction;
class QLabel;

namespace window {

class GraphControl;

class Alarm {
public:
    struct Controls {
        QAction* mnuprobeAlarm;
        QAction* mnuprobeAlarmSet;
        QLabel* LabXYZField;
    };

    Alarm(const Controls& controls, files::Config& config, graph::clsGraph& graph,
          GraphControl& graphs, platform::UserDialogs& dialogs, platform::MessageBoxes& boxes,
          std::function<void()> beep);

    void mnuprobeAlarm_Click();
    void mnuprobeAlarmSet_Click();
    // The Probe menu's tick from the alarm's state (the settings read at start-up).
    void ShowState();
    // The half-second tick: the total against the level.
    void CheckAlarm(float total, bool probeLost);
    bool AlarmOn() const { return m_config.AlarmEnable != 0; }
    float AlarmLevel() const { return m_config.AlarmValue; }
    bool Sounding() const { return m_sounding; }

    // A level typed by the user: a finite number above 0 ("." or the locale's decimal sign).
    static bool ParseLevel(const QString& text, float* level);
    static inline const QString CaptionText = QStringLiteral("Set Alarm Value ...       Value = ");

private:
    void show(bool sounding);

    Controls m_ui;
    files::Config& m_config;
    graph::clsGraph& m_graph;
    GraphControl& m_graphs;
    platform::UserDialogs& m_dialogs;
    platform::MessageBoxes& m_boxes;
    std::function<void()> m_beep;
    bool m_sounding = false;
    platform::Colour m_colourBefore = 0;
    QString m_tipBefore;
};

} // namespace window

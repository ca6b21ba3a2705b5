#pragma once
// The options dialog: readout rate, sample averaging and the graph grid ("Misc"), the moving
// average and periodic logging ("Human Exposure"), the exposure limit ("Limits") and ten
// display colours ("Colors"). Nothing
// changes until Apply; Close keeps what was applied. The colour slots are kept between
// openings. Numbers typed are checked: one that is not a number, or out of its bounds, keeps
// the value in force and the field says so.
#include "files/Config.h"
#include "files/LimitSettings.h"
#include "graph/ClsBarGraph.h"
#include "graph/clsGraph.h"
#include "measure/ClsZeta.h"
#include "platform/UserDialogs.h"
#include "probe/clsProbe.h"
#include "window/MainControls.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace engine {
class ProbeEngine;
}

namespace window {

class BarGraphControl;
class DisplayTimers;
class LimitsTab;
class Exposure;
class GraphControl;
class MainLayout;
class Readouts;

class frmOptions : public QDialog {
public:
    // What Apply changes, and what the window does for it.
    struct Targets {
        files::Config& config;
        graph::clsGraph& graph;
        graph::ClsBarGraph& barGraph;
        GraphControl& graphs;
        BarGraphControl& bars;
        DisplayTimers& timers;
        Exposure& exposure;
        Readouts& readouts;
        MainLayout& layout;
        engine::ProbeEngine& engine;
        std::function<void()> reloadNotes;            // the note prompts read again (values kept)
        std::function<void()> editNotes;              // the prompts file opened in the editor
        std::function<void()> applyFormColours;       // boxes, surfaces, bars and form from Config
        std::function<files::LimitSettings()> limits; // the limit in force
        std::function<void(const files::LimitSettings&)> applyLimits; // a new one, kept
    };
    enum Slot { XAxis, YAxis, ZAxis, XYZ, Back, GridLines, Text, Box, Background, GridLinesMin };
    static constexpr int Slots = 10;
    static const std::array<platform::Colour, Slots> DefaultColours;
    // The moving-average periods offered.
    static const QStringList Periods;

    frmOptions(Targets targets, platform::UserDialogs& dialogs, QWidget* parent = nullptr);

    // Opening: the fields from the window's settings, the colour slots from what is shown.
    void Form_Load();
    void CmdApply_Click();
    void ListMinAver_Click();
    void CmbPeriod_Click();
    // The colour button of a slot: the colour dialog opened on the slot's colour.
    void SelectColor(int slot);
    void cmdDefaultColors_Click();
    platform::Colour SlotColour(int slot) const { return m_slots[std::size_t(slot)]; }

    QTabWidget* SSTab1;
    QLineEdit* TxtDisplayUpdate;
    QComboBox* CmbAveraging;
    QCheckBox* ChkHorizonalLines;
    QCheckBox* ChkMinDivOn;
    QPushButton* CmndEditPrompts;
    QListWidget* ListMinAver;
    QCheckBox* ChkPeriodic;
    QComboBox* CmbPeriod;
    QLabel* Label7;
    QLabel* Label1;
    QCheckBox* ChkMatchColorBar;
    std::array<QPushButton*, Slots> ColorButtons{};
    QPushButton* cmdDefaultColors;
    LimitsTab* Limits;
    QPushButton* CmdApply;
    QPushButton* cmdOK;

private:
    // A whole number typed in a field, within lo..hi; otherwise the field is marked and the
    // value in force stays.
    int bounded(QWidget* field, const QString& text, int lo, int hi, int inForce);
    void showSlot(int slot);

    Targets m_t;
    platform::UserDialogs& m_dialogs;
    std::array<platform::Colour, Slots> m_slots{};
    bool m_coloursChanged = false;
};

} // namespace window

#pragma once
// The main window under test: fake services (a manual clock with its timers, a scripted port,
// recorded message boxes, settings in memory, scripted modal dialogs) in a temporary data
// folder, a virtual probe behind the port, and ways to let time pass.
#include "app/frmMain.h"
#include "measure/Reading.h"
#include "platform/fake/CountingBeeper.h"
#include "platform/fake/ManualClock.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedDialogs.h"
#include "platform/fake/ScriptedModalRunner.h"
#include "platform/fake/ScriptedSerialComm.h"
#include "tools/probesim/VirtualProbe.h"

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace kit {

class NoChildProgram : public platform::ChildProgram {
public:
    QString startAndReadLine(const QString&, const QStringList&, int, QString* error) override {
        if (error) *error = QStringLiteral("no programs are started under test");
        return {};
    }
    void stop() override {}
};

struct RecordingSink : measure::ReadingSink {
    void TakeReading(const measure::Reading& reading) override { readings.append(reading); }
    QList<measure::Reading> readings;
};

// A virtual probe behind the scripted port, on the manual clock.
struct ProbeLine {
    ProbeLine() : startMs(clock.monotonicMs()) {}

    // The virtual probe of the model answers every command on the port from now on, at once,
    // with the field of plan (a constant 5, 8, 11 V/m by default), unless it is silent or
    // ignores the command.
    void useProbe(const QString& model, const probesim::FieldPlan& plan = DefaultPlan());
    static probesim::FieldPlan DefaultPlan();
    // Lets ms of time pass in steps: timers fire, port notifications are delivered and posted
    // events are served.
    void run(double ms, double step = 5);
    // Runs until done() holds (true) or maxMs have passed (false).
    bool runUntil(const std::function<bool()>& done, double maxMs = 20000);
    // The commands written to the port from the from-th on, without their carriage returns.
    QStringList sentSince(qsizetype from) const;

    platform::ManualClock clock;
    platform::ScriptedSerialComm port;
    platform::RecordingMessageBoxes boxes;
    std::unique_ptr<probesim::VirtualProbe> probe;
    bool silent = false;
    std::function<bool(const QByteArray& command)> ignores; // commands left unanswered
    QList<QPair<QByteArray, qint64>> sentAt; // each command the probe heard, and when
    qint64 startMs;
};

struct WindowRig : ProbeLine {
    WindowRig();

    // Writes `config` as the configuration file (unless writeConfig is false), builds the
    // window, runs its start-up and shows it (offscreen).
    app::frmMain& start();
    // Builds the window with its parts, without its start-up.
    app::frmMain& build();
    // Puts the virtual probe of the model on the port, starts the window and runs until the
    // probe is named and read, then settleMs on.
    app::frmMain& startOn(const QString& model, double settleMs = 1000);
    app::frmMain& window() { return *main; }
    // Closes the window (its shutdown runs) and forgets it.
    void close();

    platform::MemorySettingsStore settings;
    platform::PortTable ports{settings};
    platform::ScriptedModalRunner modal;
    NoChildProgram child;
    platform::ScriptedDialogs dialogs;
    platform::CountingBusyPointer busy;
    platform::CountingBeeper beeper;
    QTemporaryDir dir;
    platform::Services services;
    files::Config config;
    bool writeConfig = true;
    RecordingSink taken;                // the window's readings from startOn on
    std::unique_ptr<app::frmMain> main; // last: goes first
};

// Triggers the menu entry or clicks the label of that name, as the user would.
void Use(QObject& window, const QString& name);
QStringList Items(const QComboBox* box);
QStringList Texts(const QList<const QLabel*>& labels);
// '1' or '0' for each, in order.
QString Bits(std::initializer_list<bool> bits);
// '1' or '0' for each item, in order, as check tells (isEnabled, isChecked, isHidden, ...).
template <class T> QString Flags(std::initializer_list<T*> items, bool (T::*check)() const) {
    QString flags;
    for (T* item : items)
        flags += (item->*check)() ? u'1' : u'0';
    return flags;
}

} // namespace kit

#pragma once
// What the main window is given of the machine: the serial port, the timers, the clock, the
// message boxes, modal and user dialogs, the busy pointer, the beep, the per-user settings, the
// port table and other programs. main() hands it Qt realisations; tests hand it the doubles of
// platform/fake.
#include "platform/Beeper.h"
#include "platform/ChildProgram.h"
#include "platform/Clock.h"
#include "platform/HiResTimer.h"
#include "platform/MessageBoxes.h"
#include "platform/ModalRunner.h"
#include "platform/PortTable.h"
#include "platform/SerialComm.h"
#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"

#include <QString>
#include <functional>
#include <memory>

namespace platform {

struct Services {
    SerialComm& port;
    Clock& clock;
    MessageBoxes& boxes;
    SettingsStore& settings;
    PortTable& ports;
    ModalRunner& modal;
    ChildProgram& child;
    std::function<std::unique_ptr<HiResTimer>()> makeTimer;
    // The folder of the configuration and notes files.
    QString dataFolder;
    UserDialogs& dialogs;
    BusyPointer& busy;
    // The per-user folder of the running log's journal.
    QString journalFolder;
    Beeper& beeper;
};

} // namespace platform

#pragma once
// Saving the log: the "Test Conditions" asked for the header notes, the save dialog, and the
// pages written each through a file that replaces the old one only once it is whole.
#include "files/Config.h"
#include "files/HeaderNotes.h"
#include "measure/RecordTable.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/UserDialogs.h"
#include "window/WindowShell.h"

namespace app {

class LogSaver {
public:
    LogSaver(measure::RecordTable& table, files::Config& config, files::HeaderNotes& notes,
             window::WindowShell& shell, platform::UserDialogs& dialogs,
             platform::BusyPointer& busy, platform::MessageBoxes& boxes, platform::Clock& clock)
        : m_table(table), m_config(config), m_notes(notes), m_shell(shell), m_dialogs(dialogs),
          m_busy(busy), m_boxes(boxes), m_clock(clock) {}

    // "&Save as...": the notes' values, then the file; true when the log was written. Cancel
    // in a prompt or the dialog saves nothing (and a cancelled prompt changes no note).
    bool mnuFileSaveAs();
    // Writes the log in pages to name (page 1) and the names after it; false, with a message
    // naming the file and the reason, when a page could not be written.
    bool SaveData(const QString& name);
    // Before the rows of the log would go (a new log, erasing them, the window closing): a log
    // not saved is offered to be saved. False when the user chose to keep it (Cancel, or a save
    // that did not happen).
    bool MayDiscardLog();

    static inline const QString UnsavedText =
        QStringLiteral("The log of %1 rows has not been saved. Save it now?");

private:
    measure::RecordTable& m_table;
    files::Config& m_config;
    files::HeaderNotes& m_notes;
    window::WindowShell& m_shell;
    platform::UserDialogs& m_dialogs;
    platform::BusyPointer& m_busy;
    platform::MessageBoxes& m_boxes;
    platform::Clock& m_clock;
};

} // namespace app

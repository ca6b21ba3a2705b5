#pragma once
// What the user is asked in the system's own small windows: a line of text, a file to save to
// or to open, a colour, and whether work not yet saved is saved, discarded or kept; a text file
// opened in the user's editor; and the busy pointer over a long operation. Tests script the
// answers instead.
#include "platform/DrawSurface.h"

#include <QString>
#include <optional>

namespace platform {

enum class SaveChoice { Save, Discard, Cancel };

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // An input box with prompt, title and default text; nothing when cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // The save dialog: the file chosen (the user has agreed to replace an existing one), or
    // empty when cancelled. filter in Qt's form: "CSV Files (*.csv);;All Files (*)"; a name
    // typed without a suffix gets defaultSuffix.
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& fileName, const QString& filter,
                                 const QString& defaultSuffix) = 0;
    // The open dialog: the file chosen, or empty when cancelled.
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    // "Save", "Discard" or "Cancel" for work not yet saved.
    virtual SaveChoice askSaveDiscardCancel(const QString& text, const QString& title) = 0;
    // The colour dialog opened on current; nothing when cancelled or when it cannot be shown.
    virtual std::optional<Colour> chooseColour(Colour current, const QString& title) = 0;
    // Opens a text file in the user's editor without waiting; false when none could be started.
    virtual bool openInEditor(const QString& path) = 0;
};

// The hourglass over a long operation. Nested uses stack; BusyScope shows it for a scope.
class BusyPointer {
public:
    virtual ~BusyPointer() = default;
    virtual void begin() = 0;
    virtual void end() = 0;
};

class BusyScope {
public:
    explicit BusyScope(BusyPointer& pointer) : m_pointer(pointer) { m_pointer.begin(); }
    ~BusyScope() { m_pointer.end(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyPointer& m_pointer;
};

} // namespace platform

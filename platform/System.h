#pragma once
// The few calls into the operating system that Qt does not cover, each in its Unix and its
// Windows form: writing a file through to the disk, whether standard error is a terminal that
// can redraw its line, ending with the program that started this one, and the requests to stop
// that arrive from outside (Ctrl+C, a service manager, the console closing).
#include <QObject>
#include <functional>

class QFileDevice;

namespace platform {

// Hands what was written to the file on to the disk (fdatasync; FlushFileBuffers on Windows).
bool SyncToDisk(QFileDevice& file);

// Standard error is a terminal that understands "\r" and the erase-line sequence. On Windows
// the console is asked to take such sequences first; one that cannot counts as no terminal.
bool StderrIsTerminal();

// This process ends when the one that started it ends, even if that one was killed. Returns
// false when it cannot be arranged or the starter has already gone.
bool EndWithParent();

// Calls back on the user-interface thread, from the event loop, each time the process is asked
// to stop: SIGINT or SIGTERM on Unix; Ctrl+C, Ctrl+Break, the console closing or the session
// ending on Windows. Only one may exist at a time.
class StopRequests : public QObject {
    Q_OBJECT
public:
    explicit StopRequests(std::function<void()> onStop, QObject* parent = nullptr);
    ~StopRequests() override;
    bool listening() const { return m_listening; }

private:
    Q_INVOKABLE void arrived();
    struct Unix;

    std::function<void()> m_onStop;
    bool m_listening = false;
};

} // namespace platform

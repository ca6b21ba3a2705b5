#pragma once
// Another program started by this one and ended with it: the virtual probe that stands in for
// a real one.
#include <QString>
#include <QStringList>

namespace platform {

class ChildProgram {
public:
    virtual ~ChildProgram() = default;
    // Starts the program and waits (sleeping) until it has printed its first line, which is
    // returned without its line end. Empty, with a reason, when it did not start or said
    // nothing in time.
    virtual QString startAndReadLine(const QString& program, const QStringList& arguments,
                                     int timeoutMs, QString* error) = 0;
    // Asks the program to end, and ends it when it does not.
    virtual void stop() = 0;
};

} // namespace platform

#pragma once
// The far end of a serial line, where a virtual probe listens in place of a real one: a
// pseudo-terminal on Unix (PtyProbeLine), a link inside the program (LoopbackLink), which is
// what --simulate uses on Windows, where there are no pseudo-terminals, or one port of a
// null-modem pair (SerialProbeLine).
//
// The line only carries characters; pacing them at the speed of the line is the probe's part.
#include <QByteArray>
#include <QString>
#include <functional>

namespace platform {

class ProbeLine {
public:
    virtual ~ProbeLine() = default;

    // Makes the line available to the host under name(); opening an open line does nothing.
    virtual bool open(QString* error) = 0;
    // Takes the line away, as an unplugged probe does; the host's port sees it gone.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // What the host opens, and the device behind it.
    virtual QString name() const = 0;
    virtual QString deviceName() const { return name(); }

    // Everything the host sent and the probe has not read yet.
    virtual QByteArray readAll() = 0;
    // Writes what the line takes now; returns how many characters that was.
    virtual qint64 write(const QByteArray& data) = 0;
    // The speed the host set on its end; 0 when the line cannot tell.
    virtual int hostBaud() const = 0;
    // Characters written that the host has not read yet, as far as the line can tell.
    virtual qint64 unreadByHost() const = 0;
    // The probe now speaks at this speed (its replies so far are out). A line that carries the
    // host's speed to the probe has nothing to do.
    virtual void followBaud(int baud) { static_cast<void>(baud); }

    // Called when the host sent something, and, while watched, when the line can take more.
    void setOnReadable(std::function<void()> handler) { m_onReadable = std::move(handler); }
    void setOnWritable(std::function<void()> handler) { m_onWritable = std::move(handler); }
    virtual void watchWritable(bool watch) = 0;

protected:
    void readable() {
        if (m_onReadable) m_onReadable();
    }
    void writable() {
        if (m_onWritable) m_onWritable();
    }

private:
    std::function<void()> m_onReadable;
    std::function<void()> m_onWritable;
};

} // namespace platform

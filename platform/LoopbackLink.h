#pragma once
// A serial line inside the program: the host's end is a SerialComm, the probe's end a
// ProbeLine, and what one end writes arrives at the other from the event loop, as it would
// from a device. It carries the line settings the host asks for (7 data bits and odd parity
// included) and tells the probe the host's speed. Closing the probe's end is an unplugged
// probe: the host's port is lost and reopens by itself once the probe's end is open again, at
// most once per ReopenIntervalMs, as a real port does.
//
// Whichever port number the host opens, it reaches this line.
#include "platform/ProbeLine.h"
#include "platform/SerialComm.h"

#include <QElapsedTimer>
#include <QObject>
#include <memory>

namespace platform {

class LoopbackLink : public QObject {
    Q_OBJECT
public:
    static constexpr int ReopenIntervalMs = 1000;

    explicit LoopbackLink(const QString& name, QObject* parent = nullptr);
    ~LoopbackLink() override;

    SerialComm& hostPort();
    // The probe's end, once, for the probe to keep; either end may outlive the other.
    std::unique_ptr<ProbeLine> takeProbeLine();

private:
    class HostPort;
    class ProbeEnd;
    std::shared_ptr<HostPort> m_host;
    std::unique_ptr<ProbeEnd> m_probe;
};

} // namespace platform

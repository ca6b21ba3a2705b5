#pragma once
// A virtual probe inside the program, on a LoopbackLink: the host's serial component is the
// link's end, and the probe is served from the same event loop. This is --simulate where the
// system has no pseudo-terminals (Windows); the probe takes the options of varnex-probesim.
#include "platform/LoopbackLink.h"
#include "tools/probesim/LineServer.h"

#include <memory>

namespace probesim {

class InProcessProbe {
public:
    // nullptr with the reason when the options make no sense or name no model.
    static std::unique_ptr<InProcessProbe> Start(const QStringList& probeArguments, QString* error);

    platform::SerialComm& port() { return m_link.hostPort(); }
    LineServer& server() { return *m_server; }
    // What the program shows as the port's name.
    QString lineName() const { return m_server->lineName(); }

private:
    explicit InProcessProbe(const QString& name) : m_link(name) {}
    platform::LoopbackLink m_link;
    std::unique_ptr<LineServer> m_server;
};

} // namespace probesim

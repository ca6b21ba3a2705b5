#pragma once
// One host on one virtual probe, in this process: the host's real serial port on a
// pseudo-terminal (or the in-process link, the only line on Windows), the polling cycle and the
// probe session, the line server sharing the event loop as the program shares it with a probe
// on a line.
#include "platform/LoopbackLink.h"
#include "platform/PortTable.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/SystemSerial.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "probe/PollingCycle.h"
#include "tests/support/ProbeKit.h"
#include "tools/probesim/LineServer.h"

#include <QElapsedTimer>
#include <QTest>

namespace kit {

enum class Link { Pty, InProcess };
#ifdef Q_OS_WIN
inline constexpr Link SystemLink = Link::InProcess;
#else
inline constexpr Link SystemLink = Link::Pty;
#endif

// In a constant field of (3, 4, 12).
struct Line {
    explicit Line(const QString& probeModel, const probesim::Faults& faults = {},
                  Link kind = SystemLink)
        : model(probeModel), server(probesim::CreateProbe(model, Constant(3, 4, 12)), faults),
          link(QStringLiteral("virtual probe")), ports(store),
          systemPort(kind == Link::Pty ? platform::CreateSystemSerialComm(ports) : nullptr),
          port(systemPort ? *systemPort : link.hostPort()), s(host), view(s),
          cycle(s, port, timer, clock, boxes, view) {
        QString error;
        started = kind == Link::Pty ? server.start(QString(), &error)
                                    : server.start(link.takeProbeLine(), &error);
        if (!started) qWarning() << error;
        ports.setRunOverride(1, server.lineName());
    }
    // Named, characterised and in touch.
    bool identified(int timeoutMs = 20000) {
        QElapsedTimer waited; // QTest::qWait serves the line server's events while it waits
        for (waited.start(); waited.elapsed() < timeoutMs; QTest::qWait(20))
            if (s.LostComm() == 0 && s.GetModel() == model && s.InitState() == 0) return true;
        return false;
    }
    bool inService() {
        cycle.Start(1);
        return started && identified();
    }
    // Replies that became readings (of a Zeta probe, its samples) since the mark.
    QList<QByteArray> dataSince(qsizetype mark) const { return view.readings.mid(mark); }

    QString model;
    probesim::LineServer server;
    platform::LoopbackLink link;
    platform::MemorySettingsStore store;
    platform::PortTable ports;
    std::unique_ptr<platform::SerialComm> systemPort;
    platform::SerialComm& port;
    platform::QtHiResTimer timer;
    platform::QtClock clock;
    platform::RecordingMessageBoxes boxes;
    RecordingHost host;
    probe::clsProbe s;
    RecordingView view;
    probe::PollingCycle cycle;
    bool started = false;
};

} // namespace kit

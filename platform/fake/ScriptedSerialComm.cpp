#include "platform/fake/ScriptedSerialComm.h"

#include <QtGlobal>

namespace platform {

bool ScriptedSerialComm::setSettings(const QString& settings) {
    m_settingsHistory.append(settings);
    if (m_settingsFails) return false;
    storeSettings(settings);
    return true;
}

bool ScriptedSerialComm::setPortOpen(bool open, QString* error) {
    m_open = false;
    if (!open) return true;
    const int portNo = commPort();
    m_openHistory.append(portNo);
    if (m_failingPorts.contains(portNo)) {
        if (error) *error = QStringLiteral("Port %1 cannot be opened (scripted).").arg(portNo);
        return false;
    }
    if (error) error->clear();
    m_open = true;
    return true;
}

void ScriptedSerialComm::output(const QByteArray& data) {
    m_written.append(data);
    releaseHeld();
    if (!m_responder) return;
    QByteArray reply = m_responder(data);
    if (reply.isEmpty()) return;
    const Delivery plan = m_plans.isEmpty() ? Delivery::Whole : m_plans.takeFirst();
    switch (plan) {
    case Delivery::Whole: receive(reply); break;
    case Delivery::Split: {
        const qsizetype half = reply.size() / 2;
        m_held += reply.mid(half);
        receive(reply.left(half));
        break;
    }
    case Delivery::Garbled:
        reply.replace(0, qMin<qsizetype>(2, reply.size()), QByteArray("??").left(reply.size()));
        receive(reply);
        break;
    case Delivery::Late: m_held += reply; break;
    case Delivery::Dropped: break;
    }
}

void ScriptedSerialComm::receive(const QByteArray& data) {
    if (data.isEmpty()) return;
    m_buffer += data;
    charactersArrived();
}

void ScriptedSerialComm::releaseHeld() {
    const QByteArray held = m_held;
    m_held.clear();
    receive(held);
}

void ScriptedSerialComm::deliverNotifications() {
    if (m_deliveryDepth > 0) {
        // Like an event loop served from inside a handler: what is pending now is delivered
        // once, what that schedules waits for the outer loop.
        if (!m_pending) return;
        m_pending = false;
        ++m_deliveryDepth;
        deliverNotification();
        --m_deliveryDepth;
        return;
    }
    // A handler that is notified without end would hang the test; stop after a number of
    // rounds no real exchange comes near.
    constexpr int MaxRounds = 10000;
    ++m_deliveryDepth;
    int rounds = 0;
    while (m_pending && rounds++ < MaxRounds) {
        m_pending = false;
        deliverNotification();
    }
    --m_deliveryDepth;
    if (m_pending) qWarning("ScriptedSerialComm: notifications did not stop coming");
}

QByteArray ScriptedSerialComm::takeBuffered(qint64 maxCount) {
    const QByteArray taken = m_buffer.left(maxCount);
    m_buffer.remove(0, taken.size());
    return taken;
}

} // namespace platform

#pragma once
// A serial component for tests: the test plays the probe.
//
// Every output() is recorded; a responder, when set, answers each command, and the answer is
// put on the line according to the delivery planned for it. Characters the test sends itself
// arrive with receive().
//
// As with the real port, OnComm notifications never arrive from inside receive() or output():
// they are only marked pending, and deliverNotifications() hands them out the way the event
// loop would. Called from inside an OnComm handler (as a delay that serves events would), it
// makes one pass and does not re-enter that handler.
//
// Opening and closing do not touch the characters on the line, and output()/receive() work
// whether the port is open or not; tests that care check portOpen().
#include "platform/SerialComm.h"

#include <QList>
#include <QSet>
#include <QString>
#include <functional>

namespace platform {

class ScriptedSerialComm : public SerialComm {
public:
    // How the next reply reaches the line:
    //  Whole   - all of it now;
    //  Split   - the first half now, the rest with the next output() or releaseHeld();
    //  Garbled - all of it now, the first two characters replaced by "??";
    //  Late    - all of it with the next output() (just before that command's own reply) or
    //            releaseHeld();
    //  Dropped - none of it.
    enum class Delivery { Whole, Split, Garbled, Late, Dropped };
    using Responder = std::function<QByteArray(const QByteArray& command)>;

    bool setSettings(const QString& settings) override;
    bool portOpen() const override { return m_open; }
    bool setPortOpen(bool open, QString* error = nullptr) override;
    void output(const QByteArray& data) override;

    // Scripting the port.
    void setSettingsFails(bool fails) { m_settingsFails = fails; }
    void setFailingPorts(const QSet<int>& ports) { m_failingPorts = ports; }
    // An empty reply from the responder means the probe does not answer.
    void setResponder(Responder responder) { m_responder = std::move(responder); }
    // Queues the delivery of the next reply (first planned, first used; Whole when none is).
    // A command that gets no reply leaves the plan for the next one that does.
    void planNext(Delivery delivery) { m_plans.append(delivery); }
    int plannedCount() const { return m_plans.size(); }
    // Characters arrive now.
    void receive(const QByteArray& data);
    // Characters held back by Split or Late arrive now.
    void releaseHeld();
    QByteArray held() const { return m_held; }

    // What the code under test did.
    QStringList settingsHistory() const { return m_settingsHistory; }
    QList<int> openHistory() const { return m_openHistory; }
    QList<QByteArray> written() const { return m_written; }
    QByteArray lastWritten() const { return m_written.isEmpty() ? QByteArray() : m_written.last(); }
    void clearWritten() { m_written.clear(); }
    qint64 buffered() const { return m_buffer.size(); }

    // Notifications.
    bool notificationPending() const { return m_pending; }
    void deliverNotifications();
    int notificationCount() const { return onCommCalls(); }

protected:
    qint64 bufferedCount() const override { return m_buffer.size(); }
    QByteArray takeBuffered(qint64 maxCount) override;
    void scheduleNotification() override { m_pending = true; }

private:
    Responder m_responder;
    QList<Delivery> m_plans;
    QByteArray m_buffer;
    QByteArray m_held;
    QStringList m_settingsHistory;
    QList<int> m_openHistory;
    QList<QByteArray> m_written;
    QSet<int> m_failingPorts;
    bool m_settingsFails = false;
    bool m_open = false;
    bool m_pending = false;
    int m_deliveryDepth = 0;
};

} // namespace platform

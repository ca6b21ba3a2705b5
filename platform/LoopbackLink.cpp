#include "platform/LoopbackLink.h"

#include <QPointer>

namespace platform {

class LoopbackLink::HostPort : public QObject, public SerialComm {
public:
    void attach(LoopbackLink::ProbeEnd* probe) { m_probe = probe; }

    bool setSettings(const QString& settings) override {
        LineSettings line;
        if (!LineSettings::parse(settings, &line)) return false;
        storeSettings(settings);
        m_baud = line.baud;
        return true;
    }
    bool portOpen() const override { return m_open && !m_lost; }
    bool setPortOpen(bool open, QString* error) override;
    void output(const QByteArray& data) override;

    int baud() const { return m_baud; }
    // From the probe's end.
    void arrived(const QByteArray& data) {
        if (!portOpen()) return; // nobody listens: the characters are gone
        m_buffer += data;
        charactersArrived();
    }
    void probeGone() {
        if (!portOpen()) return;
        m_lost = true;
        m_buffer.clear();
        setCommEvent(CommEvError);
        m_sinceReopenTry.start();
    }
    qint64 unread() const { return m_buffer.size(); }

protected:
    qint64 bufferedCount() const override { return m_buffer.size(); }
    QByteArray takeBuffered(qint64 maxCount) override {
        QByteArray data = m_buffer.left(maxCount);
        m_buffer.remove(0, data.size());
        return data;
    }
    void scheduleNotification() override {
        QMetaObject::invokeMethod(
            this, [this] { deliverNotification(); }, Qt::QueuedConnection);
    }

private:
    LoopbackLink::ProbeEnd* m_probe = nullptr;
    QByteArray m_buffer;
    QElapsedTimer m_sinceReopenTry;
    int m_baud = 9600;
    bool m_open = false;
    bool m_lost = false;
};

class LoopbackLink::ProbeEnd : public ProbeLine {
public:
    ProbeEnd(const QString& name, std::shared_ptr<HostPort> host)
        : m_name(name), m_keep(std::move(host)), m_host(*m_keep) {
        m_host.attach(this);
    }
    ~ProbeEnd() override {
        close();
        m_host.attach(nullptr);
    }

    bool open(QString*) override {
        m_open = true;
        return true;
    }
    void close() override {
        if (!m_open) return;
        m_open = false;
        m_input.clear();
        m_host.probeGone();
    }
    bool isOpen() const override { return m_open; }
    QString name() const override { return m_name; }
    QByteArray readAll() override {
        QByteArray input;
        input.swap(m_input);
        return input;
    }
    qint64 write(const QByteArray& data) override {
        if (!m_open) return 0;
        m_host.arrived(data);
        return data.size();
    }
    int hostBaud() const override { return m_host.portOpen() ? m_host.baud() : 0; }
    qint64 unreadByHost() const override { return m_host.unread(); }
    void watchWritable(bool) override {} // takes everything at once

    // From the host's end, delivered from the event loop.
    void received(const QByteArray& data) {
        if (!m_open) return;
        m_input += data;
        const bool first = !m_readableQueued;
        m_readableQueued = true;
        if (!first) return;
        QMetaObject::invokeMethod(
            &m_host,
            [this, alive = QPointer<QObject>(&m_host)] {
                if (!alive) return;
                m_readableQueued = false;
                readable();
            },
            Qt::QueuedConnection);
    }

private:
    QString m_name;
    std::shared_ptr<HostPort> m_keep;
    HostPort& m_host;
    QByteArray m_input;
    bool m_open = false;
    bool m_readableQueued = false;
};

bool LoopbackLink::HostPort::setPortOpen(bool open, QString* error) {
    m_buffer.clear();
    m_lost = false;
    m_open = false;
    resetNotification();
    if (!open) return true;
    if (!m_probe || !m_probe->isOpen()) {
        if (error) *error = QStringLiteral("the virtual probe is not on the line");
        return false;
    }
    m_open = true;
    return true;
}

void LoopbackLink::HostPort::output(const QByteArray& data) {
    if (m_lost && m_open && m_probe && m_probe->isOpen() &&
        (!m_sinceReopenTry.isValid() || m_sinceReopenTry.elapsed() >= ReopenIntervalMs))
        m_lost = false;
    if (!portOpen()) return;
    if (m_probe) m_probe->received(data);
}

LoopbackLink::LoopbackLink(const QString& name, QObject* parent)
    : QObject(parent), m_host(std::make_shared<HostPort>()),
      m_probe(std::make_unique<ProbeEnd>(name, m_host)) {}

LoopbackLink::~LoopbackLink() = default;

SerialComm& LoopbackLink::hostPort() {
    return *m_host;
}

std::unique_ptr<ProbeLine> LoopbackLink::takeProbeLine() {
    return std::move(m_probe);
}

} // namespace platform

#pragma once
// A probe line on a serial port of this machine: the virtual probe listens on one end of a
// null-modem pair (two ports wired together, or a virtual pair such as com0com on Windows)
// while the host opens the other. The line cannot tell the host's speed: it keeps the probe's,
// and follows it when the probe changes speed.
#include "platform/PortTable.h"
#include "platform/ProbeLine.h"
#include "platform/SerialComm.h"
#include "platform/SettingsStore.h"

#include <memory>

namespace platform {

class SerialProbeLine : public ProbeLine {
public:
    explicit SerialProbeLine(const QString& portName);
    ~SerialProbeLine() override;

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override { return m_port->portOpen(); }
    QString name() const override { return m_name; }
    QByteArray readAll() override { return m_port->input(); }
    qint64 write(const QByteArray& data) override;
    int hostBaud() const override { return 0; }
    qint64 unreadByHost() const override { return 0; }
    void watchWritable(bool) override {} // the port queues what it cannot send yet
    void followBaud(int baud) override;

private:
    class OneName : public SettingsStore {
    public:
        explicit OneName(const QString& name) : m_name(name) {}
        QString GetSetting(const QString&, const QString&, const QString&,
                           const QString&) const override {
            return m_name;
        }
        void SaveSetting(const QString&, const QString&, const QString&, const QString&) override {}

    private:
        QString m_name;
    };

    QString m_name;
    OneName m_store;
    PortTable m_ports;
    std::unique_ptr<SerialComm> m_port;
    int m_baud = 9600;
};

} // namespace platform

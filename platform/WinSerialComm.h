#pragma once
// The serial component on the Win32 communications API, for Windows.
//
// It keeps the rules of QtSerialComm: opening resolves the port number through the PortTable
// (COM1, COM7, ...) and applies the settings text without flow control, with DTR and RTS on; a
// settings change on an open port applies at once without closing it; a port whose device goes
// away (an unplugged USB adapter) is closed and remembered as lost, and output() tries to open
// it again at most once per ReopenIntervalMs.
//
// The device is read on a timer every PollMs (or every batch interval while batching): the
// reads never wait, and writes go out overlapped, so the user-interface thread never blocks on
// the line.
#include "platform/PortTable.h"
#include "platform/SerialComm.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

namespace platform {

class WinSerialComm : public QObject, public SerialComm {
    Q_OBJECT
public:
    static constexpr int ReopenIntervalMs = 1000;
    static constexpr int PollMs = 4;

    explicit WinSerialComm(PortTable& ports, QObject* parent = nullptr);
    ~WinSerialComm() override;

    bool setSettings(const QString& settings) override;
    bool portOpen() const override;
    bool setPortOpen(bool open, QString* error = nullptr) override;
    void output(const QByteArray& data) override;
    void setReadBatchMs(int ms) override;
    void takeWaiting() override { poll(); }

    bool portLost() const { return m_lost; }
    QString lastError() const { return m_lastError; }

Q_SIGNALS:
    void lineLost();
    void lineRestored();

protected:
    qint64 bufferedCount() const override { return m_buffer.size(); }
    QByteArray takeBuffered(qint64 maxCount) override;
    void scheduleNotification() override;

private:
    struct Device;
    bool openNow(QString* error);
    void closeNow();
    bool applyLine(const LineSettings& line, QString* why);
    void poll();
    void startWrite();
    void markLost(const QString& why);
    void tryReopen();

    PortTable& m_ports;
    std::unique_ptr<Device> m_device;
    QTimer m_pollTimer;
    QByteArray m_buffer;
    QByteArray m_toWrite;
    QElapsedTimer m_sinceReopenTry;
    QString m_lastError;
    bool m_lost = false;
    bool m_notifyQueued = false;
};

} // namespace platform

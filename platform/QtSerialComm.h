#pragma once
// The serial component on QSerialPort.
//
// Opening resolves the port number through the PortTable, opens the device for reading and
// writing and applies the current settings text without flow control. A settings change on an
// open port is applied to it at once, without closing it, so that the link speed can change
// while the probe is being polled.
//
// Pseudo-terminals (used in place of a probe by the tests and by simulators) keep 8 data bits
// and no parity whatever is asked of them; on a pseudo-terminal a refusal of the data bits or
// the parity is accepted, on a real port it fails the open or the settings change.
//
// When the device goes away under an open port (a USB adapter unplugged, the far end of a
// pseudo-terminal closed) the port is closed, commEvent() becomes CommEvError and the port is
// remembered as lost: portOpen() is false, and output() tries to open the same port number
// again with the last settings, at most once per ReopenIntervalMs, so that a probe that comes
// back resumes by itself. An explicit setPortOpen() ends that.
#include "platform/PortTable.h"
#include "platform/SerialComm.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>

namespace platform {

class QtSerialComm : public QObject, public SerialComm {
    Q_OBJECT
public:
    static constexpr int ReopenIntervalMs = 1000;

    explicit QtSerialComm(PortTable& ports, QObject* parent = nullptr);
    ~QtSerialComm() override;

    bool setSettings(const QString& settings) override;
    bool portOpen() const override;
    bool setPortOpen(bool open, QString* error = nullptr) override;
    void output(const QByteArray& data) override;
    // On Unix the device is read directly on a timer while batching, with the port's own
    // reading paused; elsewhere (or when the port does not expose its reading) it is ignored.
    void setReadBatchMs(int ms) override;
    void takeWaiting() override;
    bool readingInBatches() const { return m_batching; }

    // The device went away under the open port and has not come back yet.
    bool portLost() const { return m_lost; }
    // The open device is a pseudo-terminal.
    bool onPseudoTerminal() const { return m_pty; }
    // The reason the last open, settings change or reopen failed (empty after a success).
    QString lastError() const { return m_lastError; }

Q_SIGNALS:
    void lineLost();
    void lineRestored();

protected:
    qint64 bufferedCount() const override;
    QByteArray takeBuffered(qint64 maxCount) override;
    void scheduleNotification() override;

private:
    bool openNow(QString* error);
    void closeNow();
    bool applyLine(const LineSettings& line, QString* why);
    bool checkParity();
    bool speedInEffect(int baud) const;
    bool deviceHungUp() const;
    void onPortError(QSerialPort::SerialPortError code);
    void tryReopen();
    QSocketNotifier* readNotifier() const;
    void readBatch();
    void endBatching();
    void arrived();

    PortTable& m_ports;
    QSerialPort m_port;
    QElapsedTimer m_sinceReopenTry;
    QString m_lastError;
    bool m_lost = false;
    bool m_pty = false;
    bool m_notifyQueued = false;
    bool m_arriving = false; // inside the port's readyRead
    QTimer m_batchTimer;
    QByteArray m_batched; // read from the device ahead of the port's own buffer
    bool m_batching = false;
};

} // namespace platform

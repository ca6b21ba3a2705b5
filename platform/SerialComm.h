#pragma once
// The serial-port component through which every byte to and from the probe passes.
//
// Port numbers 1..5 stand for system port names (see PortTable). The component keeps the
// receive rules the polling cycle relies on:
//  - input() returns at most inputLen() characters (0 = everything buffered) and removes them;
//  - once at least rThreshold() characters are buffered, one OnComm notification is raised with
//    commEvent() == CommEvReceive; none while the threshold is 0. Another notification follows
//    when more characters arrive, or when the handler left a full threshold's worth unread.
//  - notifications arrive on the user-interface thread and never re-entrantly.
#include <QByteArray>
#include <QString>
#include <functional>

namespace platform {

class SerialComm {
public:
    static constexpr int CommEvReceive = 2;
    static constexpr int CommEvError = 1010;

    virtual ~SerialComm() = default;

    // Selects the port used by the next open (1..5).
    void setCommPort(int portNo) { m_commPort = portNo; }
    int commPort() const { return m_commPort; }

    // "9600,o,7,1" style settings; takes effect on an open port at once.
    // Returns false (and keeps the port as it was) when the text or the device refuses them.
    virtual bool setSettings(const QString& settings) = 0;
    QString settings() const { return m_settings; }

    virtual bool portOpen() const = 0;
    // Opening closes an already open port first. Returns false with a reason on failure.
    virtual bool setPortOpen(bool open, QString* error = nullptr) = 0;

    void setInputLen(int n) { m_inputLen = n < 0 ? 0 : n; }
    int inputLen() const { return m_inputLen; }
    void setRThreshold(int n);
    int rThreshold() const { return m_rThreshold; }

    // Queues the characters for transmission without blocking.
    virtual void output(const QByteArray& data) = 0;
    QByteArray input();
    // Characters received and not yet taken by input().
    qint64 inBufferCount() const { return bufferedCount(); }
    int commEvent() const { return m_commEvent; }

    void setOnComm(std::function<void()> handler) { m_onComm = std::move(handler); }

    // Characters are taken from the device in batches, at most every ms milliseconds, instead
    // of as each write of the far end arrives: a probe streaming records wakes the program a
    // few dozen times a second instead of once a record. 0 takes them as they arrive again.
    // A component that cannot batch ignores it.
    virtual void setReadBatchMs(int ms) { static_cast<void>(ms); }
    // Takes into the buffer what the device holds now, without waiting: characters that have
    // arrived but were not yet read (a batch not yet due) count in inBufferCount() after it.
    virtual void takeWaiting() {}

protected:
    virtual qint64 bufferedCount() const = 0;
    virtual QByteArray takeBuffered(qint64 maxCount) = 0;
    // Arranges for deliverNotification() to be called soon, outside the current call chain.
    virtual void scheduleNotification() = 0;

    // Implementations call this whenever characters arrive.
    void charactersArrived();
    // Called from the scheduled context; raises OnComm if the threshold is still met.
    void deliverNotification();
    void setCommEvent(int code) { m_commEvent = code; }
    void storeSettings(const QString& s) { m_settings = s; }
    void resetNotification() { m_notifyScheduled = false; }
    // How many times the OnComm handler has been called.
    int onCommCalls() const { return m_onCommCalls; }

private:
    void maybeSchedule();

    std::function<void()> m_onComm;
    QString m_settings = QStringLiteral("9600,o,7,1");
    int m_commPort = 1;
    int m_inputLen = 0;
    int m_rThreshold = 0;
    int m_commEvent = 0;
    int m_onCommCalls = 0;
    bool m_notifyScheduled = false;
    bool m_inHandler = false;
    bool m_readInHandler = false; // the handler running has read characters
};

// A parsed "baud,parity,data,stop" settings text.
struct LineSettings {
    int baud = 9600;
    char parity = 'o';
    int dataBits = 7;
    int stopBits = 1;
    static bool parse(const QString& text, LineSettings* out);
};

} // namespace platform

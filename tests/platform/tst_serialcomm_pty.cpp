// The Qt serial component against a pseudo-terminal whose far end the test plays as the probe.
#include "platform/PortTable.h"
#include "platform/QtSerialComm.h"
#include "platform/fake/MemorySettingsStore.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace platform;

namespace {

// A pseudo-terminal: the test keeps the master as the probe's end and a descriptor on the
// slave to look at the line settings the component left there.
class Pty {
public:
    Pty() = default;
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    ~Pty() { unplug(); }

    bool open() {
#ifdef Q_OS_LINUX
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return false;
        const char* slaveName = ::ptsname(m_master);
        if (!slaveName) return false;
        m_name = QString::fromLocal8Bit(slaveName);
        m_slave = ::open(slaveName, O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio;
        if (m_slave < 0 || ::tcgetattr(m_slave, &tio) != 0) return false;
        ::cfmakeraw(&tio);
        return ::tcsetattr(m_slave, TCSANOW, &tio) == 0;
#else
        return false;
#endif
    }

    QString name() const {
        return m_name;
    }

    bool write(const QByteArray& data) {
#ifdef Q_OS_LINUX
        return ::write(m_master, data.constData(), data.size()) == data.size();
#else
        Q_UNUSED(data);
        return false;
#endif
    }

    // Everything the component has sent so far.
    QByteArray collect() {
#ifdef Q_OS_LINUX
        char buf[256];
        ssize_t n;
        while (m_master >= 0 && (n = ::read(m_master, buf, sizeof buf)) > 0)
            m_received.append(buf, n);
#endif
        return m_received;
    }

    // The output speed of the slave side in bits per second (0 when unknown).
    int outputBaud() const {
#ifdef Q_OS_LINUX
        termios tio;
        if (::tcgetattr(m_slave, &tio) != 0) return 0;
        switch (::cfgetospeed(&tio)) {
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B57600: return 57600;
        case B115200: return 115200;
        default: return 0;
        }
#else
        return 0;
#endif
    }

    // The probe goes away: both of the test's ends close.
    void unplug() {
#ifdef Q_OS_LINUX
        if (m_master >= 0) ::close(m_master);
        if (m_slave >= 0) ::close(m_slave);
#endif
        m_master = m_slave = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_name;
    QByteArray m_received;
};

QByteArray record(char tag) {
    return QByteArray(18, tag) + '\r';
}

} // namespace

class TestSerialCommPty : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void opensWithProbeSettings();
    void receiveThreshold_data();
    void receiveThreshold();
    void recordsOneAtATime();
    void speedChangeKeepsPortOpen();
    void settingsWhileClosedApplyAtOpen();
    void refusedSettingsLeavePortAsItWas();
    void openFailures_data();
    void openFailures();
    void unpluggedProbeIsLostAndComesBack();

private:
    void open() {
        QString error;
        QVERIFY2(m_comm->setPortOpen(true, &error), qPrintable(error));
        QVERIFY(m_comm->portOpen());
    }

    std::unique_ptr<Pty> m_pty;
    MemorySettingsStore m_store;
    std::unique_ptr<PortTable> m_ports;
    std::unique_ptr<QtSerialComm> m_comm;
};

void TestSerialCommPty::initTestCase() {
#ifndef Q_OS_LINUX
    QSKIP("Pseudo-terminals are tested on Linux only.");
#endif
}

void TestSerialCommPty::init() {
    m_pty = std::make_unique<Pty>();
    QVERIFY(m_pty->open());
    m_ports = std::make_unique<PortTable>(m_store);
    m_ports->setRunOverride(1, m_pty->name());
    m_comm = std::make_unique<QtSerialComm>(*m_ports);
    m_comm->setCommPort(1);
    QVERIFY(m_comm->setSettings("9600,o,7,1"));
}

void TestSerialCommPty::cleanup() {
    m_comm.reset();
    m_ports.reset();
    m_pty.reset();
}

void TestSerialCommPty::opensWithProbeSettings() {
    open();
    QVERIFY(m_comm->onPseudoTerminal());
    QVERIFY(m_comm->lastError().isEmpty());
    QCOMPARE(m_pty->outputBaud(), 9600);
    m_comm->output("T\r");
    QTRY_COMPARE(m_pty->collect(), QByteArray("T\r"));
    QVERIFY(m_comm->setPortOpen(false));
    QVERIFY(!m_comm->portOpen());
}

void TestSerialCommPty::receiveThreshold_data() {
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("expected");
    QTest::newRow("19") << 19 << 1;
    QTest::newRow("20") << 20 << 0;
    QTest::newRow("0") << 0 << 0;
}

void TestSerialCommPty::receiveThreshold() {
    QFETCH(int, threshold);
    QFETCH(int, expected);
    open();
    m_comm->setRThreshold(threshold);
    int calls = 0;
    QByteArray got;
    m_comm->setOnComm([&] {
        ++calls;
        got += m_comm->input();
    });
    const QByteArray first("12345"), second("6789ABCDEFGHI\r");
    QVERIFY(m_pty->write(first));
    QTRY_COMPARE(m_comm->inBufferCount(), qint64(5));
    QCoreApplication::sendPostedEvents(); // a notification would be a posted call by now
    QCOMPARE(calls, 0);
    QVERIFY(m_pty->write(second));
    if (expected > 0) {
        QTRY_COMPARE(calls, expected);
        QCOMPARE(got, first + second);
    } else {
        QTRY_COMPARE(m_comm->inBufferCount(), qint64(19));
    }
    QCoreApplication::sendPostedEvents();
    QCOMPARE(calls, expected);
}

void TestSerialCommPty::recordsOneAtATime() {
    open();
    m_comm->setInputLen(19);
    m_comm->setRThreshold(19);
    QList<QByteArray> records;
    m_comm->setOnComm([&] { records << m_comm->input(); });
    QVERIFY(m_pty->write(record('a') + record('b') + record('c')));
    QTRY_COMPARE(records.size(), 3);
    QCOMPARE(records, (QList<QByteArray>{record('a'), record('b'), record('c')}));
    QCOMPARE(m_comm->inBufferCount(), qint64(0));
}

void TestSerialCommPty::speedChangeKeepsPortOpen() {
    open();
    QCOMPARE(m_pty->outputBaud(), 9600);
    QVERIFY(m_pty->write("AB"));
    QTRY_COMPARE(m_comm->inBufferCount(), qint64(2));

    QVERIFY2(m_comm->setSettings("115200,o,7,1"), qPrintable(m_comm->lastError()));
    QVERIFY(m_comm->portOpen());
    QCOMPARE(m_comm->settings(), QString("115200,o,7,1"));
    QCOMPARE(m_pty->outputBaud(), 115200);
    // Closing would have dropped what was waiting.
    QCOMPARE(m_comm->inBufferCount(), qint64(2));

    m_comm->output("PING\r");
    QTRY_COMPARE(m_pty->collect(), QByteArray("PING\r"));
    QVERIFY(m_pty->write("PONG\r"));
    QTRY_COMPARE(m_comm->inBufferCount(), qint64(7));
    QCOMPARE(m_comm->input(), QByteArray("ABPONG\r"));
}

void TestSerialCommPty::settingsWhileClosedApplyAtOpen() {
    QVERIFY(m_comm->setSettings("19200,o,7,1"));
    QVERIFY(m_pty->outputBaud() != 19200); // a closed port is not touched
    open();
    QCOMPARE(m_pty->outputBaud(), 19200);
}

void TestSerialCommPty::refusedSettingsLeavePortAsItWas() {
    open();
    QVERIFY(!m_comm->setSettings("fast,o,7,1"));
    QVERIFY(!m_comm->lastError().isEmpty());
    QVERIFY(m_comm->portOpen());
    QCOMPARE(m_comm->settings(), QString("9600,o,7,1"));
    QCOMPARE(m_pty->outputBaud(), 9600);
}

void TestSerialCommPty::openFailures_data() {
    QTest::addColumn<int>("portNo");
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("openBefore");
    QTest::addColumn<QString>("inReason");
    QTest::newRow("missing device")
        << 1 << "/dev/varnex-no-such-port" << false << "/dev/varnex-no-such-port";
    QTest::newRow("missing device, pty open before")
        << 1 << "/dev/varnex-no-such-port" << true << "/dev/varnex-no-such-port";
    QTest::newRow("not a terminal") << 1 << "/dev/null" << false << "/dev/null";
    QTest::newRow("no such port number") << 6 << QString() << false << "6";
}

void TestSerialCommPty::openFailures() {
    QFETCH(int, portNo);
    QFETCH(QString, device);
    QFETCH(bool, openBefore);
    QFETCH(QString, inReason);
    if (openBefore) open();
    if (!device.isEmpty()) m_ports->setRunOverride(1, device);
    m_comm->setCommPort(portNo);
    QString error;
    QVERIFY(!m_comm->setPortOpen(true, &error));
    QVERIFY2(error.contains(inReason), qPrintable(error));
    QCOMPARE(m_comm->lastError(), error);
    QVERIFY(!m_comm->portOpen());
    QVERIFY(!m_comm->portLost());
}

void TestSerialCommPty::unpluggedProbeIsLostAndComesBack() {
    open();
    QSignalSpy lost(m_comm.get(), &QtSerialComm::lineLost);
    QSignalSpy restored(m_comm.get(), &QtSerialComm::lineRestored);
    m_pty->unplug();
    QTRY_VERIFY(m_comm->portLost());
    QVERIFY(!m_comm->portOpen());
    QCOMPARE(m_comm->commEvent(), SerialComm::CommEvError);
    QCOMPARE(lost.count(), 1);

    // The probe comes back (on a new pseudo-terminal) while the program keeps polling.
    Pty back;
    QVERIFY(back.open());
    m_ports->setRunOverride(1, back.name());
    const auto poll = [&] {
        m_comm->output("?\r");
        return m_comm->portOpen();
    };
    QTRY_VERIFY_WITH_TIMEOUT(poll(), 5000);
    QVERIFY(!m_comm->portLost());
    QCOMPARE(restored.count(), 1);
    QCOMPARE(back.outputBaud(), 9600);
    QTRY_VERIFY(back.collect().startsWith("?\r"));
    QVERIFY(back.write("OK\r"));
    QTRY_COMPARE(m_comm->inBufferCount(), qint64(3));
}

QTEST_GUILESS_MAIN(TestSerialCommPty)
#include "tst_serialcomm_pty.moc"

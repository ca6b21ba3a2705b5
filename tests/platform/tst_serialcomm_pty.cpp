// The Qt serial component against a pseudo-terminal whose far end the test plays as the probe.
#include "platform/PortTable.h"
#include "platform/QtSerialComm.h"
#include "platform/fake/MemorySettingsStore.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using namespace platform;

namespace {

// A pseudo-terminal: the test keeps the master as the probe's end and a descriptor on the
// slave to look at the line settings the component left there.
class Pty {
public:
    Pty() = default;
    Pty(const Pty&) = delete;
    ~Pty() { unplug(); }

    bool open() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return false;
        const char* slaveName = ::ptsname(m_master);
        if (!slaveName) return false;
        name = QString::fromLocal8Bit(slaveName);
        m_slave = ::open(slaveName, O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio;
        if (m_slave < 0 || ::tcgetattr(m_slave, &tio) != 0) return false;
        ::cfmakeraw(&tio);
        return ::tcsetattr(m_slave, TCSANOW, &tio) == 0;
    }
    bool write(const QByteArray& data) {
        return ::write(m_master, data.constData(), data.size()) == data.size();
    }
    // Everything the component has sent so far.
    QByteArray collect() {
        char buf[256];
        for (ssize_t n; m_master >= 0 && (n = ::read(m_master, buf, sizeof buf)) > 0;)
            m_received.append(buf, n);
        return m_received;
    }
    // The output speed of the slave side in bits per second (0 for any other).
    int outputBaud() const {
        termios tio;
        if (::tcgetattr(m_slave, &tio) != 0) return 0;
        const speed_t s = ::cfgetospeed(&tio);
        return s == B9600 ? 9600 : s == B19200 ? 19200 : s == B115200 ? 115200 : 0;
    }
    // The probe goes away: both of the test's ends close.
    void unplug() {
        if (m_master >= 0) ::close(m_master);
        if (m_slave >= 0) ::close(m_slave);
        m_master = m_slave = -1;
    }

    QString name;

private:
    int m_master = -1, m_slave = -1;
    QByteArray m_received;
};

QByteArray record(char tag) {
    return QByteArray(18, tag) + '\r';
}

} // namespace

class TestSerialCommPty : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        m_pty = std::make_unique<Pty>();
        QVERIFY(m_pty->open());
        m_ports = std::make_unique<PortTable>(m_store);
        m_ports->setRunOverride(1, m_pty->name);
        m_comm = std::make_unique<QtSerialComm>(*m_ports);
        m_comm->setCommPort(1);
        QVERIFY(m_comm->setSettings("9600,o,7,1"));
    }

    void cleanup() {
        m_comm.reset();
        m_ports.reset();
        m_pty.reset();
    }

    void receive_data() {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("inputLen");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<QByteArray>>("notified"); // what each notification read
        const QByteArray reply("123456789ABCDEFGHI\r");
        QTest::newRow("19") << 19 << 0 << reply << QList<QByteArray>{reply};
        QTest::newRow("20") << 20 << 0 << reply << QList<QByteArray>{};
        QTest::newRow("0") << 0 << 0 << reply << QList<QByteArray>{};
        QTest::newRow("InputLen 19: one record at a time")
            << 19 << 19 << record('a') + record('b') + record('c')
            << QList<QByteArray>{record('a'), record('b'), record('c')};
    }

    void receive() {
        QFETCH(int, threshold);
        QFETCH(int, inputLen);
        QFETCH(QByteArray, line);
        QFETCH(QList<QByteArray>, notified);
        open();
        m_comm->setRThreshold(threshold);
        m_comm->setInputLen(inputLen);
        QList<QByteArray> got;
        m_comm->setOnComm([&] { got << m_comm->input(); });
        QVERIFY(m_pty->write(line.left(5)));
        QTRY_COMPARE(m_comm->inBufferCount(), qint64(5));
        QCoreApplication::sendPostedEvents(); // a notification would be a posted call by now
        QVERIFY(got.isEmpty());
        QVERIFY(m_pty->write(line.mid(5)));
        if (notified.isEmpty())
            QTRY_COMPARE(m_comm->inBufferCount(), qint64(line.size()));
        else
            QTRY_COMPARE(got.size(), notified.size());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(got, notified);
    }

    void settingsChange_data() {
        QTest::addColumn<bool>("openFirst");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud"); // of the line in the end; 0: the text is refused
        QTest::newRow("115200 on the open port") << true << "115200,o,7,1" << 115200;
        QTest::newRow("19200 while closed, at open") << false << "19200,o,7,1" << 19200;
        QTest::newRow("refused on the open port") << true << "fast,o,7,1" << 0;
    }

    void settingsChange() {
        QFETCH(bool, openFirst);
        QFETCH(QString, text);
        QFETCH(int, baud);
        if (openFirst) {
            open();
            QCOMPARE(m_pty->outputBaud(), 9600);
            QVERIFY(m_pty->write("AB"));
            QTRY_COMPARE(m_comm->inBufferCount(), qint64(2));
        }
        QCOMPARE(m_comm->setSettings(text), baud > 0);
        QCOMPARE(m_comm->lastError().isEmpty(), baud > 0);
        QCOMPARE(m_comm->settings(), baud > 0 ? text : QString("9600,o,7,1"));
        if (!openFirst) {
            QVERIFY(m_pty->outputBaud() != baud); // a closed port is not touched
            open();
        }
        QCOMPARE(m_pty->outputBaud(), baud > 0 ? baud : 9600);
        // Characters flow both ways, and those that were waiting are kept: the port stayed open.
        m_comm->output("PING\r");
        QTRY_COMPARE(m_pty->collect(), QByteArray("PING\r"));
        QVERIFY(m_pty->write("PONG\r"));
        const QByteArray waiting = openFirst ? "ABPONG\r" : "PONG\r";
        QTRY_COMPARE(m_comm->inBufferCount(), qint64(waiting.size()));
        QCOMPARE(m_comm->input(), waiting);
        QVERIFY(m_comm->setPortOpen(false) && !m_comm->portOpen());
    }

    void openFailures_data() {
        QTest::addColumn<int>("portNo");
        QTest::addColumn<QString>("device");
        QTest::newRow("missing device, pty open before") << 1 << "/dev/varnex-no-such-port";
        QTest::newRow("not a terminal") << 1 << "/dev/null";
        QTest::newRow("no such port number") << 6 << "6";
    }

    void openFailures() {
        QFETCH(int, portNo);
        QFETCH(QString, device);
        open();
        if (portNo == 1) m_ports->setRunOverride(1, device);
        m_comm->setCommPort(portNo);
        QString error;
        QVERIFY(!m_comm->setPortOpen(true, &error));
        QVERIFY2(error.contains(device), qPrintable(error)); // the reason names it
        QCOMPARE(m_comm->lastError(), error);
        QVERIFY(!m_comm->portOpen());
        QVERIFY(!m_comm->portLost());
    }

    void unpluggedProbeIsLostAndComesBack() {
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
        m_ports->setRunOverride(1, back.name);
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

private:
    void open() {
        QString error;
        QVERIFY2(m_comm->setPortOpen(true, &error), qPrintable(error));
        QVERIFY(m_comm->portOpen() && m_comm->onPseudoTerminal());
    }

    std::unique_ptr<Pty> m_pty;
    MemorySettingsStore m_store;
    std::unique_ptr<PortTable> m_ports;
    std::unique_ptr<QtSerialComm> m_comm;
};

QTEST_GUILESS_MAIN(TestSerialCommPty)
#include "tst_serialcomm_pty.moc"

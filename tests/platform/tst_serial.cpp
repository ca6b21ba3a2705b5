// The serial line: the component's buffer and notifications on the test port, the line
// settings and the port table, and the Qt component on a pseudo-terminal whose far end the test
// plays (settings on the open line, failures to open, a probe unplugged and back).
#include "platform/PortTable.h"
#include "platform/QtSerialComm.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/ScriptedSerialComm.h"

#include <QtTest>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using namespace platform;

using Records = QList<QByteArray>;

namespace {

QByteArray record(char tag) {
    return QByteArray(18, tag) + '\r';
}
const QByteArray Three = record('a') + record('b') + record('c');

// A pseudo-terminal: the test keeps the master as the probe's end and a descriptor on the
// slave to look at the line settings the component left there.
struct Pty {
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
    int m_master = -1, m_slave = -1;
    QByteArray m_received;
};

// The Qt component on port 1, which a run override points at a fresh pseudo-terminal, set to
// 9600,o,7,1: seven data bits and parity, which a pseudo-terminal refuses but must accept.
struct PtyLine {
    Pty pty;
    MemorySettingsStore store;
    PortTable ports{store};
    QtSerialComm comm{ports};

    bool start() {
        if (!pty.open()) return false;
        ports.setRunOverride(1, pty.name);
        comm.setCommPort(1);
        return comm.setSettings("9600,o,7,1");
    }
    bool open() {
        QString error;
        if (!comm.setPortOpen(true, &error)) qWarning() << error;
        return comm.portOpen() && comm.onPseudoTerminal();
    }
};

} // namespace

class TestSerial : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The input length bounds a read; 0 or less reads everything. The rest stays buffered.
    void inputIsBoundedByInputLen() {
        Records read;
        for (const int inputLen : {0, 19, 100, -4, 1}) {
            ScriptedSerialComm comm;
            comm.setInputLen(inputLen);
            comm.receive(Three);
            read << comm.input();
            QCOMPARE(comm.inBufferCount() + read.last().size(), Three.size());
        }
        QCOMPARE(read, (Records{Three, record('a'), Three, Three, "a"}));
    }

    // Notifications counted after each chunk has arrived and events were served. A threshold
    // changed before that decides a notification already on its way. A handler that serves
    // events while the next record arrives is not entered again.
    void notificationOnceThresholdIsReached_data() {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("retuned");  // after the first chunk arrived; -1: left alone
        QTest::addColumn<int>("inputLen"); // -1: the handler reads nothing
        QTest::addColumn<QList<int>>("chunks");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<bool>("nested"); // the first call receives a record and serves events
        const auto row = [](const char* name, int threshold, int retuned, int inputLen,
                            const QList<int>& chunks, const QList<int>& counts,
                            bool nested = false) {
            QTest::newRow(name) << threshold << retuned << inputLen << chunks << counts << nested;
        };
        row("5 then 14 of 19", 19, -1, 0, {5, 14}, {0, 1});
        row("threshold 0 never", 0, -1, 0, {5, 14, 40}, {0, 0, 0});
        row("one per arrival", 1, -1, 0, {1, 3, 1}, {1, 2, 3});
        row("one record of three each", 19, -1, 19, {57}, {3});
        row("ignored: again when more come", 19, -1, -1, {19, 0, 1}, {1, 1, 2});
        row("raised past what came", 19, 20, 0, {19}, {0});
        row("switched off", 19, 0, 0, {19}, {0});
        row("lowered", 19, 5, 0, {19}, {1});
        row("not re-entered", 19, -1, 19, {19}, {2}, true);
    }
    void notificationOnceThresholdIsReached() {
        QFETCH(int, retuned);
        QFETCH(int, inputLen);
        QFETCH(QList<int>, chunks);
        QFETCH(QList<int>, counts);
        QFETCH(bool, nested);
        ScriptedSerialComm comm;
        QFETCH(int, threshold);
        comm.setRThreshold(threshold);
        comm.setInputLen(std::max(inputLen, 0));
        Records got;
        QByteArray sent;
        const auto arrive = [&](int n) {
            sent += (Three + Three).mid(sent.size(), n);
            comm.receive(sent.right(n));
        };
        int depth = 0, deepest = 0;
        comm.setOnComm([&] {
            deepest = std::max(deepest, ++depth);
            QCOMPARE(comm.commEvent(), SerialComm::CommEvReceive);
            if (inputLen >= 0) got << comm.input();
            if (nested && got.size() == 1) {
                arrive(19);
                comm.deliverNotifications();
            }
            --depth;
        });
        for (int i = 0; i < chunks.size(); ++i) {
            arrive(chunks[i]);
            QCOMPARE(comm.notificationCount(), i > 0 ? counts[i - 1] : 0); // none from receive()
            if (i == 0 && retuned >= 0) comm.setRThreshold(retuned);
            comm.deliverNotifications();
            QCOMPARE(comm.notificationCount(), counts[i]);
        }
        QCOMPARE(deepest, counts.last() > 0 ? 1 : 0);
        if (inputLen >= 0 && counts.last() > 0) QCOMPARE(got.join(), sent);
    }

    // Refused texts leave the result alone (baud -1 shows it).
    void lineSettingsParse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("baudParityDataStop");
        for (int baud : {9600, 19200, 38400, 57600, 115200})
            QTest::addRow("%d,o,7,1", baud)
                << QStringLiteral("%1,o,7,1").arg(baud) << QList<int>{baud, 'o', 7, 1};
        QTest::newRow("upper case, blanks") << "4800, N ,8, 2" << QList<int>{4800, 'n', 8, 2};
        for (const char* bad : {"9600,o,7", "9600,o,7,1,1", "fast,o,7,1", "0,o,7,1", "9600,x,7,1",
                                "9600,odd,7,1", "9600,o,9,1", "9600,o,4,1", "9600,o,7,3"})
            QTest::newRow(bad) << QString(bad) << QList<int>{-1, 0, 0, 0};
    }
    void lineSettingsParse() {
        QFETCH(QString, text);
        QFETCH(QList<int>, baudParityDataStop);
        LineSettings s{-1, 0, 0, 0};
        QCOMPARE(LineSettings::parse(text, &s), baudParityDataStop[0] > 0);
        QCOMPARE((QList<int>{s.baud, s.parity, s.dataBits, s.stopBits}), baudParityDataStop);
    }

    void portTable() {
        MemorySettingsStore store;
        PortTable ports(store);
        const QStringList defaults{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyS1",
                                   "/dev/ttyACM0"};
        for (int n = 0; n <= 6; ++n)
            QCOMPARE(ports.portName(n), defaults.value(n - 1));
        store.SaveSetting(PortTable::AppName, PortTable::Section, "Comm2", "/dev/ttyXR7");
        ports.setPortName(4, "/dev/ttyAMA0");
        ports.setPortName(9, "/dev/null");
        QCOMPARE(ports.portName(2), QString("/dev/ttyXR7"));
        QCOMPARE(store.GetSetting("Varnex", "Ports", "Comm4"), QString("/dev/ttyAMA0"));
        // A run override stands behind one number at a time and is never stored.
        ports.setRunOverride(2, "/dev/pts/4");
        QCOMPARE(ports.portName(2), QString("/dev/pts/4"));
        ports.setRunOverride(3, "/dev/pts/5");
        ports.setRunOverride(1, QString()); // not the overridden number: no change
        QCOMPARE((QStringList{ports.portName(2), ports.portName(3)}),
                 (QStringList{"/dev/ttyXR7", "/dev/pts/5"}));
        ports.setRunOverride(3, QString());
        QCOMPARE(ports.portName(3), defaults[2]);
        QCOMPARE(store.values().size(), 2);
    }

    // The settings change on the open port or at the next open. Characters flow both ways, a
    // record's notification waits for all of it, and what was waiting stays: the port stayed
    // open.
    void ptySettingsChange_data() {
        QTest::addColumn<bool>("openFirst");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud"); // of the line in the end; 0: the text is refused
        QTest::newRow("115200 on the open port") << true << "115200,o,7,1" << 115200;
        QTest::newRow("19200 while closed, at open") << false << "19200,o,7,1" << 19200;
        QTest::newRow("refused on the open port") << true << "fast,o,7,1" << 0;
    }
    void ptySettingsChange() {
        QFETCH(bool, openFirst);
        QFETCH(QString, text);
        QFETCH(int, baud);
        PtyLine l;
        QVERIFY(l.start());
        l.comm.setRThreshold(19);
        l.comm.setInputLen(19);
        Records got;
        l.comm.setOnComm([&] { got << l.comm.input(); });
        if (openFirst) {
            QVERIFY(l.open());
            QCOMPARE(l.pty.outputBaud(), 9600);
            QVERIFY(l.pty.write(Three.left(5)));
            QTRY_COMPARE(l.comm.inBufferCount(), qint64(5));
        }
        QCOMPARE(l.comm.setSettings(text), baud > 0);
        QCOMPARE(l.comm.lastError().isEmpty(), baud > 0);
        QCOMPARE(l.comm.settings(), baud > 0 ? text : QString("9600,o,7,1"));
        if (!openFirst) {
            QVERIFY(l.pty.outputBaud() != baud); // a closed port is not touched
            QVERIFY(l.open());
        }
        QCOMPARE(l.pty.outputBaud(), baud > 0 ? baud : 9600);
        l.comm.output("PING\r");
        QTRY_COMPARE(l.pty.collect(), QByteArray("PING\r"));
        QCoreApplication::sendPostedEvents(); // a notification would be posted by now
        QVERIFY(got.isEmpty());
        QVERIFY(l.pty.write(Three.mid(openFirst ? 5 : 0)));
        QTRY_COMPARE(got, (Records{record('a'), record('b'), record('c')}));
        QVERIFY(l.comm.setPortOpen(false) && !l.comm.portOpen());
    }

    // With the pseudo-terminal open before, the reason names the device.
    void ptyOpenFailures() {
        for (const auto& [portNo, device] :
             {std::pair{1, "/dev/varnex-no-such-port"}, {1, "/dev/null"}, {6, "6"}}) {
            PtyLine l;
            QVERIFY(l.start() && l.open());
            if (portNo == 1) l.ports.setRunOverride(1, device);
            l.comm.setCommPort(portNo);
            QString error;
            QVERIFY(!l.comm.setPortOpen(true, &error));
            QVERIFY2(error.contains(device), qPrintable(error));
            QCOMPARE(l.comm.lastError(), error);
            QVERIFY(!l.comm.portOpen() && !l.comm.portLost());
        }
    }

    // A stream read in batches: every record in order, far fewer notifications than records,
    // the port's own reading back afterwards. Unplugged while batching, the probe is lost and
    // batching ends; it comes back (on a new pseudo-terminal) while the program polls.
    void ptyStreamBatchesAndUnplug() {
        PtyLine l;
        QVERIFY(l.start() && l.open());
        l.comm.setRThreshold(19);
        QByteArray got;
        int calls = 0;
        l.comm.setOnComm([&] {
            ++calls;
            got += l.comm.input();
        });
        l.comm.setReadBatchMs(30);
        QVERIFY(l.comm.readingInBatches());
        QByteArray sent;
        for (int i = 0; i < 60; ++i) {
            sent += record(char('A' + i % 26));
            QVERIFY(l.pty.write(sent.right(19)));
            QTest::qWait(2); // the far end writes record by record
        }
        QTRY_COMPARE(got, sent);
        QVERIFY2(calls < 20, qPrintable(QString::number(calls)));
        l.comm.setReadBatchMs(0);
        QVERIFY(!l.comm.readingInBatches());
        QVERIFY(l.pty.write(Three));
        QTRY_COMPARE(got, sent + Three);

        l.comm.setReadBatchMs(30);
        l.pty.unplug();
        QTRY_VERIFY(l.comm.portLost());
        QVERIFY(!l.comm.portOpen() && !l.comm.readingInBatches());
        QCOMPARE(l.comm.commEvent(), SerialComm::CommEvError);
        Pty back;
        QVERIFY(back.open());
        l.ports.setRunOverride(1, back.name);
        const auto poll = [&] {
            l.comm.output("?\r");
            return l.comm.portOpen();
        };
        QTRY_VERIFY_WITH_TIMEOUT(poll(), 5000);
        QVERIFY(!l.comm.portLost());
        QCOMPARE(back.outputBaud(), 9600);
        QTRY_VERIFY(back.collect().startsWith("?\r"));
        QVERIFY(back.write("OK\r"));
        QTRY_COMPARE(l.comm.inBufferCount(), qint64(3));
    }
};

QTEST_GUILESS_MAIN(TestSerial)
#include "tst_serial.moc"

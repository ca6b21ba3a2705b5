// The receive rules of the serial component (on the test port), the settings text and the port
// table.
#include "platform/PortTable.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/ScriptedSerialComm.h"

#include <QtTest>

using namespace platform;

namespace {

QByteArray record(char tag) {
    return QByteArray(18, tag) + '\r';
}
const QByteArray Three = record('a') + record('b') + record('c');

} // namespace

class TestSerialComm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inputIsBoundedByInputLen() {
        for (const auto& [inputLen, expected] : {std::pair{0, Three},
                                                 {19, record('a')},
                                                 {100, Three},
                                                 {-4, Three},
                                                 {1, QByteArray("a")}}) {
            ScriptedSerialComm comm;
            comm.setInputLen(inputLen);
            comm.receive(Three);
            QCOMPARE(comm.input(), expected);
            QCOMPARE(comm.inBufferCount(), qint64(Three.size() - expected.size()));
        }
    }

    void notificationOnceThresholdIsReached_data() {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("inputLen"); // -1: the handler reads nothing
        QTest::addColumn<QList<int>>("chunks");
        // Notifications counted after each chunk has arrived and events were served.
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("5 then 14 of 19") << 19 << 0 << QList<int>{5, 14} << QList<int>{0, 1};
        QTest::newRow("threshold 0 never")
            << 0 << 0 << QList<int>{5, 14, 40} << QList<int>{0, 0, 0};
        QTest::newRow("one per arrival") << 1 << 0 << QList<int>{1, 3, 1} << QList<int>{1, 2, 3};
        QTest::newRow("one record of three each") << 19 << 19 << QList<int>{57} << QList<int>{3};
        QTest::newRow("ignored: again when more come")
            << 19 << -1 << QList<int>{19, 0, 1} << QList<int>{1, 1, 2};
    }

    void notificationOnceThresholdIsReached() {
        QFETCH(int, threshold);
        QFETCH(int, inputLen);
        QFETCH(QList<int>, chunks);
        QFETCH(QList<int>, counts);
        ScriptedSerialComm comm;
        comm.setRThreshold(threshold);
        comm.setInputLen(std::max(inputLen, 0));
        QList<QByteArray> got;
        comm.setOnComm([&] {
            QCOMPARE(comm.commEvent(), SerialComm::CommEvReceive);
            if (inputLen >= 0) got << comm.input();
        });
        QByteArray sent;
        for (int i = 0; i < chunks.size(); ++i) {
            const QByteArray chunk = (Three + Three).mid(sent.size(), chunks[i]);
            sent += chunk;
            comm.receive(chunk);
            QCOMPARE(comm.notificationCount(), i > 0 ? counts[i - 1] : 0); // none from receive()
            comm.deliverNotifications();
            QCOMPARE(comm.notificationCount(), counts[i]);
        }
        if (inputLen == 19)
            QCOMPARE(got, (QList<QByteArray>{record('a'), record('b'), record('c')}));
        if (inputLen == 0 && counts.last() > 0) QCOMPARE(got.join(), sent);
    }

    void thresholdChangeDecidesPendingNotification() {
        for (const auto& [newThreshold, expected] : {std::pair{20, 0}, {0, 0}, {5, 1}}) {
            ScriptedSerialComm comm;
            comm.setOnComm([&] { comm.input(); });
            comm.setRThreshold(19);
            comm.receive(record('a')); // a notification is now on its way
            comm.setRThreshold(newThreshold);
            comm.deliverNotifications();
            QCOMPARE(comm.notificationCount(), expected);
        }
    }

    void handlerServingEventsIsNotReentered() {
        ScriptedSerialComm comm;
        comm.setInputLen(19);
        comm.setRThreshold(19);
        int depth = 0, deepest = 0;
        QList<QByteArray> records;
        comm.setOnComm([&] {
            deepest = std::max(deepest, ++depth);
            records << comm.input();
            if (records.size() == 1) {
                // A delay inside the handler serves events while the next record arrives.
                comm.receive(record('b'));
                comm.deliverNotifications();
            }
            --depth;
        });
        comm.receive(record('a'));
        comm.deliverNotifications();
        QCOMPARE(deepest, 1);
        QCOMPARE(records, (QList<QByteArray>{record('a'), record('b')}));
    }

    void lineSettingsParse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud"); // 0: refused
        QTest::addColumn<char>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        for (int baud : {9600, 19200, 38400, 57600, 115200})
            QTest::addRow("%d,o,7,1", baud)
                << QStringLiteral("%1,o,7,1").arg(baud) << baud << 'o' << 7 << 1;
        QTest::newRow("upper case, blanks") << "4800, N ,8, 2" << 4800 << 'n' << 8 << 2;
        for (const char* bad : {"9600,o,7", "9600,o,7,1,1", "fast,o,7,1", "0,o,7,1", "9600,x,7,1",
                                "9600,odd,7,1", "9600,o,9,1", "9600,o,4,1", "9600,o,7,3"})
            QTest::newRow(bad) << QString(bad) << 0 << ' ' << 0 << 0;
    }

    void lineSettingsParse() {
        QFETCH(QString, text);
        QFETCH(int, baud);
        LineSettings parsed;
        parsed.baud = -1; // shows whether a refused text touched the result
        QCOMPARE(LineSettings::parse(text, &parsed), baud > 0);
        QCOMPARE(parsed.baud, baud > 0 ? baud : -1);
        if (baud == 0) return;
        QTEST(parsed.parity, "parity");
        QTEST(parsed.dataBits, "dataBits");
        QTEST(parsed.stopBits, "stopBits");
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
        QCOMPARE(ports.portName(4), QString("/dev/ttyAMA0"));
        QCOMPARE(store.GetSetting("Varnex", "Ports", "Comm4"), QString("/dev/ttyAMA0"));
        QCOMPARE(store.values().size(), 2);

        // A run override stands behind one number at a time and is never stored.
        ports.setRunOverride(2, "/dev/pts/4");
        QCOMPARE(ports.portName(2), QString("/dev/pts/4"));
        QCOMPARE(ports.portName(4), QString("/dev/ttyAMA0"));
        ports.setRunOverride(3, "/dev/pts/5");
        QCOMPARE(ports.portName(2), QString("/dev/ttyXR7"));
        QCOMPARE(ports.portName(3), QString("/dev/pts/5"));
        ports.setRunOverride(1, QString()); // not the overridden number: no change
        QCOMPARE(ports.portName(3), QString("/dev/pts/5"));
        ports.setRunOverride(3, QString());
        QCOMPARE(ports.portName(3), defaults[2]);
        QCOMPARE(store.values().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestSerialComm)
#include "tst_serialcomm.moc"

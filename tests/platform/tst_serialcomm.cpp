// The receive rules of the serial component, the test port's delivery plans, the settings
// text and the port table.
#include "platform/PortTable.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/ScriptedSerialComm.h"

#include <QtTest>

using namespace platform;
using Delivery = ScriptedSerialComm::Delivery;

Q_DECLARE_METATYPE(Delivery)

namespace {

QByteArray record(char tag) {
    return QByteArray(18, tag) + '\r';
}

} // namespace

class TestSerialComm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inputIsBoundedByInputLen_data();
    void inputIsBoundedByInputLen();
    void notificationOnceThresholdIsReached_data();
    void notificationOnceThresholdIsReached();
    void handlerReadingOneRecordIsNotifiedForEach();
    void handlerIgnoringCharactersWaitsForMore();
    void thresholdChangeDecidesPendingNotification_data();
    void thresholdChangeDecidesPendingNotification();
    void handlerServingEventsIsNotReentered();
    void deliveryPlans_data();
    void deliveryPlans();
    void plansAreUsedInOrderByRealReplies();
    void lineSettingsParse_data();
    void lineSettingsParse();
    void portTableNames();
    void runOverrideCoversOneNumberAndIsNotStored();
};

void TestSerialComm::inputIsBoundedByInputLen_data() {
    QTest::addColumn<int>("inputLen");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<qint64>("left");
    const QByteArray line = record('a') + record('b') + record('c');
    QTest::newRow("0 takes everything") << 0 << line << qint64(0);
    QTest::newRow("one record") << 19 << record('a') << qint64(38);
    QTest::newRow("more than buffered") << 100 << line << qint64(0);
    QTest::newRow("negative means everything") << -4 << line << qint64(0);
    QTest::newRow("one character") << 1 << QByteArray("a") << qint64(56);
}

void TestSerialComm::inputIsBoundedByInputLen() {
    QFETCH(int, inputLen);
    QFETCH(QByteArray, expected);
    QFETCH(qint64, left);
    ScriptedSerialComm comm;
    comm.setInputLen(inputLen);
    comm.receive(record('a') + record('b') + record('c'));
    QCOMPARE(comm.input(), expected);
    QCOMPARE(comm.buffered(), left);
    QCOMPARE(comm.inBufferCount(), left);
}

void TestSerialComm::notificationOnceThresholdIsReached_data() {
    QTest::addColumn<int>("threshold");
    QTest::addColumn<QList<int>>("chunks");
    // Notifications counted after each chunk has arrived and events were served.
    QTest::addColumn<QList<int>>("counts");
    QTest::newRow("5 then 14 of 19") << 19 << QList<int>{5, 14} << QList<int>{0, 1};
    QTest::newRow("18 is not enough") << 19 << QList<int>{18} << QList<int>{0};
    QTest::newRow("threshold 0 never") << 0 << QList<int>{5, 14, 40} << QList<int>{0, 0, 0};
    QTest::newRow("one per arrival") << 1 << QList<int>{1, 3, 1} << QList<int>{1, 2, 3};
    QTest::newRow("all at once") << 19 << QList<int>{57} << QList<int>{1};
}

void TestSerialComm::notificationOnceThresholdIsReached() {
    QFETCH(int, threshold);
    QFETCH(QList<int>, chunks);
    QFETCH(QList<int>, counts);
    ScriptedSerialComm comm;
    comm.setRThreshold(threshold);
    QByteArray got;
    comm.setOnComm([&] {
        QCOMPARE(comm.commEvent(), SerialComm::CommEvReceive);
        got += comm.input();
    });
    QByteArray sent;
    for (int i = 0; i < chunks.size(); ++i) {
        const QByteArray chunk(chunks[i], char('a' + i));
        sent += chunk;
        comm.receive(chunk);
        QCOMPARE(comm.notificationCount(), 0 + (i > 0 ? counts[i - 1] : 0));
        comm.deliverNotifications();
        QCOMPARE(comm.notificationCount(), counts[i]);
    }
    if (counts.last() > 0) QCOMPARE(got, sent);
}

void TestSerialComm::handlerReadingOneRecordIsNotifiedForEach() {
    ScriptedSerialComm comm;
    comm.setInputLen(19);
    comm.setRThreshold(19);
    QList<QByteArray> records;
    comm.setOnComm([&] { records << comm.input(); });
    comm.receive(record('a') + record('b') + record('c'));
    comm.deliverNotifications();
    QCOMPARE(records, (QList<QByteArray>{record('a'), record('b'), record('c')}));
    QCOMPARE(comm.notificationCount(), 3);
    QCOMPARE(comm.buffered(), qint64(0));
}

void TestSerialComm::handlerIgnoringCharactersWaitsForMore() {
    ScriptedSerialComm comm;
    comm.setRThreshold(19);
    comm.setOnComm([] {});
    comm.receive(record('a'));
    comm.deliverNotifications();
    QCOMPARE(comm.notificationCount(), 1);
    QVERIFY(!comm.notificationPending());
    comm.deliverNotifications();
    QCOMPARE(comm.notificationCount(), 1);
    comm.receive("x");
    comm.deliverNotifications();
    QCOMPARE(comm.notificationCount(), 2);
}

void TestSerialComm::thresholdChangeDecidesPendingNotification_data() {
    QTest::addColumn<int>("newThreshold");
    QTest::addColumn<int>("expected");
    QTest::newRow("raised above buffered") << 20 << 0;
    QTest::newRow("turned off") << 0 << 0;
    QTest::newRow("lowered") << 5 << 1;
}

void TestSerialComm::thresholdChangeDecidesPendingNotification() {
    QFETCH(int, newThreshold);
    QFETCH(int, expected);
    ScriptedSerialComm comm;
    comm.setOnComm([&] { comm.input(); });
    comm.setRThreshold(19);
    comm.receive(record('a')); // a notification is now on its way
    comm.setRThreshold(newThreshold);
    comm.deliverNotifications();
    QCOMPARE(comm.notificationCount(), expected);
}

void TestSerialComm::handlerServingEventsIsNotReentered() {
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

void TestSerialComm::deliveryPlans_data() {
    QTest::addColumn<Delivery>("plan");
    QTest::addColumn<QByteArray>("afterFirst");
    QTest::addColumn<QByteArray>("afterSecond");
    QTest::newRow("whole") << Delivery::Whole << QByteArray("REPLY1\r") << QByteArray("REPLY2\r");
    QTest::newRow("split") << Delivery::Split << QByteArray("REP") << QByteArray("LY1\rREPLY2\r");
    QTest::newRow("garbled") << Delivery::Garbled << QByteArray("??PLY1\r")
                             << QByteArray("REPLY2\r");
    QTest::newRow("late") << Delivery::Late << QByteArray() << QByteArray("REPLY1\rREPLY2\r");
    QTest::newRow("dropped") << Delivery::Dropped << QByteArray() << QByteArray("REPLY2\r");
}

void TestSerialComm::deliveryPlans() {
    QFETCH(Delivery, plan);
    QFETCH(QByteArray, afterFirst);
    QFETCH(QByteArray, afterSecond);
    ScriptedSerialComm comm;
    comm.setResponder([](const QByteArray& cmd) {
        return cmd == "A\r" ? QByteArray("REPLY1\r") : QByteArray("REPLY2\r");
    });
    comm.planNext(plan);
    comm.output("A\r");
    QCOMPARE(comm.input(), afterFirst);
    comm.output("B\r");
    QCOMPARE(comm.input(), afterSecond);
    QCOMPARE(comm.written(), (QList<QByteArray>{"A\r", "B\r"}));
}

void TestSerialComm::plansAreUsedInOrderByRealReplies() {
    ScriptedSerialComm comm;
    comm.setResponder([](const QByteArray& cmd) { return cmd == "quiet" ? QByteArray() : cmd; });
    comm.planNext(Delivery::Dropped);
    comm.planNext(Delivery::Late);
    comm.output("quiet"); // no reply: the plans wait
    QCOMPARE(comm.plannedCount(), 2);
    comm.output("one");
    comm.output("two");
    QCOMPARE(comm.input(), QByteArray());
    QCOMPARE(comm.held(), QByteArray("two"));
    comm.releaseHeld();
    comm.output("three");
    QCOMPARE(comm.input(), QByteArray("twothree"));
}

void TestSerialComm::lineSettingsParse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("baud");
    QTest::addColumn<char>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    for (int baud : {9600, 19200, 38400, 57600, 115200})
        QTest::addRow("%d,o,7,1", baud)
            << QStringLiteral("%1,o,7,1").arg(baud) << true << baud << 'o' << 7 << 1;
    QTest::newRow("upper case, blanks") << "4800, N ,8, 2" << true << 4800 << 'n' << 8 << 2;
    QTest::newRow("empty") << "" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("three fields") << "9600,o,7" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("five fields") << "9600,o,7,1,1" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("speed not a number") << "fast,o,7,1" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("speed zero") << "0,o,7,1" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("unknown parity") << "9600,x,7,1" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("parity word") << "9600,odd,7,1" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("9 data bits") << "9600,o,9,1" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("4 data bits") << "9600,o,4,1" << false << 0 << ' ' << 0 << 0;
    QTest::newRow("3 stop bits") << "9600,o,7,3" << false << 0 << ' ' << 0 << 0;
}

void TestSerialComm::lineSettingsParse() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    LineSettings parsed;
    parsed.baud = -1; // shows whether a refused text touched the result
    QCOMPARE(LineSettings::parse(text, &parsed), valid);
    if (!valid) {
        QCOMPARE(parsed.baud, -1);
        return;
    }
    QTEST(parsed.baud, "baud");
    QTEST(parsed.parity, "parity");
    QTEST(parsed.dataBits, "dataBits");
    QTEST(parsed.stopBits, "stopBits");
}

void TestSerialComm::portTableNames() {
    MemorySettingsStore store;
    PortTable ports(store);
#ifdef Q_OS_WIN
    const QStringList defaults{"COM1", "COM2", "COM3", "COM4", "COM5"};
#else
    const QStringList defaults{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyS1",
                               "/dev/ttyACM0"};
#endif
    for (int n = 1; n <= PortTable::PortCount; ++n)
        QCOMPARE(ports.portName(n), defaults[n - 1]);
    QCOMPARE(ports.portName(0), QString());
    QCOMPARE(ports.portName(6), QString());

    store.SaveSetting(PortTable::AppName, PortTable::Section, "Comm2", "/dev/ttyXR7");
    ports.setPortName(4, "/dev/ttyAMA0");
    QCOMPARE(ports.portName(2), QString("/dev/ttyXR7"));
    QCOMPARE(store.GetSetting("Varnex", "Ports", "Comm4"), QString("/dev/ttyAMA0"));
    QCOMPARE(ports.portName(4), QString("/dev/ttyAMA0"));
    ports.setPortName(9, "/dev/null");
    QCOMPARE(store.values().size(), 2);
}

void TestSerialComm::runOverrideCoversOneNumberAndIsNotStored() {
    MemorySettingsStore store;
    PortTable ports(store);
    ports.setPortName(1, "/dev/ttyUSB3");
    ports.setRunOverride(1, "/dev/pts/4");
    QCOMPARE(ports.portName(1), QString("/dev/pts/4"));
    QVERIFY(ports.hasRunOverride(1));
    QVERIFY(!ports.hasRunOverride(2));
    QCOMPARE(ports.portName(2), PortTable::defaultName(2));
    QCOMPARE(store.GetSetting("Varnex", "Ports", "Comm1"), QString("/dev/ttyUSB3"));

    ports.setRunOverride(3, "/dev/pts/5"); // moves to another number
    QCOMPARE(ports.portName(1), QString("/dev/ttyUSB3"));
    QCOMPARE(ports.portName(3), QString("/dev/pts/5"));
    ports.setRunOverride(1, QString()); // not the overridden number: no change
    QCOMPARE(ports.portName(3), QString("/dev/pts/5"));
    ports.setRunOverride(3, QString());
    QCOMPARE(ports.portName(3), PortTable::defaultName(3));
    QCOMPARE(store.values().size(), 1);
}

QTEST_GUILESS_MAIN(TestSerialComm)
#include "tst_serialcomm.moc"

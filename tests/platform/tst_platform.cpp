// The platform: the serial component on the test port and on a pseudo-terminal whose far end
// the test plays, the port table, timer, clock, message boxes, settings and drawing surfaces
// (on a QImage, exact pixels; on the widget at a device pixel ratio of 2, as this test runs).
#include "platform/ImageSurface.h"
#include "platform/PortTable.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSerialComm.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtUserDialogs.h"
#include "platform/SurfaceWidget.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/ScriptedSerialComm.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>
#include <fcntl.h>
#include <functional>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using namespace platform;

using Draw = std::function<void(DrawSurface&)>;
using Points = QList<QPoint>;
using Records = QList<QByteArray>;
Q_DECLARE_METATYPE(Draw)

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

QMessageBox* boxShowing(const QString& text) {
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box && box->isVisible() && box->text() == text) return box;
    }
    return nullptr;
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

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

    // Notifications counted after each chunk has arrived and events were served.
    void notificationOnceThresholdIsReached_data() {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("inputLen"); // -1: the handler reads nothing
        QTest::addColumn<QList<int>>("chunks");
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
        Records got;
        comm.setOnComm([&] {
            QCOMPARE(comm.commEvent(), SerialComm::CommEvReceive);
            if (inputLen >= 0) got << comm.input();
        });
        QByteArray sent;
        for (int i = 0; i < chunks.size(); ++i) {
            sent += (Three + Three).mid(sent.size(), chunks[i]);
            comm.receive(sent.right(chunks[i]));
            QCOMPARE(comm.notificationCount(),
                     i > 0 ? counts[i - 1] : 0); // none from receive()
            comm.deliverNotifications();
            QCOMPARE(comm.notificationCount(), counts[i]);
        }
        if (inputLen == 19) QCOMPARE(got, (Records{record('a'), record('b'), record('c')}));
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
        Records records;
        comm.setOnComm([&] {
            deepest = std::max(deepest, ++depth);
            records << comm.input();
            if (records.size() == 1) {
                // A delay inside the handler serves events while the next one arrives.
                comm.receive(record('b'));
                comm.deliverNotifications();
            }
            --depth;
        });
        comm.receive(record('a'));
        comm.deliverNotifications();
        QCOMPARE(deepest, 1);
        QCOMPARE(records, (Records{record('a'), record('b')}));
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
        LineSettings s;
        s.baud = -1;
        s.parity = 0;
        s.dataBits = s.stopBits = 0;
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

    void ptyNotifiesOneRecordAtATime() {
        PtyLine l;
        QVERIFY(l.start() && l.open());
        l.comm.setRThreshold(19);
        l.comm.setInputLen(19);
        Records got;
        l.comm.setOnComm([&] { got << l.comm.input(); });
        QVERIFY(l.pty.write(Three.left(5)));
        QTRY_COMPARE(l.comm.inBufferCount(), qint64(5));
        QCoreApplication::sendPostedEvents(); // a notification would be posted by now
        QVERIFY(got.isEmpty());
        QVERIFY(l.pty.write(Three.mid(5)));
        QTRY_COMPARE(got, (Records{record('a'), record('b'), record('c')}));
    }

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
        if (openFirst) {
            QVERIFY(l.open());
            QCOMPARE(l.pty.outputBaud(), 9600);
            QVERIFY(l.pty.write("AB"));
            QTRY_COMPARE(l.comm.inBufferCount(), qint64(2));
        }
        QCOMPARE(l.comm.setSettings(text), baud > 0);
        QCOMPARE(l.comm.lastError().isEmpty(), baud > 0);
        QCOMPARE(l.comm.settings(), baud > 0 ? text : QString("9600,o,7,1"));
        if (!openFirst) {
            QVERIFY(l.pty.outputBaud() != baud); // a closed port is not touched
            QVERIFY(l.open());
        }
        QCOMPARE(l.pty.outputBaud(), baud > 0 ? baud : 9600);
        // Characters flow both ways; those that were waiting are kept: the port stayed open.
        l.comm.output("PING\r");
        QTRY_COMPARE(l.pty.collect(), QByteArray("PING\r"));
        QVERIFY(l.pty.write("PONG\r"));
        const QByteArray waiting = openFirst ? "ABPONG\r" : "PONG\r";
        QTRY_COMPARE(l.comm.inBufferCount(), qint64(waiting.size()));
        QCOMPARE(l.comm.input(), waiting);
        QVERIFY(l.comm.setPortOpen(false) && !l.comm.portOpen());
    }

    // With the pseudo-terminal open before, the reason names the device.
    void ptyOpenFailures_data() {
        QTest::addColumn<int>("portNo");
        QTest::addColumn<QString>("device");
        QTest::newRow("missing device") << 1 << "/dev/varnex-no-such-port";
        QTest::newRow("not a terminal") << 1 << "/dev/null";
        QTest::newRow("no such port number") << 6 << "6";
    }
    void ptyOpenFailures() {
        QFETCH(int, portNo);
        QFETCH(QString, device);
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

    void ptyUnpluggedProbeIsLostAndComesBack() {
        PtyLine l;
        QVERIFY(l.start() && l.open());
        QSignalSpy lost(&l.comm, &QtSerialComm::lineLost);
        QSignalSpy restored(&l.comm, &QtSerialComm::lineRestored);
        l.pty.unplug();
        QTRY_VERIFY(l.comm.portLost());
        QVERIFY(!l.comm.portOpen());
        QCOMPARE(l.comm.commEvent(), SerialComm::CommEvError);
        QCOMPARE(lost.count(), 1);

        // The probe comes back (on a new pseudo-terminal) while the program polls.
        Pty back;
        QVERIFY(back.open());
        l.ports.setRunOverride(1, back.name);
        const auto poll = [&] {
            l.comm.output("?\r");
            return l.comm.portOpen();
        };
        QTRY_VERIFY_WITH_TIMEOUT(poll(), 5000);
        QVERIFY(!l.comm.portLost());
        QCOMPARE(restored.count(), 1);
        QCOMPARE(back.outputBaud(), 9600);
        QTRY_VERIFY(back.collect().startsWith("?\r"));
        QVERIFY(back.write("OK\r"));
        QTRY_COMPARE(l.comm.inBufferCount(), qint64(3));
    }

    // The interval is whole milliseconds, rounded. The first tick restarts its timer and
    // serves events while the next ticks fall due.
    void ticksArriveAndAreNotReentered() {
        QtHiResTimer timer;
        for (const auto& [requested, expected] : {std::pair{0.2, 1.0}, {66.4, 66.0}, {2.5, 3.0}}) {
            timer.setInterval(requested);
            QCOMPARE(timer.interval(), expected);
        }
        int ticks = 0, depth = 0, deepest = 0;
        timer.setOnTimer([&] {
            deepest = std::max(deepest, ++depth);
            if (++ticks == 1) {
                timer.setEnabled(true);
                for (int i = 0; i < 5; ++i) {
                    QThread::msleep(3);
                    QCoreApplication::processEvents();
                }
            }
            --depth;
        });
        timer.setInterval(1);
        timer.setEnabled(true);
        QTRY_VERIFY(ticks >= 3);
        timer.setEnabled(false);
        QCOMPARE(deepest, 1);
    }

    // Anything still on its way arrives before a later timer's tick.
    void noTickAfterDisable_data() {
        QTest::addColumn<bool>("fromHandler");
        QTest::addColumn<int>("expected");
        QTest::newRow("overdue, disabled by the caller") << false << 0;
        QTest::newRow("disabled by its own handler") << true << 1;
    }
    void noTickAfterDisable() {
        QFETCH(bool, fromHandler);
        QtHiResTimer timer, later;
        int ticks = 0;
        bool laterTicked = false;
        timer.setOnTimer([&] {
            ++ticks;
            if (fromHandler) timer.setEnabled(false);
        });
        later.setOnTimer([&] { laterTicked = true; });
        timer.setInterval(1);
        later.setInterval(20);
        timer.setEnabled(true);
        if (fromHandler) QTRY_COMPARE(ticks, 1);
        QThread::msleep(10); // the period runs out while no events are served
        timer.setEnabled(false);
        later.setEnabled(true);
        QTRY_VERIFY(laterTicked);
        QTEST(ticks, "expected");
    }

    // The delay serves events and waits; the time of day is the local clock's.
    void clock() {
        QtClock clock;
        for (const double ms : {0.0, 20.0}) {
            bool served = false;
            QMetaObject::invokeMethod(
                this, [&] { served = true; }, Qt::QueuedConnection);
            const qint64 before = clock.monotonicMs();
            clock.delay(ms);
            QVERIFY(served);
            QVERIFY(clock.monotonicMs() - before >= qint64(ms));
        }
        // In a zone well away from UTC, so that a missing offset cannot pass unseen: five hours
        // 45 minutes east, no zone database needed.
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "XST-5:45");
        QtClock east;
        for (int i = 0; i < 2; ++i) { // the looked-up offset, then the kept one
            const double local = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
            const double seen = east.secondsSinceMidnight();
            QVERIFY2(std::abs(seen - local) < 1.0 || std::abs(seen - local) > 86399.0,
                     qPrintable(QString("%1 against %2").arg(seen).arg(local)));
        }
        qputenv("TZ", zone);
    }

    // A message opens once while it shows; a question is modal and returns the answer.
    void messageBoxes() {
        QtMessageBoxes boxes;
        boxes.inform(MsgIcon::Exclamation, "Probe not found");
        QMessageBox* box = boxShowing("Probe not found");
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QString("Varnex"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        boxes.inform(MsgIcon::Exclamation, "Probe not found");
        QCOMPARE(boxes.openCount(), 1);
        boxes.inform(MsgIcon::Critical, "Battery low", "Probe");
        QCOMPARE(boxes.openCount(), 2);
        QCOMPARE(boxShowing("Battery low")->windowTitle(), QString("Probe"));
        box->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!boxShowing("Probe not found"));
        QCOMPARE(boxes.openCount(), 1);
        boxes.inform(MsgIcon::Exclamation, "Probe not found");
        QCOMPARE(boxes.openCount(), 2);
        for (const auto button : {QMessageBox::Yes, QMessageBox::No}) {
            QTimer::singleShot(0, this, [&] {
                QMessageBox* question = boxShowing("Save the log?");
                QVERIFY(question && question->isModal());
                question->button(button)->click();
            });
            QCOMPARE(boxes.askYesNo(MsgIcon::Question, "Save the log?"),
                     button == QMessageBox::Yes);
        }
    }

    // The user's answers come back as given: each button of the save question, the text of
    // an input box or nothing when it is cancelled.
    void userDialogs() {
        QtUserDialogs dialogs;
        const auto answer = [this](auto act) {
            QTimer::singleShot(0, this, [act] {
                QWidget* shown = QApplication::activeModalWidget();
                QVERIFY(shown);
                act(shown);
            });
        };
        for (const auto& [button, choice] : {std::pair{QMessageBox::Save, SaveChoice::Save},
                                            std::pair{QMessageBox::Discard, SaveChoice::Discard},
                                            std::pair{QMessageBox::Cancel, SaveChoice::Cancel}}) {
            answer(
                [button](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(button)->click(); });
            QCOMPARE(dialogs.askSaveDiscardCancel("The log was not saved.", "Varnex"), choice);
        }
        answer([](QWidget* w) {
            auto* input = qobject_cast<QInputDialog*>(w);
            QCOMPARE((QStringList{input->windowTitle(), input->labelText(), input->textValue()}),
                     (QStringList{"Test Conditions", "Operator", "Ann"}));
            input->setTextValue("Bo");
            input->accept();
        });
        QCOMPARE(dialogs.inputBox("Operator", "Test Conditions", "Ann"),
                 std::optional<QString>("Bo"));
        answer([](QWidget* w) { qobject_cast<QInputDialog*>(w)->reject(); });
        QCOMPARE(dialogs.inputBox("Operator", "Test Conditions", "Ann"), std::nullopt);
    }

    void settingsRoundTrip() {
        QtSettingsStore store;
        const QString app = QStringLiteral("VarnexTest");
        QSettings(QtSettingsStore::Organisation, app).clear();
        QCOMPARE(store.GetSetting(app, "Ports", "Comm1", "/dev/ttyUSB0"), QString("/dev/ttyUSB0"));
        store.SaveSetting(app, "Ports", "Comm1", "/dev/ttyS3");
        QCOMPARE(store.GetSetting(app, "Ports", "Comm1", "/dev/ttyUSB0"), QString("/dev/ttyS3"));
        QCOMPARE(QSettings("Varnex", app).value("Ports/Comm1").toString(), QString("/dev/ttyS3"));
        QSettings(QtSettingsStore::Organisation, app).clear();
    }

    // 15 twips a pixel, in blue (0x0000FF is red in the image).
    void primitivesHitExactPixels_data() {
        QTest::addColumn<Draw>("draw");
        QTest::addColumn<Points>("drawn");
        QTest::addColumn<Points>("untouched");
        const Colour c = 0x0000FF;
        QTest::newRow("line includes both ends")
            << Draw([c](DrawSurface& s) { s.Line(150, 150, 300, 150, c); })
            << Points{{10, 10}, {15, 10}, {20, 10}} << Points{{9, 10}, {21, 10}};
        QTest::newRow("diagonal line") << Draw([c](DrawSurface& s) { s.Line(0, 0, 75, 75, c); })
                                       << Points{{0, 0}, {2, 2}, {5, 5}} << Points{{1, 0}, {6, 6}};
        QTest::newRow("box is an outline")
            << Draw([c](DrawSurface& s) { s.Box(300, 150, 150, 300, c); })
            << Points{{10, 10}, {20, 20}, {10, 15}, {15, 20}} << Points{{15, 15}, {21, 21}};
        QTest::newRow("filled box, corners either way")
            << Draw([c](DrawSurface& s) { s.FilledBox(300, 300, 150, 150, c); })
            << Points{{10, 10}, {15, 15}, {20, 20}} << Points{{9, 15}, {21, 15}};
        QTest::newRow("a pixel is floor(twips / 15), one wide")
            << Draw([c](DrawSurface& s) { s.PSet(29.99, 30, c); }) << Points{{1, 2}}
            << Points{{2, 2}, {1, 1}, {1, 3}};
        QTest::newRow("left of the image")
            << Draw([c](DrawSurface& s) { s.PSet(-1, 15, c); }) << Points{} << Points{{0, 1}};
        QTest::newRow("circle ring")
            << Draw([c](DrawSurface& s) { s.Circle(300, 300, 75, c); })
            << Points{{25, 20}, {15, 20}, {20, 15}, {20, 25}} << Points{{20, 20}, {26, 20}};
        QTest::newRow("line from far outside is clipped")
            << Draw([c](DrawSurface& s) { s.Line(-1e12, 150, 1e12, 150, c); })
            << Points{{0, 10}, {39, 10}} << Points{{0, 9}};
        QTest::newRow("not a number draws nothing")
            << Draw([c](DrawSurface& s) { s.Line(qQNaN(), 0, 150, 150, c); }) << Points{}
            << Points{{10, 10}, {0, 0}};
    }
    void primitivesHitExactPixels() {
        QFETCH(Draw, draw);
        QFETCH(Points, drawn);
        QFETCH(Points, untouched);
        ImageSurface s(QSize(40, 40));
        s.SetBackColor(0);
        s.Cls();
        draw(s);
        for (const QPoint& p : drawn + untouched)
            QVERIFY2(s.image().pixel(p) == (drawn.contains(p) ? qRgb(255, 0, 0) : qRgb(0, 0, 0)),
                     qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    }

    void coloursAreBgrAtTheBoundaryOnly() {
        QCOMPARE(PaletteColour(1), Colour(0x800000));
        QCOMPARE(PaletteColour(12), Colour(0x0000FF));
        QCOMPARE(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
        QCOMPARE(FromQColor(QColor(0x56, 0x34, 0x12)), Colour(0x123456));
        ImageSurface s(QSize(10, 10));
        s.SetBackColor(0x123456);
        s.Cls();
        QCOMPARE(s.image().pixel(3, 3), qRgb(0x56, 0x34, 0x12));
        QCOMPARE(s.pixelAt(45, 45), Colour(0x123456));
        QCOMPARE(s.pixelAt(150, 0), NoColour);
    }

    // Text lands inside its measured box, below and right of the point, in the fore colour.
    void textIsMeasuredInTwipsWhateverTheDensity() {
        ImageSurface normal(QSize(200, 50), 15.0);
        ImageSurface dense(QSize(400, 100), 7.5);
        const QString text = QStringLiteral("0.25m");
        QVERIFY(normal.TextHeight(text) > 100.0);
        QVERIFY(qAbs(dense.TextWidth(text) - normal.TextWidth(text)) <
                0.1 * normal.TextWidth(text));
        normal.SetBackColor(0);
        normal.SetForeColor(0xFFFFFF);
        normal.Cls();
        normal.Print(300, 150, text);
        const QRect box = QRectF(20, 10, normal.TextWidth(text) / 15, normal.TextHeight(text) / 15)
                              .toAlignedRect()
                              .adjusted(-1, -1, 1, 1);
        int inside = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 200; ++x)
                if (normal.image().pixel(x, y) != qRgb(0, 0, 0)) {
                    QVERIFY2(box.contains(x, y), "text outside its box");
                    ++inside;
                }
        QVERIFY(inside > 10);
    }

    // Logical pixel 10 is device pixel 20, drawn with a pen of 2. What the screen shows is the
    // backing image, also after a repaint and a resize; a press is reported in twips.
    void widgetKeepsDrawingAtDevicePixels() {
        SurfaceWidget w;
        w.resize(100, 60);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.image().size(), QSize(200, 120));
        QCOMPARE(w.ScaleWidth(), 1500.0);
        w.SetBackColor(0);
        w.Cls();
        w.Line(150, 150, 600, 150, 0x00FF00);
        QCOMPARE(w.image().pixel(20, 21), qRgb(0, 255, 0));
        QCOMPARE(w.image().pixel(20, 22), qRgb(0, 0, 0));
        w.repaint();
        QTRY_COMPARE(w.grab().toImage().pixel(30, 20), qRgb(0, 255, 0));
        w.resize(120, 80);
        QCOMPARE(w.image().size(), QSize(240, 160));
        QCOMPARE(w.image().pixel(30, 20), qRgb(0, 255, 0));
        QCOMPARE(w.image().pixel(230, 150), qRgb(0, 0, 0));
        QSignalSpy pressed(&w, &SurfaceWidget::mousePressed);
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(10, 20));
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(QPointF(pressed[0][2].toDouble(), pressed[0][3].toDouble()), QPointF(150, 300));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"

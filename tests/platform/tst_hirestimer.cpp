// The periodic timer and the clock's wait on Qt.
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"

#include <QThread>
#include <QtTest>

using namespace platform;

class TestHiResTimer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ticksArriveAndAreNotReentered() {
        QtHiResTimer timer;
        int ticks = 0, depth = 0, deepest = 0;
        timer.setOnTimer([&] {
            deepest = std::max(deepest, ++depth);
            if (++ticks == 1) {
                for (int i = 0; i < 5; ++i) {
                    QThread::msleep(3); // the next tick falls due meanwhile
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

    void noTickAfterDisable_data() {
        QTest::addColumn<bool>("fromHandler");
        QTest::addColumn<int>("expected");
        QTest::newRow("overdue, disabled by the caller") << false << 0;
        QTest::newRow("disabled by its own handler") << true << 1;
    }

    void noTickAfterDisable() {
        QFETCH(bool, fromHandler);
        QFETCH(int, expected);
        QtHiResTimer timer;
        int ticks = 0;
        timer.setOnTimer([&] {
            ++ticks;
            if (fromHandler) timer.setEnabled(false);
        });
        timer.setInterval(1);
        timer.setEnabled(true);
        if (fromHandler) {
            QTRY_COMPARE(ticks, 1);
        } else {
            QThread::msleep(10); // the period runs out while no events are served
            timer.setEnabled(false);
        }
        // Anything still on its way arrives before a later timer's tick.
        QtHiResTimer later;
        bool laterTicked = false;
        later.setOnTimer([&] { laterTicked = true; });
        later.setInterval(20);
        later.setEnabled(true);
        QTRY_VERIFY(laterTicked);
        QCOMPARE(ticks, expected);
    }

    void intervalIsWholeMilliseconds() {
        for (const auto& [requested, expected] : {std::pair{0.2, 1.0}, {66.4, 66.0}, {2.5, 3.0}}) {
            QtHiResTimer timer;
            timer.setInterval(requested);
            QCOMPARE(timer.interval(), expected);
        }
    }

    void qtDelayServesEventsAndWaits() {
        for (const double ms : {0.0, 20.0}) {
            QtClock clock;
            bool served = false;
            QMetaObject::invokeMethod(
                this, [&] { served = true; }, Qt::QueuedConnection);
            const qint64 before = clock.monotonicMs();
            clock.delay(ms);
            QVERIFY(served);
            QVERIFY(clock.monotonicMs() - before >= qint64(ms));
        }
    }
};

QTEST_GUILESS_MAIN(TestHiResTimer)
#include "tst_hirestimer.moc"

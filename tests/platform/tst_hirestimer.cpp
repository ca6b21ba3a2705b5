// The periodic timer on Qt, the test clock with its timers, and the Qt clock's wait.
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/fake/ManualClock.h"

#include <QThread>
#include <QtTest>

using namespace platform;

class TestHiResTimer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ticksArriveWhenEnabled();
    void noTickAfterDisable_data();
    void noTickAfterDisable();
    void handlerServingEventsIsNotReentered();
    void intervalIsWholeMilliseconds_data();
    void intervalIsWholeMilliseconds();
    void advanceFiresInTimeOrder();
    void handlersMayChangeTimers();
    void intervalChangeAndEnableRestartThePeriod();
    void delayMovesTimeWithoutFiring();
    void monotonicCountIgnoresTimeOfDay();
    void qtDelayServesEventsAndWaits_data();
    void qtDelayServesEventsAndWaits();
};

void TestHiResTimer::ticksArriveWhenEnabled() {
    QtHiResTimer timer;
    int ticks = 0;
    timer.setOnTimer([&] { ++ticks; });
    timer.setInterval(5);
    QVERIFY(!timer.enabled());
    timer.setEnabled(true);
    QTRY_VERIFY(ticks >= 3);
    timer.setEnabled(false);
}

void TestHiResTimer::noTickAfterDisable_data() {
    QTest::addColumn<bool>("fromHandler");
    QTest::addColumn<int>("expected");
    QTest::newRow("overdue, disabled by the caller") << false << 0;
    QTest::newRow("disabled by its own handler") << true << 1;
}

void TestHiResTimer::noTickAfterDisable() {
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
    QVERIFY(!timer.enabled());
}

void TestHiResTimer::handlerServingEventsIsNotReentered() {
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

void TestHiResTimer::intervalIsWholeMilliseconds_data() {
    QTest::addColumn<double>("requested");
    QTest::addColumn<double>("expected");
    QTest::newRow("below 1") << 0.2 << 1.0;
    QTest::newRow("zero") << 0.0 << 1.0;
    QTest::newRow("negative") << -30.0 << 1.0;
    QTest::newRow("rounds down") << 66.4 << 66.0;
    QTest::newRow("rounds half up") << 2.5 << 3.0;
    QTest::newRow("whole") << 250.0 << 250.0;
}

void TestHiResTimer::intervalIsWholeMilliseconds() {
    QFETCH(double, requested);
    QFETCH(double, expected);
    QtHiResTimer qtTimer;
    qtTimer.setInterval(requested);
    QCOMPARE(qtTimer.interval(), expected);
    ManualClock clock;
    auto manual = clock.createTimer();
    manual->setInterval(requested);
    QCOMPARE(manual->interval(), expected);
}

void TestHiResTimer::advanceFiresInTimeOrder() {
    ManualClock clock;
    QStringList log;
    auto a = clock.createTimer(), b = clock.createTimer(), c = clock.createTimer();
    const auto logAs = [&](const char* name) {
        return [&log, &clock, name] {
            log << QStringLiteral("%1@%2").arg(QLatin1String(name)).arg(clock.monotonicMs());
        };
    };
    a->setOnTimer(logAs("A"));
    b->setOnTimer(logAs("B"));
    c->setOnTimer(logAs("C"));
    a->setInterval(30);
    b->setInterval(20);
    c->setInterval(50);
    for (auto* t : {a.get(), b.get(), c.get()})
        t->setEnabled(true);
    clock.advance(100);
    QCOMPARE(log, QStringList({"B@20", "A@30", "B@40", "C@50", "A@60", "B@60", "B@80", "A@90",
                               "B@100", "C@100"}));
    QCOMPARE(clock.monotonicMs(), qint64(100));
    QCOMPARE(a->tickCount(), 3);
}

void TestHiResTimer::handlersMayChangeTimers() {
    ManualClock clock;
    QStringList log;
    auto a = clock.createTimer(), b = clock.createTimer();
    a->setInterval(10);
    b->setInterval(5);
    a->setOnTimer([&] {
        log << QStringLiteral("A@%1").arg(clock.monotonicMs());
        if (a->tickCount() == 1) {
            a->setInterval(25);
            b->setEnabled(true);
        }
    });
    b->setOnTimer([&] {
        log << QStringLiteral("B@%1").arg(clock.monotonicMs());
        b->setEnabled(false);
    });
    a->setEnabled(true);
    clock.advance(50);
    QCOMPARE(log, QStringList({"A@10", "B@15", "A@35"}));
    QCOMPARE(a->dueAt(), qint64(60));
}

void TestHiResTimer::intervalChangeAndEnableRestartThePeriod() {
    ManualClock clock;
    auto timer = clock.createTimer();
    timer->setOnTimer([] {});
    timer->setInterval(100);
    timer->setEnabled(true);
    clock.advance(60);
    timer->setInterval(50);
    QCOMPARE(timer->dueAt(), qint64(110));
    clock.advance(49);
    QCOMPARE(timer->tickCount(), 0);
    clock.advance(1);
    QCOMPARE(timer->tickCount(), 1);
    clock.advance(30);
    timer->setEnabled(true);
    QCOMPARE(timer->dueAt(), qint64(190));
    timer->setEnabled(false);
    timer->fire();
    clock.advance(500);
    QCOMPARE(timer->tickCount(), 1);
}

void TestHiResTimer::delayMovesTimeWithoutFiring() {
    ManualClock clock;
    auto timer = clock.createTimer();
    timer->setInterval(10);
    timer->setEnabled(true);
    clock.delay(35);
    clock.delay(2.5);
    QCOMPARE(timer->tickCount(), 0);
    QCOMPARE(clock.monotonicMs(), qint64(37));
    QCOMPARE(clock.delays(), (QList<double>{35, 2.5}));
    // The overdue tick comes once, and the next period starts from then.
    clock.advance(0);
    QCOMPARE(timer->tickCount(), 1);
    QCOMPARE(timer->dueAt(), qint64(47));
}

void TestHiResTimer::monotonicCountIgnoresTimeOfDay() {
    ManualClock clock(QDateTime(QDate(2024, 3, 14), QTime(23, 59, 59, 500)));
    auto timer = clock.createTimer();
    timer->setInterval(700);
    timer->setEnabled(true);
    clock.advance(1000);
    QCOMPARE(clock.now(), QDateTime(QDate(2024, 3, 15), QTime(0, 0, 0, 500)));
    QCOMPARE(clock.secondsSinceMidnight(), 0.5);
    QCOMPARE(timer->tickCount(), 1);

    clock.setNow(QDateTime(QDate(2024, 3, 14), QTime(23, 0))); // the clock is set back
    QCOMPARE(clock.monotonicMs(), qint64(1000));
    clock.advance(500);
    QCOMPARE(clock.monotonicMs(), qint64(1500));
    QCOMPARE(clock.now(), QDateTime(QDate(2024, 3, 14), QTime(23, 0, 0, 500)));
    QCOMPARE(timer->tickCount(), 2);
}

void TestHiResTimer::qtDelayServesEventsAndWaits_data() {
    QTest::addColumn<double>("ms");
    QTest::newRow("no wait") << 0.0;
    QTest::newRow("20 ms") << 20.0;
}

void TestHiResTimer::qtDelayServesEventsAndWaits() {
    QFETCH(double, ms);
    QtClock clock;
    bool served = false;
    QMetaObject::invokeMethod(
        this, [&] { served = true; }, Qt::QueuedConnection);
    const qint64 before = clock.monotonicMs();
    clock.delay(ms);
    QVERIFY(served);
    QVERIFY(clock.monotonicMs() - before >= qint64(ms));
}

QTEST_GUILESS_MAIN(TestHiResTimer)
#include "tst_hirestimer.moc"

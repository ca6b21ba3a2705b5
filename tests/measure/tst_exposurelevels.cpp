// The time average of the exposure, the warning and alarm levels, and the events file beside a
// log page, against values worked by hand.
#include "files/ExposureEvents.h"
#include "measure/ExposureLevels.h"

#include <QTest>
#include <cmath>
#include <ctime>

using measure::ExposureEvent;
using measure::ExposureLevel;

namespace {

QString Letter(ExposureLevel level) {
    return level == ExposureLevel::Alarm ? "A" : level == ExposureLevel::Warning ? "W" : "-";
}

// Step numbers stand for the times (step × 1 s) and the reading's value.
QString Step(qint64 ms) {
    return QString::number(ms / 1000);
}

} // namespace

class TestExposureLevels : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        qputenv("TZ", "UTC");
        tzset();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // decimal comma
    }

    void average_data() {
        QTest::addColumn<int>("window");
        // One second a word: its readings in V/m joined by '+', "-" for none.
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<double>("percent"); // -1: none
        QTest::addColumn<int>("covered");
        QTest::newRow("constant field") << 4 << "10 10 10 10" << 25.0 << 4;
        // 15 V/m would be 56.25 %.
        QTest::newRow("step: the mean of the squares") << 4 << "10 10 20 20" << 62.5 << 4;
        QTest::newRow("readings of a second, a second without")
            << 3 << "10+20 - 10+20" << 62.5 << 2;
        QTest::newRow("slid around twice") << 3 << "10 10 10 20 10 20 20 20" << 100.0 << 3;
        QTest::newRow("no second yet") << 3 << "- -" << -1.0 << 0;
        QTest::newRow("window of none is one") << 0 << "10 20" << 100.0 << 1;
        // 1e14 % leaves up to a sixty-fourth of a point in the running sum's last bits.
        QTest::newRow("huge then small") << 2 << "2e7 2e7 0.2 0.2" << 0.01 << 2;
    }
    void average() {
        QFETCH(int, window);
        QFETCH(QString, seconds);
        measure::ExposureAverage average;
        average.Start(window);
        for (const QString& second : seconds.split(u' ')) {
            for (const QString& reading : second.split(u'+')) // a 20 V/m limit, in power terms
                if (reading != u"-") average.Add(100.0 * std::pow(reading.toDouble() / 20, 2));
            average.Tick();
        }
        QTEST(average.SecondsCovered(), "covered");
        QTEST(average.Percent().value_or(-1), "percent");
    }

    void levels_data() {
        QTest::addColumn<int>("mode"); // 1: the warning watches the average; 2: latched
        // One step a word: "instant/averaged" (either "-" for none), "ack" or "clear".
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown");  // after each step, lower case when only latched
        QTest::addColumn<QString>("events"); // level, start-end steps: peak % @ its step
        QTest::addColumn<QString>("told");   // the listener: + begun, - ended
        const auto row = [](const char* name, int mode, const char* steps, const char* shown,
                            const char* events, const char* told) {
            QTest::newRow(name) << mode << QString(steps) << QString(shown) << QString(events)
                                << QString(told);
        };
        row("crossing up, peaks", 0, "49.9 50 80 120 120 90 20", "-WWAAW-", "W1-6:120@3 A3-5:120@3",
            "+W1 +A3 -A3-5 -W1-6");
        row("inside the hysteresis, absent", 0, "60 - 46 45 44.9 50", "WWWW-W",
            "W0-4:60@0 W5-:50@5", "+W0 -W0-4 +W5");
        row("averaged warning", 1, "120/- 120/55 10/52 10/44", "AAW-", "A0-2:120@0 W1-3:55@1",
            "+A0 +W1 -A0-2 -W1-3");
        row("latched until acknowledged", 2, "60 10 ack 120 ack 20 60 10", "Ww-AA-Ww",
            "W0-1:60@0 W3-5:120@3 A3-5:120@3 W6-7:60@6", "+W0 -W0-1 +W3 +A3 -W3-5 -A3-5 +W6 -W6-7");
        row("cleared while lasting", 0, "60 clear 70 10 60", "WWW-W", "W4-:60@4", "+W0 +W4");
    }
    void levels() {
        QFETCH(int, mode);
        QFETCH(QString, steps);
        measure::LevelSettings settings;
        if (mode == 1) settings.warningBasis = measure::LevelBasis::Averaged;
        settings.latch = mode == 2;
        measure::ExposureLevels levels;
        levels.SetSettings(settings);
        QStringList told, events;
        levels.SetListener([&told](const ExposureEvent& e, bool ended) {
            told << (ended ? "-" : "+") + Letter(e.level) + Step(e.startMs) +
                        (ended ? "-" + Step(e.endMs) : QString());
        });
        QString shown;
        const QStringList words = steps.split(u' ');
        const auto percent = [](const QString& text) {
            return text == u"-" ? std::nullopt : std::optional(text.toDouble());
        };
        for (qsizetype step = 0; step < words.size(); ++step) {
            const QStringList parts = words[step].split(u'/');
            if (words[step] == u"ack")
                levels.Acknowledge();
            else if (words[step] == u"clear")
                levels.ClearEvents();
            else
                levels.Update(step * 1000, percent(parts[0]), percent(parts.value(1, "-")),
                              double(step), QStringLiteral("V/m"));
            const ExposureLevel level = levels.Shown();
            shown += levels.Reached(level) ? Letter(level) : Letter(level).toLower();
        }
        QTEST(shown, "shown");
        for (const ExposureEvent& e : levels.Events())
            events << Letter(e.level) + Step(e.startMs) + "-" + (e.endMs ? Step(e.endMs) : "") +
                          ":" + QString::number(e.peakPercent) + "@" + QString::number(e.peakValue);
        QTEST(events.join(u' '), "events");
        QTEST(told.join(u' '), "told");
    }

    void eventsFile() {
        QCOMPARE(files::EventsFileName("dir/run.2.csv"), QString("dir/run.2_events.csv"));
        QCOMPARE(files::EventsFileName("dir.d/run"), QString("dir.d/run_events.csv"));
        const qint64 noon = 1796644800000; // 2026-12-07 12:00:00 UTC
        const std::vector<ExposureEvent> events{
            {ExposureLevel::Warning, noon + 1750, noon + 9000, 63.24, 13.4512, "V/m"},
            {ExposureLevel::Alarm, noon + 3600000, 0, 104.96, 12345.6, "(V/m)²"}};
        QCOMPARE(files::EventsFileText("ICNIRP 2020 general public", events),
                 QByteArray("Events,ICNIRP 2020 general public\r\n"
                            "Level,Start,End,Peak % of limit,Peak value,Units\r\n"
                            "Warning,2026-12-07 12:00:01,2026-12-07 12:00:09,63.2,13.45,V/m\r\n"
                            "Alarm,2026-12-07 13:00:00,,105.0,1.235e+04,(V/m)\xb2\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestExposureLevels)
#include "tst_exposurelevels.moc"

// The time average of the exposure, the warning and alarm levels, and the events file beside a
// log page, against values worked by hand.
#include "files/ExposureEvents.h"
#include "measure/ExposureLevels.h"

#include <QTest>
#include <ctime>

using measure::ExposureEvent;
using measure::ExposureLevel;
using measure::LevelBasis;
using measure::LevelSettings;

namespace {

// The share of a 20 V/m limit in power terms: 10 V/m is 25 %, 20 V/m is 100 %.
double Share(double vm) {
    return 100.0 * (vm / 20.0) * (vm / 20.0);
}

QChar Letter(ExposureLevel level) {
    return level == ExposureLevel::Alarm ? u'A' : level == ExposureLevel::Warning ? u'W' : u'-';
}

// Step numbers stand for the times (step × 1 s) and the reading's value.
QString StepOf(qint64 ms) {
    return QString::number(ms / 1000);
}

} // namespace

Q_DECLARE_METATYPE(LevelSettings)
Q_DECLARE_METATYPE(std::vector<ExposureEvent>)

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
        QTest::newRow("step: the mean of the squares") << 4 << "10 10 20 20" << 62.5 << 4;
        QTest::newRow("readings of one second") << 3 << "10+20 10+20" << 62.5 << 2;
        QTest::newRow("second without reading") << 3 << "10 - 20" << 62.5 << 2;
        QTest::newRow("slid around twice") << 3 << "10 10 10 20 10 20 20 20" << 100.0 << 3;
        QTest::newRow("no second yet") << 3 << "- -" << -1.0 << 0;
        QTest::newRow("window of none is one") << 0 << "10 20" << 100.0 << 1;
        // 1e14 % leaves up to a sixty-fourth of a point in the running sum's last bits.
        QTest::newRow("huge then small") << 2 << "2e7 2e7 0.2 0.2" << 0.01 << 2;
    }
    void average() {
        QFETCH(int, window);
        QFETCH(QString, seconds);
        QFETCH(double, percent);
        QFETCH(int, covered);
        measure::ExposureAverage average;
        average.Start(window);
        for (const QString& second : seconds.split(u' ')) {
            for (const QString& reading : second.split(u'+'))
                if (reading != u"-") average.Add(Share(reading.toDouble()));
            average.Tick();
        }
        QCOMPARE(average.SecondsCovered(), covered);
        if (percent < 0)
            QVERIFY(!average.Percent());
        else
            QCOMPARE(average.Percent().value_or(-1), percent);
    }

    void levels_data() {
        QTest::addColumn<LevelSettings>("settings");
        // One step a word: "instant/averaged" (either "-" for none), "ack" or "clear".
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown");  // after each step, lower case when only latched
        QTest::addColumn<QString>("events"); // level, start-end steps: peak % @ its step
        QTest::addColumn<QString>("told");   // the listener: + begun, - ended
        const LevelSettings plain;
        LevelSettings averaged;
        averaged.warningBasis = averaged.alarmBasis = LevelBasis::Averaged;
        LevelSettings latch;
        latch.latch = true;
        const auto row = [](const char* name, const LevelSettings& settings, const char* steps,
                            const char* shown, const char* events, const char* told) {
            QTest::newRow(name) << settings << QString(steps) << QString(shown) << QString(events)
                                << QString(told);
        };
        row("crossing up", plain, "49.9 50 60 120", "-WWA", "W1-:120@3 A3-:120@3", "+W1 +A3");
        row("inside the hysteresis", plain, "60 46 45 44.9 50", "WWW-W", "W0-3:60@0 W4-:50@4",
            "+W0 -W0-3 +W4");
        row("absent value", plain, "60 - 10 -", "WW--", "W0-2:60@0", "+W0 -W0-2");
        row("peaks", plain, "60 80 70 120 90 20", "WWWAW-", "W0-5:120@3 A3-4:120@3",
            "+W0 +A3 -A3-4 -W0-5");
        row("averaged basis", averaged, "120/- 120/55 10/52 10/44", "-WW-", "W1-3:55@1",
            "+W1 -W1-3");
        row("latched until acknowledged", latch, "60 10 ack 10", "Ww--", "W0-1:60@0", "+W0 -W0-1");
        row("acknowledged while reached", latch, "120 ack 20 60 10", "AA-Ww",
            "W0-2:120@0 A0-2:120@0 W3-4:60@3", "+W0 +A0 -W0-2 -A0-2 +W3 -W3-4");
        row("cleared while lasting", plain, "60 clear 70 10 60", "WWW-W", "W4-:60@4", "+W0 +W4");
    }
    void levels() {
        QFETCH(LevelSettings, settings);
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        QFETCH(QString, events);
        QFETCH(QString, told);
        measure::ExposureLevels levels;
        levels.SetSettings(settings);
        QStringList calls;
        levels.SetListener([&calls](const ExposureEvent& e, bool ended) {
            calls << (ended ? u'-' : u'+') + QString(Letter(e.level)) + StepOf(e.startMs) +
                         (ended ? u'-' + StepOf(e.endMs) : QString());
        });
        QString seen;
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
            seen += levels.Reached(level) ? Letter(level) : Letter(level).toLower();
        }
        QCOMPARE(seen, shown);
        QStringList got;
        for (const ExposureEvent& e : levels.Events())
            got << QString(Letter(e.level)) + StepOf(e.startMs) + u'-' +
                       (e.endMs ? StepOf(e.endMs) : QString()) + u':' +
                       QString::number(e.peakPercent) + u'@' + QString::number(e.peakValue);
        QCOMPARE(got.join(u' '), events);
        QCOMPARE(calls.join(u' '), told);
    }

    void eventsFileName() {
        const char* const names[][2] = {{"dir/run.csv", "dir/run_events.csv"},
                                        {"run", "run_events.csv"},
                                        {"dir.d/run", "dir.d/run_events.csv"},
                                        {"run.2.csv", "run.2_events.csv"}};
        for (const auto& [page, events] : names)
            QCOMPARE(files::EventsFileName(page), QString(events));
    }

    void eventsFileText_data() {
        QTest::addColumn<std::vector<ExposureEvent>>("events");
        QTest::addColumn<QByteArray>("text");
        const QByteArray head = "Events,ICNIRP 2020 general public\r\n"
                                "Level,Start,End,Peak % of limit,Peak value,Units\r\n";
        const qint64 noon = 1796644800000; // 2026-12-07 12:00:00 UTC
        QTest::newRow("none") << std::vector<ExposureEvent>{} << head;
        QTest::newRow("ended and lasting")
            << std::vector<ExposureEvent>{{ExposureLevel::Warning, noon + 1750, noon + 9000, 63.24,
                                           13.4512, "V/m"},
                                          {ExposureLevel::Alarm, noon + 3600000, 0, 104.96, 12345.6,
                                           "(V/m)²"},
                                          {ExposureLevel::Warning, noon + 3601000, 0, 50.0,
                                           0.0012341, "W/m²"}}
            << head + "Warning,2026-12-07 12:00:01,2026-12-07 12:00:09,63.2,13.45,V/m\r\n"
                      "Alarm,2026-12-07 13:00:00,,105.0,1.235e+04,(V/m)\xb2\r\n"
                      "Warning,2026-12-07 13:00:01,,50.0,0.001234,W/m\xb2\r\n";
    }
    void eventsFileText() {
        QFETCH(std::vector<ExposureEvent>, events);
        QFETCH(QByteArray, text);
        QCOMPARE(files::EventsFileText("ICNIRP 2020 general public", events), text);
    }
};

QTEST_GUILESS_MAIN(TestExposureLevels)
#include "tst_exposurelevels.moc"

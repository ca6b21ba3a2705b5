// The window on lines whose replies come late or in parts from the very first reply on, each
// beside the same probe on a clean line, all at once: each window logging from the probe's
// first sample, as with --record, read through its journal rows, and watched all along.
#include "bench/LoggerRuns.h"
#include "bench/WindowBench.h"
#include "files/LogJournal.h"
#include "window/Readouts.h"

#include <QTest>
#include <cmath>

namespace {

constexpr int LogSeconds = 20;

struct Case {
    const bench::LineFamily& family;
    const bench::LineFault& fault;
};
// Each faulted line follows the clean line of its probe.
const bench::LineFault& Clean = bench::LineFaults[0];
const Case Cases[] = {
    {bench::LineFamilies[0], Clean}, {bench::LineFamilies[0], bench::LineFaults[2]},
    {bench::LineFamilies[1], Clean}, {bench::LineFamilies[1], bench::LineFaults[3]},
    {bench::LineFamilies[2], Clean}, {bench::LineFamilies[2], bench::LineFaults[1]},
};

struct Journal {
    int layout = -1;
    QList<std::array<float, 9>> rows; // time of day as a day fraction, four values, four peaks
};

// The journal of a window's log.
Journal Read(const bench::WindowRun& run) {
    Journal j;
    QFile file(QDir(run.folder()).filePath(files::LogJournal::FileName));
    if (!file.open(QIODevice::ReadOnly)) return j;
    const QList<QByteArray> lines = file.readAll().split('\n');
    j.layout = lines.first().split('\t').value(1).toInt();
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        if (fields.first() == "L" || fields.first() == "E") continue; // the limit, its events
        if (fields.size() != 9) break;
        std::array<float, 9> row{};
        for (std::size_t f = 0; f < row.size(); ++f)
            row[f] = fields[qsizetype(f)].toFloat();
        j.rows.append(row);
    }
    return j;
}

double Seconds(const Journal& j) {
    return j.rows.size() < 2 ? 0 : (j.rows.last()[0] - j.rows.first()[0]) * 86400.0;
}

struct Window {
    bench::ProbeProcess probe;
    std::unique_ptr<bench::WindowRun> run;
    double foundAfterS = -1;
    QString noProbe; // what the readout showed when it said "No Probe" after the probe was found
};

} // namespace

class tst_WindowLineFaults : public QObject {
    Q_OBJECT
    std::vector<std::unique_ptr<Window>> windows;

private Q_SLOTS:
    void initTestCase() {
        QElapsedTimer since;
        since.start();
        for (const Case& c : Cases) {
            auto w = std::make_unique<Window>();
            QStringList args{"--model",  c.family.model, "--field",
                             "25,25,25", "--pattern",    "constant"};
            if (*c.fault.spec) args << "--fault" << c.fault.spec;
            QVERIFY(w->probe.start(args));
            w->run = std::make_unique<bench::WindowRun>(w->probe.line(),
                                                        files::Config(QString()).SampleRate);
            w->run->window().StartLogWhenRead();
            windows.push_back(std::move(w));
        }
        // A window's start-up waits with the splash shown, and holds up the ones started before:
        // the probes are found in a time counted from when all windows run.
        const qint64 allUp = since.elapsed();
        // Every 20 ms: the readout of a probe once found never says it is gone.
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            for (const auto& w : windows) {
                app::frmMain& f = w->run->window();
                if (w->foundAfterS < 0 && f.records().RecordCount() > 0)
                    w->foundAfterS = std::max<qint64>(0, since.elapsed() - allUp) / 1000.0;
                if (w->foundAfterS >= 0 && w->noProbe.isEmpty() &&
                    f.ui().readouts.LabXYZField->text() == QLatin1String("No Probe"))
                    w->noProbe = QStringLiteral("at %1 s").arg(since.elapsed() / 1000.0);
            }
        });
        watch.start(20);
        const auto logged = [&] {
            for (const auto& w : windows)
                if (Seconds(Read(*w->run)) < LogSeconds) return false;
            return true;
        };
        bench::WaitFor(logged, (30 + LogSeconds + 10) * 1000);
        watch.stop();
    }

    void readThroughItsJournal_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(Cases)); ++i)
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(
                Cases[i].family.model, *Cases[i].fault.spec ? Cases[i].fault.spec : "clean")))
                << i;
    }
    void readThroughItsJournal() {
        QFETCH(int, index);
        const Case& c = Cases[index];
        const Window& w = *windows[std::size_t(index)];
        QVERIFY2(w.foundAfterS >= 0 && w.foundAfterS <= 30,
                 qPrintable(w.run->window().StatusPanel(1)));
        QVERIFY2(w.noProbe.isEmpty(), qPrintable(w.noProbe));
        const Journal j = Read(*w.run);
        QVERIFY2(Seconds(j) >= LogSeconds, qPrintable(QString::number(Seconds(j))));
        const bool zeta = QByteArray(c.family.model).startsWith("PX-9");
        const double tolerance = zeta ? 0.01 : 0.001;
        const bool axes = j.layout == int(measure::RecordTable::Layout::Axes);
        for (const auto& row : j.rows) {
            bool field = std::abs(row[1] / (25 * std::sqrt(3.0)) - 1) <= tolerance;
            for (std::size_t a = 2; axes && a <= 4; ++a)
                field = field && std::abs(row[a] / 25.0 - 1) <= tolerance;
            QVERIFY2(field,
                     qPrintable(QString::asprintf("%g %g %g %g", double(row[1]), double(row[2]),
                                                  double(row[3]), double(row[4]))));
        }
        // Each late or split reply costs its delay, no more: at least half of what that leaves
        // of the clean line's rows a second.
        const Journal clean = Read(*windows[std::size_t(index - index % 2)]->run);
        const double cleanRate = clean.rows.size() / Seconds(clean);
        const double allows = bench::ShareAllowed(cleanRate, c.family.repliesPerRow, c.fault);
        const double rate = j.rows.size() / Seconds(j);
        qInfo("found after %.1f s; %.2f rows/s, %.0f %% of the clean line's (the faults allow "
              "%.0f %%)",
              w.foundAfterS, rate, 100 * rate / cleanRate, 100 * allows);
        QVERIFY2(rate >= 0.5 * allows * cleanRate, "fewer rows a second than the faults allow");
    }

    void cleanupTestCase() { windows.clear(); }
};

QTEST_MAIN(tst_WindowLineFaults)
#include "tst_window_linefaults.moc"

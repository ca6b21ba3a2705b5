// The whole window on a virtual Zeta probe at the sample rate "Max": the real serial port on a
// pseudo-terminal, the real timers, both graphs and the readouts on. Prints the samples taken
// per second against what the line allows, the share of one core this program used (the
// virtual probe runs in a process of its own), and the time from the port's notification of a
// complete sample to its point on the graph.
//
//   bench_window_zeta [seconds] [model]     (default 20 s, PX-9100)
// Targets: the rate the line allows, under 10 % of one core, under 16 ms a sample.
#include "app/frmMain.h"
#include "measure/RecordTable.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtSerialComm.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedModalRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

class NoChild : public platform::ChildProgram {
public:
    QString startAndReadLine(const QString&, const QStringList&, int, QString*) override {
        return {};
    }
    void stop() override {}
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop until done() or the time is up.
bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(2.0, atof(argv[1])) : 20.0;
    const QString model = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("PX-9100");

    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/varnex-probesim"),
              {QStringLiteral("--model"), model, QStringLiteral("--pattern"),
               QStringLiteral("sine"), QStringLiteral("--field"), QStringLiteral("5,8,11")});
    if (!sim.waitForStarted(5000) || !WaitFor([&] { return sim.canReadLine(); }, 5000)) {
        fprintf(stderr, "the virtual probe did not start\n");
        return 1;
    }
    const QString line = QString::fromLocal8Bit(sim.readLine()).trimmed();

    QTemporaryDir dir;
    platform::MemorySettingsStore settings;
    platform::PortTable ports(settings);
    platform::QtSerialComm port(ports);
    platform::QtClock clock;
    platform::RecordingMessageBoxes boxes;
    platform::ScriptedModalRunner modal;
    NoChild child;
    platform::Services services{
        port,      clock, boxes, settings,
        ports,     modal, child, [] { return std::make_unique<platform::QtHiResTimer>(); },
        dir.path()};
    app::Config config(dir.path());
    config.SampleRate = QStringLiteral("Max");
    app::SaveCfg(dir.filePath(QStringLiteral("Varnex.cfg")), config);

    app::frmMain window(services);
    window.SetRunPort(line);
    window.Form_Load();
    window.show();

    // Identification, calibration and the first samples.
    measure::RecordTable& records = window.records();
    records.Recording = measure::RecordTable::Logging;
    if (!WaitFor([&] { return records.RecordCount > 20; }, 30000)) {
        fprintf(stderr, "no samples from %s on %s\n", qPrintable(model), qPrintable(line));
        return 1;
    }

    // From the port's notification to the point on the graph, for notifications that brought
    // a sample.
    std::vector<double> latencyMs;
    latencyMs.reserve(100000);
    probe::PollingCycle& cycle = window.cycle();
    port.setOnComm([&] {
        const int before = records.RecordCount;
        QElapsedTimer taken;
        taken.start();
        cycle.OnComm();
        if (records.RecordCount != before) latencyMs.push_back(taken.nsecsElapsed() / 1e6);
    });

    records.RecordCount = 0;
    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(int(seconds * 1000), &app, &QCoreApplication::quit);
    app.exec();
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpuStart;
    const int samples = records.RecordCount;

    // A polled sample at 9600 baud, 7 data bits, parity and a stop bit: "S" CR out and 19
    // characters back, ten bits each.
    const double lineRate = 9600.0 / 10.0 / (2 + 19);
    std::sort(latencyMs.begin(), latencyMs.end());
    auto percentile = [&](double p) {
        return latencyMs.empty() ? 0.0 : latencyMs[size_t(p * double(latencyMs.size() - 1))];
    };
    double mean = 0;
    for (double l : latencyMs)
        mean += l;
    if (!latencyMs.empty()) mean /= double(latencyMs.size());

    printf("bench_window_zeta: %s at \"Max\", %.1f s, graphs and readouts on\n",
           qPrintable(window.probe().GetModel()), elapsed);
    printf("  samples              %d (%.1f per second; the line allows %.1f)\n", samples,
           samples / elapsed, lineRate);
    printf("  processor            %.2f s, %.1f %% of one core\n", cpu, 100.0 * cpu / elapsed);
    printf("  notification to graph  mean %.3f ms, 99th percentile %.3f ms, worst %.3f ms\n", mean,
           percentile(0.99), latencyMs.empty() ? 0.0 : latencyMs.back());
    window.close();
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}

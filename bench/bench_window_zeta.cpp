// The whole window on a virtual Zeta probe at the sample rate "Max": the real serial port on a
// pseudo-terminal, the real timers, both graphs and the readouts on. Prints the samples taken
// per second against what the line allows, the share of one core this program used (the
// virtual probe runs in a process of its own), and the time from the port's notification of a
// complete sample to its point on the graph.
//
//   bench_window_zeta [seconds] [model]     (default 20 s, PX-9100)
// Targets: the rate the line allows, under 10 % of one core, under 16 ms a sample.
#include "bench/WindowBench.h"
#include "measure/RecordTable.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <vector>

using bench::CpuSeconds;
using bench::WaitFor;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(2.0, atof(argv[1])) : 20.0;
    const QString model = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("PX-9100");

    bench::ProbeProcess sim;
    if (!sim.start({QStringLiteral("--model"), model, QStringLiteral("--pattern"),
                    QStringLiteral("sine"), QStringLiteral("--field"), QStringLiteral("5,8,11")}))
        return 1;
    const QString line = sim.line();
    bench::WindowRun run(line, QStringLiteral("Max"));
    app::frmMain& window = run.window();
    platform::QtSerialComm& port = run.port();

    // Identification, calibration and the first samples.
    measure::RecordTable& records = window.records();
    records.SetRecording(measure::RecordTable::Logging);
    if (!WaitFor([&] { return records.RecordCount() > 20; }, 30000)) {
        fprintf(stderr, "no samples from %s on %s\n", qPrintable(model), qPrintable(line));
        return 1;
    }

    // From the port's notification to the point on the graph, for notifications that brought
    // a sample.
    std::vector<double> latencyMs;
    latencyMs.reserve(100000);
    probe::PollingCycle& cycle = window.cycle();
    port.setOnComm([&] {
        const int before = records.RecordCount();
        QElapsedTimer taken;
        taken.start();
        cycle.OnComm();
        if (records.RecordCount() != before) latencyMs.push_back(taken.nsecsElapsed() / 1e6);
    });

    records.SetRecordCount(0);
    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(int(seconds * 1000), &app, &QCoreApplication::quit);
    app.exec();
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpuStart;
    const int samples = records.RecordCount();

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
    return 0;
}

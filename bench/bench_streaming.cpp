// The whole window on a virtual Zeta probe that streams its samples at 115200 baud: the real
// serial port on a pseudo-terminal, the real timers, both graphs and the readouts on. The probe
// reports the records it streamed, the window counts the records it took; prints both, the
// records lost, this program's processor time a record and its peak memory. Then a stress run
// in which the probe streams faster than the line would carry the records (ten times unless
// told).
//
//   bench_streaming [seconds] [stress seconds] [stress speed-up]    (default 60 s, 15 s, 10)
// Targets: no record lost at 115200 baud, under 2 % of one core, and at least 5000 records a
// second taken in the stress run.
#include "bench/WindowBench.h"
#include "measure/ClsZeta.h"
#include "window/LinkControl.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

using bench::CpuSeconds;
using bench::WaitFor;

namespace {

constexpr int FastestEntry = 5; // the link-speed menu entry "115.2 kBaud"
constexpr double LineRecordsPerSecond = 115200.0 / 10.0 / 19.0;

struct Result {
    QString model;
    qint64 sent = -1; // as the probe reports it
    qint64 processed = 0;
    double seconds = 0; // from the start of the stream until the probe is gone
    double cpu = 0;
    int interruptions = 0; // times the window stopped streaming while the probe streamed
};

bool Stream(double seconds, int speedup, Result* out) {
    bench::ProbeProcess sim;
    if (!sim.start({QStringLiteral("--model"), QStringLiteral("PX-9100"),
                    QStringLiteral("--pattern"), QStringLiteral("sine"), QStringLiteral("--field"),
                    QStringLiteral("5,8,11"), QStringLiteral("--stream-speedup"),
                    QString::number(speedup)}))
        return false;
    bench::WindowRun run(sim.line(), QStringLiteral("Max"));
    app::frmMain& window = run.window();
    probe::PollingCycle& cycle = window.cycle();

    // Identified and calibrated: field values come in.
    if (!WaitFor([&] { return window.zeta().XYZ() > 0; }, 30000)) {
        fprintf(stderr, "no field values from the probe on %s\n", qPrintable(sim.line()));
        return false;
    }
    out->model = window.probe().GetModel();
    const qint64 before = cycle.StreamRecordsTotal();
    window.link().mnuCommBaud_Click(FastestEntry);
    if (!WaitFor([&] { return cycle.HighSpeedState() == probe::HighSpeed::Streaming; }, 10000)) {
        fprintf(stderr, "the window did not start streaming (state %d)\n",
                int(cycle.HighSpeedState()));
        return false;
    }

    bool streaming = true;
    QTimer watch;
    watch.setInterval(100); // a switch of speeds back and forth takes longer than this
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const bool now = cycle.HighSpeedState() == probe::HighSpeed::Streaming;
        if (streaming && !now) ++out->interruptions;
        streaming = now;
    });
    watch.start();

    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    watch.stop();
    // The probe stops streaming and leaves the window the time to read what is on the line.
    out->sent = sim.stop();
    out->seconds = wall.nsecsElapsed() / 1e9;
    out->cpu = CpuSeconds() - cpuStart;
    WaitFor([] { return false; }, 200); // records still in the port's buffer
    out->processed = cycle.StreamRecordsTotal() - before;
    return out->sent >= 0;
}

const char* Met(bool met) {
    return met ? "met" : "MISSED";
}

// The targets beside the figures: none lost and under 2 % of one core at the pace of the line,
// at least 5000 records a second in the stress run.
void Print(const Result& r, bool stress) {
    const double core = 100.0 * r.cpu / r.seconds;
    const double perSecond = double(r.processed) / r.seconds;
    const qint64 lost = r.sent - r.processed;
    printf("  records sent         %lld (%.1f per second)\n", static_cast<long long>(r.sent),
           double(r.sent) / r.seconds);
    printf("  records processed    %lld (%.1f per second)", static_cast<long long>(r.processed),
           perSecond);
    if (stress) printf("   target at least 5000 a second: %s", Met(perSecond >= 5000));
    printf("\n  records lost         %lld", static_cast<long long>(lost));
    if (!stress) printf("   target none: %s", Met(lost == 0));
    printf("\n  processor            %.2f s, %.1f %% of one core, %.1f us a record", r.cpu, core,
           r.processed > 0 ? 1e6 * r.cpu / double(r.processed) : 0.0);
    if (!stress) printf("   target under 2 %%: %s", Met(core < 2));
    printf("\n  peak memory          %.1f MB\n", bench::PeakMemoryMB());
    printf("  stream interruptions %d\n", r.interruptions);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(2.0, atof(argv[1])) : 60.0;
    const double stressSeconds = argc > 2 ? std::max(2.0, atof(argv[2])) : 15.0;
    const int stressSpeedup = argc > 3 ? std::max(1, atoi(argv[3])) : 10;

    Result line;
    if (!Stream(seconds, 1, &line)) return 1;
    printf("bench_streaming: %s streaming at 115200 baud, %.1f s, graphs and readouts on\n",
           qPrintable(line.model), line.seconds);
    printf("  (the line carries %.1f records a second)\n", LineRecordsPerSecond);
    Print(line, false);

    Result stress;
    if (!Stream(stressSeconds, stressSpeedup, &stress)) return 1;
    printf("bench_streaming: stress, records sent %d times as fast as the line carries them, "
           "%.1f s\n",
           stressSpeedup, stress.seconds);
    Print(stress, true);
    return 0;
}

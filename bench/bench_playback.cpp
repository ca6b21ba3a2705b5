// Playback of a full log (32000 rows of total, X, Y, Z beside the time) at the sample rate
// "Max" in the whole window: the real timers and clock, both graphs and the readouts on, no
// probe on the line. Prints the rows played a second against the pace of one row per 14 ms,
// the processor share, and what one row costs.
//
//   bench_playback [seconds]     (default 5 s)
// Target: the pace, about 71 rows a second.
#include "bench/WindowBench.h"
#include "window/BarGraphControl.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/Player.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using bench::CpuSeconds;
using graph::clsGraph;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, atof(argv[1])) : 5.0;

    // A line that does not open: no probe answers, so the log may play.
    bench::WindowRun run(QStringLiteral("/nonexistent/varnex-bench-line"), QStringLiteral("Max"));
    app::frmMain& window = run.window();
    QCoreApplication::processEvents();

    // The table as loading a full log leaves it, and the window showing the stored view.
    std::vector<std::array<float, 5>> logRows;
    for (int r = 1; r <= clsGraph::MaxSamples; ++r) {
        const float wave = float(std::sin(r / 50.0));
        logRows.push_back({0.4f + float(r) / 86400.0f, 14.5f + 1.5f * wave, 5.0f + wave,
                           8.0f + 2.0f * wave, 11.0f - wave});
    }
    window.records().LoadLog(measure::RecordTable::Layout::Axes, QStringLiteral("V/m"),
                             QStringLiteral("PX-9100"), {}, logRows);
    window::GraphControls& ui = window.ui().graphs;
    ui.mnuViewScatterLive->setChecked(false);
    window.graphControl().mnuViewScatterLive_Click();
    ui.mnuProbePlay->setEnabled(true);
    QComboBox* rates = window.ui().link.CmbSampleRate;
    rates->setCurrentIndex(rates->findText(QStringLiteral("Max")));

    // Each row timed as the timer hands it over.
    window::Player& player = window.player();
    std::vector<double> rowMs;
    rowMs.reserve(size_t(seconds * 200));
    window.HRTPlay().setOnTimer([&] {
        QElapsedTimer taken;
        taken.start();
        player.HRTPlay_Tick();
        rowMs.push_back(double(taken.nsecsElapsed()) / 1e6);
    });

    ui.mnuProbePlay->trigger();
    if (!player.Playing()) {
        fprintf(stderr, "playback did not start: %s\n", qPrintable(run.boxes().texts().join('|')));
        return 1;
    }
    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    bench::WaitFor([&] { return !player.Playing(); }, int(seconds * 1000));
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = CpuSeconds() - cpuStart;
    const int rows = player.PlayIndex();
    player.StopPlayback();

    const double pace = 1000.0 / window::Player::MaxRatePlayMs;
    std::sort(rowMs.begin(), rowMs.end());
    double mean = 0;
    for (double ms : rowMs)
        mean += ms;
    if (!rowMs.empty()) mean /= double(rowMs.size());
    printf("bench_playback: 32000-row log at \"Max\", %.1f s, graphs and readouts on "
           "(readouts %d a second)\n",
           elapsed, window.displayTimers().TextUpdateRate());
    printf("  rows played          %d (%.1f per second; the pace is %.1f)\n", rows,
           double(rows) / elapsed, pace);
    printf("  processor            %.2f s, %.1f %% of one core\n", cpu, 100.0 * cpu / elapsed);
    printf("  one row              mean %.3f ms, worst %.3f ms\n", mean,
           rowMs.empty() ? 0.0 : rowMs.back());
    return 0;
}

// The logger on a line that delays or splits replies, against a clean line: for each probe
// family (a Sigma probe read axis by axis, the PX-2100, a Zeta and a Kappa probe) and each
// fault, side by side, how soon the probe was found, the rows a second logged, their share of
// the clean line's, whether every row is the field, and the exit code.
//
//   bench_linequality [seconds of logging]    (default 30)
//
// A late reply should cost its delay and nothing more: with one command in flight, a line with
// a reply D ms late in N slows the clean rate by about D/N ms a reply. That expectation is
// printed beside each share.
#include "bench/LoggerRuns.h"

#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 30;
    QList<bench::LineCase> cases;
    for (const bench::LineFamily& f : bench::LineFamilies)
        for (const bench::LineFault& fault : bench::LineFaults)
            cases.append({f.model, fault.spec, 25.0});
    QTemporaryDir folder;
    std::printf("%d s of logging each, %lld loggers side by side\n", seconds,
                static_cast<long long>(cases.size()));
    const std::vector<bench::LineRun> runs =
        bench::RunSideBySide(cases, seconds, folder.path(), (seconds + 90) * 1000);
    std::printf("%-8s %-12s %8s %6s %7s %9s %7s %6s %4s\n", "probe", "fault", "found s", "rows",
                "rows/s", "of clean", "expect", "field", "exit");
    bool allGood = true;
    std::size_t i = 0;
    for (const bench::LineFamily& f : bench::LineFamilies) {
        const double clean = runs[i].rowsPerSecond(seconds);
        for (const bench::LineFault& fault : bench::LineFaults) {
            const bench::LineRun& r = runs[i++];
            bool field = r.readError.isEmpty() && !r.log.rows.empty();
            for (const auto& row : r.log.rows)
                field = field && bench::RowIsTheField(r.line, row, r.log.valueColumns);
            const double expected = bench::ShareAllowed(clean, f.repliesPerRow, fault);
            const double share = clean > 0 ? r.rowsPerSecond(seconds) / clean : 0;
            std::printf("%-8s %-12s %8.1f %6zu %7.2f %8.0f%% %6.0f%% %6s %4d\n", f.model,
                        *fault.spec ? fault.spec : "clean", r.foundAfterS, r.log.rows.size(),
                        r.rowsPerSecond(seconds), share * 100, expected * 100, field ? "yes" : "NO",
                        r.exitCode);
            allGood = allGood && field && r.foundAfterS >= 0 && r.foundAfterS <= 30;
        }
    }
    std::printf("%s\n", allGood ? "every probe found within 30 s, every row the field"
                                : "FAIL: a probe not found within 30 s, or a row not the field");
    return allGood ? 0 : 1;
}

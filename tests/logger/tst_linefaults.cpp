// varnex-logger on a line whose replies come late or in parts from the very first reply on,
// every probe family against each fault and a clean line, all side by side on the real
// pseudo-terminal: the probe is found within 30 s, every row is the field, a late reply costs
// no more than its delay, and the exit code tells whether the run logged what the probe's pace
// allows.
#include "bench/LoggerRuns.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int LogSeconds = 20;

} // namespace

class tst_LineFaults : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::vector<bench::LineRun> runs;

private Q_SLOTS:
    void initTestCase() {
        QList<bench::LineCase> cases;
        for (const bench::LineFamily& f : bench::LineFamilies)
            for (const bench::LineFault& fault : bench::LineFaults)
                cases.append({f.model, fault.spec, 25.0});
        runs = bench::RunSideBySide(cases, LogSeconds, dir.path());
    }

    // The exit code: 0 for a clean line; 5 where the faults leave less than half the rows the
    // pace allows (a Sigma probe read axis by axis with a reply in seven late, a Zeta probe
    // with one in seven 900 ms late); where the line leaves close to half, the code follows
    // the figures the logger prints.
    void theRunIsLoggedAndTold_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("repliesPerRow");
        QTest::addColumn<int>("code"); // -1: as the printed figures say
        int index = 0;
        for (const bench::LineFamily& f : bench::LineFamilies) {
            for (const bench::LineFault& fault : bench::LineFaults) {
                const QString model(f.model);
                const QString spec(fault.spec);
                int code = spec.isEmpty() ? 0 : -1;
                if (model == "PX-5100" && spec.startsWith("late")) code = 5;
                if (model == "PX-9100" && spec == "late:900:7") code = 5;
                if (model == "E310" || (model == "PX-2100" && spec != "late:900:7")) code = 0;
                QTest::newRow(qPrintable(model + ' ' + (spec.isEmpty() ? "clean" : spec)))
                    << index++ << f.repliesPerRow << code;
            }
        }
    }
    void theRunIsLoggedAndTold() {
        QFETCH(int, index);
        QFETCH(int, repliesPerRow);
        QFETCH(int, code);
        const bench::LineRun& run = runs[std::size_t(index)];
        const bench::LineRun& clean = runs[std::size_t(index - index % 4)];
        const QByteArray errors = run.errors.toLocal8Bit();
        QVERIFY2(run.foundAfterS >= 0 && run.foundAfterS <= 30, errors.constData());
        QVERIFY2(run.readError.isEmpty(), qPrintable(run.readError));
        for (const auto& row : run.log.rows)
            QVERIFY2(
                bench::RowIsTheField(run.line, row, run.log.valueColumns),
                qPrintable(
                    QStringLiteral("%1 %2 %3 %4").arg(row[1]).arg(row[2]).arg(row[3]).arg(row[4])));
        // Late is not lost: the probe was never given up.
        QVERIFY2(!run.errors.contains("stopped answering"), errors.constData());
        // With one command in flight, each late or split reply costs its delay: at least half
        // of what that leaves of the clean line's rows.
        const double allows = bench::ShareAllowed(clean.rowsPerSecond(LogSeconds), repliesPerRow,
                                                  bench::LineFaults[index % 4]);
        QVERIFY2(double(run.log.rows.size()) >= 0.5 * allows * double(clean.log.rows.size()),
                 qPrintable(QStringLiteral("%1 rows, the clean line %2, the faults allow %3 %")
                                .arg(run.log.rows.size())
                                .arg(clean.log.rows.size())
                                .arg(allows * 100, 0, 'f', 0)));
        // The figures at the end, and the exit code that goes with them.
        const QRegularExpressionMatch figures =
            QRegularExpression("(\\d+) rows written of (\\d+) samples the probe delivered while "
                               "logging; its pace allowed (\\d+) rows")
                .match(run.errors);
        QVERIFY2(figures.hasMatch(), errors.constData());
        QCOMPARE(figures.captured(1).toLongLong(), qint64(run.log.rows.size()));
        QVERIFY(figures.captured(2).toLongLong() >= figures.captured(1).toLongLong());
        const bool shortLog = 2 * figures.captured(1).toDouble() < figures.captured(3).toDouble();
        QCOMPARE(run.exitCode, shortLog ? 5 : 0);
        if (code >= 0) QCOMPARE(run.exitCode, code);
        QCOMPARE(run.errors.contains("Less than half the rows"), shortLog);
    }
};

QTEST_GUILESS_MAIN(tst_LineFaults)
#include "tst_linefaults.moc"

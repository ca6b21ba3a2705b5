// The virtual probe keeps the settings a Sigma probe keeps, as the host's characterisation relies
// on them, and its Zeta calibration and samples, read as the host reads them, decode to the field
// the probe was given, in every gain range. Every model is identified end to end over a
// line in tst_probeline; the link speeds and streaming are exercised by the window's tests.
#include "tests/support/ProbeKit.h"
#include "tools/probesim/VirtualProbe.h"
#include "tools/probesim/ZetaProbe.h"

#include <QTest>
#include <cmath>

using namespace kit;
using probesim::FieldPlan;

namespace {

FieldPlan Constant(double x, double y, double z) {
    FieldPlan plan;
    for (int axis = 0; axis < 3; ++axis)
        plan.axes[axis].level = std::array{x, y, z}[axis];
    return plan;
}

bool Near(double got, double want) {
    return std::abs(got / want - 1.0) < 0.01;
}

// The host on a virtual probe, polled as the timer-mode polling cycle polls, from the link
// search on. The last reply to each command is kept.
struct HostOn : Bench {
    HostOn(const QString& model, const FieldPlan& plan)
        : probe(probesim::CreateProbe(model, plan)) {
        search([this](QByteArray command) {
            command.chop(1);
            return replies[command] = probe->answer(command, seconds += 0.05);
        });
    }
    // Polls until the host has named a model and is done characterising it.
    bool named(int state) {
        for (int i = 0; i < 200; ++i) {
            d->poll();
            if (!s.GetModel().isEmpty() && s.InitState() == 0 && s.TypeZeta() == state) return true;
        }
        return false;
    }

    std::unique_ptr<probesim::VirtualProbe> probe;
    double seconds = 0;
    QMap<QByteArray, QByteArray> replies;
};

// [axis][gain range - 1][segment - 1][a, b, p]
using Calibration = std::array<std::array<std::array<std::array<double, 3>, 2>, 4>, 3>;

// The host's reading of the calibration reply: undo the coding, 72 fields of eight characters,
// term fastest, then axis, then segment, then gain range.
bool Decode(QByteArray reply, Calibration* cal) {
    if (reply.size() != 579 || !reply.startsWith(":M") || !reply.endsWith('\r')) return false;
    reply.replace('A', '0').replace('B', '-').replace('D', '.');
    for (int f = 0; f < 72; ++f) {
        bool ok = false;
        (*cal)[f / 3 % 3][f / 18][f / 9 % 2][f % 3] = reply.mid(2 + 8 * f, 8).toDouble(&ok);
        if (!ok) return false;
    }
    return true;
}

// The host's field of one axis of a sample: gain code to gain range, segment by breakpoint.
double FieldOf(const Calibration& cal, int axis, int count, int gainCode) {
    const int range = gainCode == 0 ? 1 : gainCode == 1 ? 2 : gainCode == 16 ? 3 : 4;
    const int segment = count > std::array{550, 314, 1299, 525}[range - 1] ? 1 : 0;
    const auto& [a, b, p] = cal[axis][range - 1][segment];
    return a + b * std::pow(count, p);
}

} // namespace

class VirtualProbeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // "model|commands|replies"; of a data reply its value and axes. Field (15, 20, 5.5):
    // composite 25.60 V/m, 655.25 (V/m)².
    void sigmaProbeKeepsItsSettings_data() {
        QTest::addColumn<QString>("script");
        QTest::newRow("units cycle") << "PX-5100|UN UN UN U3 U4|:U :U :U :U :E";
        QTest::newRow("one units") << "PX-2200|U1 U2 UN|:U :E :E";
        QTest::newRow("RGE units 2 has no range 4")
            << "PX-5200 RGE|R4 U2 R3 U2 R4|:R4 :E :R3 :U :E";
        QTest::newRow("one axis") << "PX-5100|ADED D2 AXEE|:A 20.00DED :E";
        QTest::newRow("squared add up") << "PX-5100|U3 D2|:U 0.655EEE";
        QTest::newRow("one sensor") << "PX-5500/5505|ADED D2|:A 25.60EEE";
    }
    void sigmaProbeKeepsItsSettings() {
        QFETCH(QString, script);
        auto p = probesim::CreateProbe(script.section(u'|', 0, 0), Constant(15, 20, 5.5));
        QStringList got;
        for (const QString& c : script.section(u'|', 1, 1).split(u' ')) {
            const QByteArray reply = p->answer(c.toLatin1(), 0);
            got.append(reply.startsWith(":D") ? reply.mid(2, 5) + reply.mid(15, 3)
                                              : reply.trimmed());
        }
        QCOMPARE(got.join(u' '), script.section(u'|', 2));
    }

    void zetaIsIdentifiedAndDecodes_data() {
        QTest::addColumn<QString>("model");
        for (const QString& model : probesim::ZetaProbe::ModelNames())
            QTest::newRow(qPrintable(model)) << model;
    }
    void zetaIsIdentifiedAndDecodes() {
        QFETCH(QString, model);
        HostOn on(model, {});
        QVERIFY(on.named(probe::StateZeta));
        QCOMPARE(on.s.GetModel(), model);
        QCOMPARE(on.replies["I"].mid(6, 10), QByteArray("073020030A"));
        QCOMPARE(probe::Val(on.probe->answer("TC", 0).mid(2, 4)), 23.5); // Celsius at 3-6
        on.d->poll();
        QCOMPARE(on.host.autoNextCalls, QList<QByteArray>{":M0"}); // 579 characters arrived

        Calibration cal;
        QVERIFY(Decode(on.replies["M"], &cal));
        const auto& held = static_cast<probesim::ZetaProbe&>(*on.probe).calibration();
        for (int axis = 0; axis < 3; ++axis)
            for (int r = 1; r <= 4; ++r) {
                for (int s = 1; s <= 2; ++s) {
                    const auto& c = held.coefficients(axis, r, s);
                    QVERIFY(cal[axis][r - 1][s - 1] == (std::array{c.a, c.b, c.p}));
                }
                // Every gain range reads a positive field that grows with the count.
                double last = 0;
                for (int count = 1; count <= 4095; ++count) {
                    const double f = FieldOf(cal, axis, count, std::array{0, 1, 16, 255}[r - 1]);
                    QVERIFY2(f > last, qPrintable(QString("%1 %2 %3").arg(axis).arg(r).arg(count)));
                    last = f;
                }
            }

        // Samples of fields across all gain ranges decode to the plan within 1 %; beyond the
        // strongest range the count is full in gain range 4.
        QSet<int> gainCodes;
        for (const auto& want : {std::array{1.2, 3.0, 5.0}, std::array{20.0, 30.0, 45.0},
                                 std::array{100.0, 150.0, 240.0}, std::array{400.0, 700.0, 1e3}}) {
            const QByteArray sample =
                probesim::CreateProbe(model, Constant(want[0], want[1], want[2]))->answer("S", 0);
            for (int axis = 0; axis < 3; ++axis) {
                const int count = sample.mid(2 + 3 * axis, 3).toInt(nullptr, 16);
                const int gain = sample.mid(11 + 2 * axis, 2).toInt(nullptr, 16);
                gainCodes.insert(gain);
                QVERIFY2(Near(FieldOf(cal, axis, count, gain), want[axis]), sample.constData());
            }
        }
        QCOMPARE(gainCodes, (QSet<int>{0, 1, 16, 255}));
        const QByteArray over = probesim::CreateProbe(model, Constant(1e5, 0, 0))->answer("S", 0);
        QCOMPARE(over.mid(2, 3) + over.mid(11, 2), QByteArray("FFFFF"));
    }
};

QTEST_GUILESS_MAIN(VirtualProbeTest)
#include "tst_virtualprobe.moc"

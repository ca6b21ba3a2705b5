// The virtual probe against the host's own session code: every reply has the length the host
// waits for, every model is named by the real identification and characterisation, the Sigma
// replies agree with the host's multipliers and limits, and the Zeta calibration and samples
// decode to the field the probe was given.
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
    // "command:reply" where the reply is how it begins and its length ("~" is NUL).
    void everyReplyHasTheLengthTheHostWaitsFor_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("expect");
        const QMap<QString, QString> byFamily{
            {"Sigma", "R::R4 R1::R4 U1::U3 AEDD::A3 D2::D19 B::B8 TC::T8 TF::T8 Z::Z3 P1::P3 "
                      "~::N3 I::E3 D1::E3 M::E3"},
            {"Zeta", "I::I34 M::M579 S::S19 BP::B6 TC::T8 TF::T8 F1::F4 F2::F4 Z::Z3 P2::P3 "
                     "~::N3 R::E3 D2::E3"},
            {"Kappa", "I::I34 i::i25 D1::D11 B::B8 TC::T8 TF::T8 Z::Z3 R::E3 D2::E3"}};
        for (const QString& model : probesim::Models())
            for (const QString& expect :
                 byFamily[probesim::CreateProbe(model, {})->family()].split(u' '))
                QTest::addRow("%s %s", qPrintable(model), qPrintable(expect)) << model << expect;
    }
    void everyReplyHasTheLengthTheHostWaitsFor() {
        QFETCH(QString, model);
        QFETCH(QString, expect);
        QByteArray command = expect.section(u':', 0, 0).toLatin1().replace('~', '\0');
        const QByteArray begins = ":" + expect.section(u':', 2).left(1).toLatin1();
        const int length = expect.section(u':', 2).mid(1).toInt();
        const QByteArray got = probesim::CreateProbe(model, {})->answer(command, 1.0);
        QVERIFY2(got.startsWith(begins), got.constData());
        QCOMPARE(got.size(), length);
        QCOMPARE(got.indexOf('\r'), length - 1); // one terminator, at the end
    }

    // The real host names every Sigma model, then reads it in units 1 range 2 and, asked for
    // units 2, there. The field is (0.6, 0.8, 0) × F, so the composite is F.
    void everySigmaModelIsNamedByTheHost_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<double>("field");
        QTest::addColumn<QString>("units");
        QTest::addColumn<double>("shown");
        QTest::addColumn<QString>("units2"); // empty: a single-units model
        QTest::addColumn<double>("shown2");
        const QString two = QString(probe::SuperTwo);
        const QString mW = "mW/cm" + two, V2 = "(V/m)" + two, kV2 = "k(V/m)" + two;
        const QString mA2 = "m(A/m)" + two;
        QTest::newRow("PX-2100") << "PX-2100" << 20.0 << "mA" << 20.0 << "" << 0.0; // level in mA
        QTest::newRow("PX-2200") << "PX-2200" << 20.0 << "V/m" << 20.0 << "" << 0.0;
        QTest::newRow("PX-5100") << "PX-5100" << 20.0 << "V/m" << 20.0 << mW << 0.106101;
        QTest::newRow("RA") << "PX-5200 RA" << 200.0 << "mA/m" << 530.504 << mA2 << 281.434;
        QTest::newRow("RBE") << "PX-5200 RBE" << 20.0 << "V/m" << 20.0 << V2 << 400.0;
        QTest::newRow("RCE") << "PX-5200 RCE" << 80.0 << "mA/m" << 212.202 << mA2 << 45.030;
        QTest::newRow("RDE") << "PX-5200 RDE" << 2.0 << "V/m" << 2.0 << V2 << 4.0;
        // Reports A/m and (A/m)² (full scales 1 to 31.62 and 1 to 1000) under the host's labels.
        QTest::newRow("REE") << "PX-5200 REE" << 800.0 << "mA/m" << 2.12202 << mA2 << 4.50295;
        QTest::newRow("RFE") << "PX-5200 RFE" << 50.0 << "V/m" << 50.0 << kV2 << 2.5;
        QTest::newRow("RGE") << "PX-5200 RGE" << 200.0 << "V/m" << 200.0 << kV2 << 40.0;
        QTest::newRow("PX-5530") << "PX-5530" << 20.0 << "V/m" << 20.0 << V2 << 400.0;
        QTest::newRow("PX-5500/5505") << "PX-5500/5505" << 20.0 << "V/m" << 20.0 << mW << 0.106101;
        QTest::newRow("PX-5560") << "PX-5560" << 200.0 << "V/m" << 200.0 << mW << 10.6101;
        QTest::newRow("PX-5570") << "PX-5570" << 60.0 << "mA/m" << 159.151 << mW << 0.954907;
    }
    void everySigmaModelIsNamedByTheHost() {
        QFETCH(QString, model);
        QFETCH(double, field);
        QFETCH(QString, units);
        QFETCH(double, shown);
        QFETCH(QString, units2);
        QFETCH(double, shown2);
        HostOn on(model, Constant(0.6 * field, 0.8 * field, 0));
        QVERIFY(on.named(probe::StateSigma));
        QCOMPARE(on.s.GetModel(), model);
        on.d->run(40); // restores range and units, then polls
        QCOMPARE(on.s.Range(), 2);
        QCOMPARE(on.s.UnitsStr(), units);
        QVERIFY2(Near(on.s.XYZAxis(), shown), qPrintable(on.s.XYZAxisStr()));
        QVERIFY(on.host.messages.isEmpty());
        if (units2.isEmpty()) return;        // the current probes are not asked for the temperature
        QCOMPARE(on.s.Temperature(), 74.0f); // 23.5 °C in whole degrees Fahrenheit
        on.s.SetNextCmnd("U2\r");
        on.d->run(20);
        QCOMPARE(on.s.GetUnitsNo(), 2);
        QCOMPARE(on.s.UnitsStr(), units2);
        QVERIFY2(Near(on.s.XYZAxis(), shown2), qPrintable(on.s.XYZAxisStr()));
    }

    // In every units and range: the probe takes exactly the units and ranges the host's tables
    // give the model, and its number times the host's multiplier stands to the host's full
    // scale as its bar value and over-range flag say.
    void sigmaRepliesAgreeWithTheHostTables_data() {
        QTest::addColumn<QString>("model");
        for (const QString& model : probesim::Models())
            if (probesim::CreateProbe(model, {})->family() == u"Sigma")
                QTest::newRow(qPrintable(model)) << model;
    }
    void sigmaRepliesAgreeWithTheHostTables() {
        QFETCH(QString, model);
        probe::ModelTables host;
        host.installModel(model);
        host.installLimits(model);
        QMap<QPair<int, int>, int> inScale; // replies well inside the scale, by units and range
        for (double field = 0.01; field < 1e6; field *= 1.25) {
            auto p = probesim::CreateProbe(model, Constant(field, 0, 0));
            for (int u = 1; u <= 3; ++u) {
                p->answer("R1", 0);
                const bool unitsTaken = p->answer("U" + QByteArray::number(u), 0) == ":U\r";
                QCOMPARE(unitsTaken, u <= host.UnitsCount);
                for (int r = 1; unitsTaken && r <= 5; ++r) {
                    const bool rangeTaken = p->answer("R" + QByteArray::number(r), 0) != ":E\r";
                    QCOMPARE(rangeTaken, r <= host.maxRange(u));
                    const QByteArray data = p->answer("D2", 0);
                    if (!rangeTaken || data.mid(2, 5) == "99999") continue; // five nines: beyond
                    const auto text = probe::UnitsCodeToText(data.mid(7, 3), model, 0, r);
                    QVERIFY2(!text.text.isEmpty(), data.constData());
                    const double shown = host.multiplier(text.fieldKind, r) *
                                         probe::Val(data.mid(2, 5)) / host.overRange(u, r);
                    const int bar = data.mid(10, 3).toInt();
                    if (std::abs(shown - 1) > 0.002) QCOMPARE(data.at(13) == 'O', shown > 1);
                    if (bar < 10 || bar > 250) continue;
                    // the bar and the five characters are both rounded
                    QVERIFY2(std::abs(255 * shown - bar) <= 1.5, data.constData());
                    ++inScale[{u, r}];
                }
            }
        }
        for (int u = 1; u <= host.UnitsCount; ++u)
            for (int r = 1; r <= host.maxRange(u); ++r)
                QVERIFY2(inScale.value({u, r}) > 3, qPrintable(QString("%1 %2").arg(u).arg(r)));
    }

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

    // The E310 reads V/m, the H420 A/m; the field is 100 V/m.
    void kappaIsIdentified() {
        for (const auto& [model, units, shown] :
             {std::tuple{"E310", "V/m", 100.0}, std::tuple{"H420", "A/m", 100.0 / 377}}) {
            HostOn on(model, Constant(60, 80, 0));
            QVERIFY(on.named(probe::StateKappa));
            QCOMPARE(on.s.GetModel(), QString(model));
            on.d->run(10);
            QCOMPARE(on.host.softRev, QString("K2.14-0031"));
            QCOMPARE(on.host.calDate, QString("05/17/2024"));
            QCOMPARE(on.s.UnitsStr(), QString(units));
            QVERIFY2(Near(on.s.XYZAxis(), shown), qPrintable(on.s.XYZAxisStr()));
            QCOMPARE(on.s.Temperature(), 74.0f);
        }
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

    // "F1".."F5" switch to 9600..115200 baud; from 38400 on the first poll at the new speed
    // starts the stream of samples, and a poll restarts a stream that was stopped.
    void linkSpeed() {
        const int bauds[] = {9600, 19200, 38400, 57600, 115200};
        for (int code = 1; code <= 5; ++code) {
            auto p = probesim::CreateProbe("PX-9100", Constant(10, 10, 10));
            const QByteArray command = "F" + QByteArray::number(code);
            QCOMPARE(p->answer(command, 0), ":" + command + "\r");
            QCOMPARE(p->baud(), bauds[code - 1]);
            QVERIFY(!p->streaming());
            QCOMPARE(p->answer("S", 0.5), p->streamRecord(0.5));
            QCOMPARE(p->streaming(), code >= 3);
            p->stopStreaming();
            QCOMPARE(p->answer("S", 1.0), p->streamRecord(1.0));
            QCOMPARE(p->streaming(), code >= 3);
        }
    }

    // Level 10, swing 20, period 4: the value at a time; a sensor reads no less than 0.
    void patterns() {
        using Kind = probesim::AxisPattern::Kind;
        const std::tuple<Kind, double, double> cases[] = {
            {Kind::Constant, 3, 10}, {Kind::Sine, 1, 30},   {Kind::Sine, 7, -10},
            {Kind::Sine, -3, 30},    {Kind::Step, 5.9, 10}, {Kind::Step, 6, 30},
            {Kind::Ramp, 1, 15},     {Kind::Ramp, 11, 25}};
        for (const auto& [kind, seconds, value] : cases) {
            FieldPlan plan;
            plan.axes[1] = {kind, 10, 20, 4};
            const QByteArray where =
                QByteArray::number(int(kind)) + " at " + QByteArray::number(seconds);
            QVERIFY2(std::abs(plan.axes[1].valueAt(seconds) - value) < 1e-9, where);
            QVERIFY2(std::abs(plan.fieldAt(1, seconds) - std::max(value, 0.0)) < 1e-9, where);
        }
    }

    // 50 % draining 10 % a minute, read back with the host's conversions; the low-battery
    // flags of data, sample and identification replies.
    void batteryDrains_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("percent");
        QTest::newRow("Sigma") << "PX-5200 RA" << 120.0 << 30.0;
        QTest::newRow("PX-2200") << "PX-2200" << 60.0 << 40.0;
        QTest::newRow("Sigma flat") << "PX-5100" << 270.0 << 5.0;
        QTest::newRow("Kappa") << "H420" << 180.0 << 20.0;
        QTest::newRow("Zeta") << "PX-9120" << 150.0 << 25.0;
        QTest::newRow("Zeta empty") << "PX-9130" << 600.0 << 0.0;
    }
    void batteryDrains() {
        QFETCH(QString, model);
        QFETCH(double, seconds);
        QFETCH(double, percent);
        FieldPlan plan = Constant(20, 0, 0);
        plan.batteryPercent = 50;
        plan.batteryDrainPerMinute = 10;
        auto p = probesim::CreateProbe(model, plan);
        const bool low = percent < probesim::LowBatteryPercent;
        double got = 0;
        if (p->family() == u"Zeta") {
            got = p->answer("BP", seconds).mid(2, 2).toInt(nullptr, 16);
            QCOMPARE(p->answer("S", seconds).at(17) == 'F', low);
            QCOMPARE(p->answer("I", seconds).at(32) == 'F', low);
        } else {
            const double b = probe::Val(p->answer("B", seconds).mid(2, 5));
            got = p->family() == u"Kappa" ? (b * 0.545 - 2.2) * 100
                  : model == u"PX-2200"   ? (b - 9.333) / 0.006
                                          : (b - 3.5) / 0.006;
            if (p->family() == u"Sigma") QCOMPARE(p->answer("D2", seconds).at(14) == 'F', low);
        }
        QVERIFY2(std::abs(got - percent) < 0.5, qPrintable(QString::number(got)));
    }
};

QTEST_GUILESS_MAIN(VirtualProbeTest)
#include "tst_virtualprobe.moc"

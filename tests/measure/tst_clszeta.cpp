// The raw-diode calibration and field computation, against numbers worked by hand.
#include "measure/ClsZeta.h"
#include "tools/probesim/ZetaCalibration.h"

#include <QTest>
#include <cmath>
#include <functional>

using measure::ClsZeta;
using platform::MsgIcon;

namespace {

// Messages as the rig records them: "(i) " before those with the information icon.
const QString Error52 = "(i) Error 52 detected.  Please cycle probe power.  To prevent this error "
                        "from reoccurring switch to baud rate 9600.";
const QString BadLength =
    "Probe did not initialize properly.  Check battery and/or fiber optic connection.";
const QString BadChar = "(i) Error in initialing the probe.  Probe returned unrecognized "
                        "character.  Check battery or fiber optic connections if this message "
                        "continues.";

// A coefficient reply written out here, not by the virtual probe: every number in eight
// characters, "A" for the digit 0, "B" for the minus sign, "D" for the decimal point, in the
// order a, b, p / X, Y, Z / segment 1, 2 / gain range 1..4.
QByteArray Reply(const std::function<std::array<double, 3>(int r, int s, int axis)>& abp) {
    QByteArray reply(":M");
    for (int r = 1; r <= 4; ++r)
        for (int s = 1; s <= 2; ++s)
            for (int axis = 0; axis < 3; ++axis)
                for (double x : abp(r, s, axis))
                    reply += QString::asprintf("%08.3f", x)
                                 .toLatin1()
                                 .replace('0', 'A')
                                 .replace('-', 'B')
                                 .replace('.', 'D');
    return reply + '\r';
}

// a = ±(range + segment / 10), negative for Y; b = 1, 2, 3 for X, Y, Z (times scale); p = 1
// below the breakpoint and 0.5 above.
QByteArray Distinct(double scale = 1) {
    return Reply([scale](int r, int s, int axis) {
        return std::array<double, 3>{(axis == 1 ? -1 : 1) * (r + s / 10.0), (axis + 1) * scale,
                                     s == 1 ? 1.0 : 0.5};
    });
}

// Every table reads its count as V/m.
QByteArray Linear() {
    return Reply([](int, int, int) { return std::array<double, 3>{0, 1, 1}; });
}

QByteArray Sample(int cx, int cy, int cz, int gx = 0, int gy = 0, int gz = 0) {
    const auto hex = [](int v, int width) {
        return QByteArray::number(v, 16).toUpper().rightJustified(width, '0');
    };
    return ":S" + hex(cx, 3) + hex(cy, 3) + hex(cz, 3) + hex(gx, 2) + hex(gy, 2) + hex(gz, 2) +
           "N\r";
}

struct Rig {
    QStringList messages;
    ClsZeta z{[this](MsgIcon icon, const QString& text) {
        messages << (icon == MsgIcon::Information ? "(i) " : "") + text;
    }};
    explicit Rig(const QByteArray& coefficients = Linear()) { z.ParseCoeff(coefficients); }

    // "A<n>" averaging, "U<code>" units, "P<0|1>" peak-hold pause, "<count>[*<times>]"
    // samples of X in gain range 1 (Y and Z read count 0).
    void run(const QString& ops) {
        for (const QString& op : ops.split(' ', Qt::SkipEmptyParts)) {
            const int n = op.mid(1).toInt();
            if (op[0] == 'A')
                z.SetAveraging(n);
            else if (op[0] == 'U')
                z.SetUnits(n);
            else if (op[0] == 'P')
                z.PausePeakHold(n != 0);
            else
                for (int i = 0; i < (op.contains('*') ? op.section('*', 1).toInt() : 1); ++i)
                    z.ParseCalZeta(Sample(op.section('*', 0, 0).toInt(), 0, 0));
        }
    }
};

} // namespace

class ClsZetaTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Table values by field level (2000, 200 and 8 still belong to the next range down) around
    // each gain range's breakpoint. NaN: no value.
    void decodesHandBuiltReply_data() {
        QTest::addColumn<QString>("axis");
        QTest::addColumn<float>("level");
        QTest::addColumn<float>("count");
        QTest::addColumn<float>("expected");
        const auto row = [](const char* tag, const char* axis, float level, float count,
                            float expected) {
            QTest::newRow(tag) << QString(axis) << level << count << expected;
        };
        const float none = NAN;
        row("X r1 550", "X", 2000.5f, 550, 551.1f);
        row("X r1 551", "X Lin", 3000, 551, 24.673389f);
        row("Y r2 314", "Y", 2000, 314, 625.9f);
        row("Y r2 315", "Y Lin", 500, 314.6f, 33.296479f);
        row("Z r3 1299", "Z", 200, 1299, 3900.1f);
        row("Z r3 1300", "Z Lin", 9, 1300, 111.36654f);
        row("X r4 525", "X", 8, 525, 529.1f);
        row("X r4 4096", "X", 1, 4096, 68.2f);
        row("count 0", "Z", 3000, 0, 0);
        row("level 0", "X", 0, 10, none);
        row("count 4097", "X", 1, 4097, none);
        row("name x", "x", 1, 10, none);
    }
    void decodesHandBuiltReply() {
        QFETCH(QString, axis);
        QFETCH(float, level);
        QFETCH(float, count);
        QFETCH(float, expected);
        Rig rig(Distinct());
        QVERIFY(rig.messages.isEmpty());
        const std::optional<float> value = rig.z.CalculateFieldXYZ(axis, level, count);
        QCOMPARE(value.has_value(), !std::isnan(expected));
        if (value) QCOMPARE(*value, expected);
    }

    // Samples against the virtual probe's own calibration, in every gain range: the table and
    // the direct computation give the field the probe meant.
    void followsVirtualProbe() {
        const probesim::ZetaCalibration cal("PX-9120");
        Rig rig(cal.encodeReply());
        rig.z.SetAveraging(0);
        for (double field : {0.3, 4.0, 40.0, 150.0, 900.0}) {
            const auto x = cal.encode(0, field), z = cal.encode(2, field);
            rig.z.ParseCalZeta(Sample(x.count, 0, z.count, x.gainCode, 0, z.gainCode));
            QCOMPARE(rig.z.Xaxis(), float(cal.fieldFor(0, x.count, rig.z.SetGainDim(x.gainCode))));
            QCOMPARE(rig.z.Zaxis(), float(cal.fieldFor(2, z.count, rig.z.SetGainDim(z.gainCode))));
            QCOMPARE(rig.z.CalZ(z.count, z.gainCode), rig.z.Zaxis());
        }
        QCOMPARE(rig.z.CalX(0, 0), 0.f); // as the table: count 0 reads 0
        QVERIFY(rig.messages.isEmpty());
    }

    // A refused reply leaves coefficients and tables as they were, also when the fault comes
    // after numbers that could be read.
    void refusesBadReply_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("message");
        const QByteArray other = Distinct(2);
        QTest::newRow("578") << other.left(578) << BadLength;
        QTest::newRow("C in the last number") << QByteArray(other).replace(577, 1, "C") << BadChar;
        QTest::newRow("two points") << QByteArray(other).replace(2, 8, "AAADADAA") << BadChar;
    }
    void refusesBadReply() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, message);
        Rig rig(Distinct());
        QCOMPARE(rig.z.ParseCoeff(reply), 0);
        QCOMPARE(rig.messages, QStringList{message});
        QCOMPARE(rig.z.CalculateFieldXYZ("X", 3000, 550).value_or(0), 551.1f);
        QCOMPARE(rig.z.CalX(550, 0), 551.1f);
        QCOMPARE(rig.z.CalY(315, 1), 33.296479f);
    }

    // Warned once until a coefficient reply has been read. The axis without a range keeps its
    // value and its ring slots; the others go on.
    void unknownGainCode() {
        Rig rig;
        for (auto [code, range] : {std::pair{0, 1}, {1, 2}, {16, 3}, {255, 4}, {2, 0}, {15, 0}})
            QCOMPARE(rig.z.SetGainDim(code), range);
        QCOMPARE(rig.messages, QStringList{Error52});
        QCOMPARE(rig.z.ParseCoeff(Linear()), 1);
        rig.z.SetAveraging(2);
        rig.z.ParseCalZeta(Sample(10, 20, 20));
        rig.z.ParseCalZeta(Sample(30, 40, 10, 2, 0, 0)); // X: no range
        rig.z.ParseCalZeta(Sample(30, 40, 50, 0, 0, 7)); // Z: no range
        QCOMPARE(rig.messages, QStringList({Error52, Error52}));
        QCOMPARE(rig.z.Xaxis(), 15.f); // (30 + X's untouched slot 0) / 2
        QCOMPARE(rig.z.Yaxis(), 40.f);
        QCOMPARE(rig.z.Zaxis(), 15.f); // kept from the second sample
        QCOMPARE(rig.z.XNA(), 30.f);
        QCOMPARE(rig.z.ZNA(), 10.f);
        QCOMPARE(rig.z.MaxHoldZ(), 20.f);
        QCOMPARE(rig.z.MaxHoldXYZ(), 50.990195f); // 30, 40 and Z's last 10
        rig.z.ParseCalZeta(Sample(0, 0, 0));
        QCOMPARE(rig.z.Zaxis(), 10.f); // Z's ring kept 20 and 10 until now
        rig.z.ParseCoeff(Linear().left(100));
        rig.z.ParseCalZeta(Sample(0, 0, 0, 3, 3, 3));
        QCOMPARE(rig.messages, QStringList({Error52, Error52, BadLength}));
    }

    // After a sample of counts 3, 4, 12 (total 13).
    void sampleReply_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("xyz");
        QTest::addColumn<int>("countX");
        QTest::newRow("read") << QByteArray(":S00A01401E000000N\r") << 10.f << 37.416574f << 10;
        QTest::newRow("lower case") << QByteArray(":S00a01401e000000F") << 10.f << 37.416574f << 10;
        QTest::newRow("17 characters") << QByteArray(":S00A01401E000000") << 0.f << 13.f << 3;
        QTest::newRow("count not hex") << QByteArray(":S00A0G401E000000N") << 3.f << 13.f << 3;
        QTest::newRow("code not hex") << QByteArray(":S00A01401E00 000N") << 3.f << 13.f << 3;
    }
    void sampleReply() {
        QFETCH(QByteArray, reply);
        Rig rig;
        rig.z.SetAveraging(0);
        rig.z.ParseCalZeta(Sample(3, 4, 12));
        rig.z.ParseCalZeta(reply);
        QTEST(rig.z.Xaxis(), "x");
        QTEST(rig.z.XYZ(), "xyz");
        QTEST(rig.z.CountX(), "countX");
    }

    // Ten samples make the reference (no totals, holds or readouts meanwhile); then the means
    // are subtracted in V/m, before clamping and holds.
    void zeroReference() {
        Rig rig;
        rig.run("100*10");
        rig.z.SetRef();
        rig.z.ParseCalZeta(Sample(90, 90, 90, 0, 2, 0)); // incomplete: not taken
        for (int i = 1; i <= 10; ++i)
            rig.z.ParseCalZeta(Sample(i, 2, 3));
        QCOMPARE(rig.z.Xaxis(), 100.f);
        QCOMPARE(rig.z.XYZ(), 100.f);
        QCOMPARE(rig.z.MinHoldX(), 100.f);
        rig.z.ParseCalZeta(Sample(20, 10, 1));
        QCOMPARE(rig.z.XNA(), 14.5f);
        QCOMPARE(rig.z.YNA(), 8.f);
        QCOMPARE(rig.z.ZNA(), 0.f);
        QCOMPARE(rig.z.MinHoldZ(), -2.f);
        rig.z.ParseCalZeta(Sample(0, 2, 3));
        QCOMPARE(rig.z.MinHoldX(), -5.5f); // count 0 reads 0, minus the offset
        rig.z.ClearRef();
        rig.z.ParseCalZeta(Sample(20, 10, 1));
        QCOMPARE(rig.z.XNA(), 20.f);
        rig.z.SetRef();
        rig.run("7*3 A10 20");
        QCOMPARE(rig.z.XNA(), 20.f); // a new length ends the reference without offsets
    }

    // X samples; Y and Z read 0, so the total is X.
    void averageUnitsHolds_data() {
        QTest::addColumn<QString>("ops");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("maxX");
        const auto row = [](const char* tag, const char* ops, float x, float maxX) {
            QTest::newRow(tag) << QString(ops) << x << maxX;
        };
        row("rises by tenths", "10", 1, 10);
        row("rises: tenth", "10*10", 10, 10);
        row("holds take raw", "10 30 20", 6, 30);
        row("averaging 0", "A0 10 20", 20, 20);
        row("averaging 1", "A1 10 20", 20, 20);
        row("averaging 51 ignored", "A51 10 20", 3, 20);
        row("raised: present value", "A2 10 20 A4 30", 20, 30);
        row("peak paused", "A0 10 P1 30 P0 5", 5, 10);
        row("to mW/cm2", "A2 100 100 U1 50", 1.6578249f, 2.6525199f);
        row("to V2/m2", "A2 100 100 U2 50", 6250, 10000);
        row("mW/cm2 to V/m", "U1 A2 100 100 U0 50", 75, 100);
        row("same unit V/m", "A2 100 100 U0 50", 75, 100);
        row("unknown unit", "A2 100 100 U3 50", 75, 100);
        // A running sum in single precision would keep the rounding of the strong field.
        row("weak after strong", "U1 4095*10 61*20", 0.98700265f, 4447.9775f);
    }
    void averageUnitsHolds() {
        QFETCH(QString, ops);
        Rig rig;
        rig.run(ops);
        QTEST(rig.z.Xaxis(), "x");
        QTEST(rig.z.XYZ(), "x");
        QTEST(rig.z.MaxHoldX(), "maxX");
        QTEST(rig.z.MaxHoldXYZ(), "maxX");
    }

    // Counts 10, 20, 20 are 30 V/m in all.
    void totalsByUnit() {
        for (auto [units, total] : {std::pair{0, 30.f}, {1, 0.23872679f}, {2, 900.f}}) {
            Rig rig;
            rig.run("A0 U" + QString::number(units));
            rig.z.ParseCalZeta(Sample(10, 20, 20));
            QCOMPARE(rig.z.XYZ(), total);
            QCOMPARE(rig.z.XYZNA(), total);
            QCOMPARE(rig.z.MaxHoldXYZ(), total);
        }
        QCOMPARE(ClsZeta::ConvertUnit(1, 0, 1), 61.400326f);
    }

    // Count 4095 in gain range 1: table 4095 V/m, diode 4095 * 0.7326 mV / 2513.44 * 3.02.
    void equationType() {
        const float v = 0.0036046245f;
        const QString refused = "Equation type 1 and 2 not allowed setting to type 5.";
        for (auto [set, stored, x, volt] : {std::tuple{0, 0, 0.f, v},
                                            {1, 5, 4095.f, v},
                                            {2, 5, 4095.f, v},
                                            {3, 3, 4095.f, 0.f},
                                            {4, 4, 4095.f, 0.f}}) {
            Rig rig;
            rig.z.SetAveraging(0);
            rig.z.SetEquationType(set);
            QCOMPARE(rig.z.EquationType(), stored);
            QCOMPARE(rig.messages, stored == 5 ? QStringList{refused} : QStringList{});
            rig.z.ParseCalZeta(Sample(4095, 0, 0));
            QCOMPARE(rig.z.Xaxis(), x);
            QCOMPARE(rig.z.VoltDiodeX(), volt);
        }
    }
};

QTEST_APPLESS_MAIN(ClsZetaTest)
#include "tst_clszeta.moc"

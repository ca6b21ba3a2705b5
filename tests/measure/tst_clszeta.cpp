// The raw-diode calibration and field computation, against numbers worked by hand (against
// the virtual probe's own calibration: tst_polling).
#include "measure/ClsZeta.h"

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
                    for (char c : QString::asprintf("%08.3f", x).toLatin1())
                        reply += c == '0' ? 'A' : c == '-' ? 'B' : c == '.' ? 'D' : c;
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
    QByteArray s(":S");
    for (int v : {cx, cy, cz, gx, gy, gz})
        s += QByteArray::number(v, 16).toUpper().rightJustified(s.size() < 11 ? 3 : 2, '0');
    return s + "N\r";
}

// Readouts against the values worked by hand, each as QCOMPARE compares floats.
void expect(const QList<float>& got, const QList<float>& want) {
    for (qsizetype i = 0; i < want.size(); ++i)
        QVERIFY2(
            want[i] == 0 ? qFuzzyIsNull(got[i]) : qFuzzyCompare(got[i], want[i]),
            qPrintable(QStringLiteral("readout %1 is %2, not %3").arg(i).arg(got[i]).arg(want[i])));
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
        QTest::newRow("X r1 550") << QString("X") << 2000.5f << 550.f << 551.1f;
        QTest::newRow("X r1 551") << QString("X Lin") << 3000.f << 551.f << 24.673389f;
        QTest::newRow("Y r2 314") << QString("Y") << 2000.f << 314.f << 625.9f;
        QTest::newRow("Y r2 315") << QString("Y Lin") << 500.f << 314.6f << 33.296479f;
        QTest::newRow("Z r3 1299") << QString("Z") << 200.f << 1299.f << 3900.1f;
        QTest::newRow("Z r3 1300") << QString("Z Lin") << 9.f << 1300.f << 111.36654f;
        QTest::newRow("X r4 525") << QString("X") << 8.f << 525.f << 529.1f;
        QTest::newRow("X r4 4096") << QString("X") << 1.f << 4096.f << 68.2f;
        QTest::newRow("count 0") << QString("Z") << 3000.f << 0.f << 0.f;
        QTest::newRow("level 0") << QString("X") << 0.f << 10.f << float(NAN);
        QTest::newRow("count 4097") << QString("X") << 1.f << 4097.f << float(NAN);
        QTest::newRow("name x") << QString("x") << 1.f << 10.f << float(NAN);
    }
    void decodesHandBuiltReply() {
        QFETCH(QString, axis);
        QFETCH(float, level);
        QFETCH(float, count);
        QFETCH(float, expected);
        const std::optional<float> value = Rig(Distinct()).z.CalculateFieldXYZ(axis, level, count);
        QCOMPARE(value.has_value(), !std::isnan(expected));
        if (value) QCOMPARE(*value, expected);
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
        // X: (30 + its untouched slot 0) / 2; Z kept from the second sample; the peak total
        // of 30, 40 and Z's last 10.
        const ClsZeta& z = rig.z;
        expect({z.Xaxis(), z.Yaxis(), z.Zaxis(), z.XNA(), z.ZNA(), z.MaxHoldZ(), z.MaxHoldXYZ()},
               {15, 40, 15, 30, 10, 20, 50.990195f});
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
        rig.run("A0");
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
        expect({rig.z.Xaxis(), rig.z.XYZ(), rig.z.MinHoldX()}, {100, 100, 100});
        rig.z.ParseCalZeta(Sample(20, 10, 1));
        expect({rig.z.XNA(), rig.z.YNA(), rig.z.ZNA(), rig.z.MinHoldZ()}, {14.5f, 8, 0, -2});
        rig.z.ParseCalZeta(Sample(0, 2, 3));
        QCOMPARE(rig.z.MinHoldX(), -5.5f); // count 0 reads 0, minus the offset
        rig.z.ClearRef();
        rig.run("20");
        QCOMPARE(rig.z.XNA(), 20.f);
        rig.z.SetRef();
        rig.run("7*3 A10 20");
        QCOMPARE(rig.z.XNA(), 20.f); // a new length ends the reference without offsets
        rig.z.SetRef();
        rig.run("7");
        rig.z.ClearRef();
        rig.run("7*12 20");
        QCOMPARE(rig.z.XNA(), 20.f); // nor does a reference let go before it was complete
    }

    // X samples; Y and Z read 0, so the total is X.
    void averageUnitsHolds_data() {
        QTest::addColumn<QString>("ops");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("maxX");
        QTest::newRow("rises by tenths") << QString("10") << 1.f << 10.f;
        QTest::newRow("rises: tenth") << QString("10*10") << 10.f << 10.f;
        QTest::newRow("holds take raw") << QString("10 30 20") << 6.f << 30.f;
        QTest::newRow("averaging 0") << QString("A0 10 20") << 20.f << 20.f;
        QTest::newRow("averaging 1") << QString("A1 10 20") << 20.f << 20.f;
        QTest::newRow("averaging 51 ignored") << QString("A51 10 20") << 3.f << 20.f;
        QTest::newRow("raised: present value") << QString("A2 10 20 A4 30") << 20.f << 30.f;
        QTest::newRow("peak paused") << QString("A0 10 P1 30 P0 5") << 5.f << 10.f;
        QTest::newRow("to mW/cm2") << QString("A2 100 100 U1 50") << 1.6578249f << 2.6525199f;
        QTest::newRow("to V2/m2") << QString("A2 100 100 U2 50") << 6250.f << 10000.f;
        QTest::newRow("mW/cm2 to V/m") << QString("U1 A2 100 100 U0 50") << 75.f << 100.f;
        QTest::newRow("unknown unit") << QString("A2 100 100 U3 50") << 75.f << 100.f;
        // A running sum in single precision would keep the rounding of the strong field.
        QTest::newRow("weak after strong")
            << QString("U1 4095*10 61*20") << 0.98700265f << 4447.9775f;
    }
    void averageUnitsHolds() {
        QFETCH(QString, ops);
        QFETCH(float, x);
        QFETCH(float, maxX);
        Rig rig;
        rig.run(ops);
        expect({rig.z.Xaxis(), rig.z.XYZ(), rig.z.MaxHoldX(), rig.z.MaxHoldXYZ()},
               {x, x, maxX, maxX});
    }

    // Counts 10, 20, 20 are 30 V/m in all: the root of the squares in V/m, the sum otherwise.
    void totalsByUnit() {
        for (auto [units, total] : {std::pair{0, 30.f}, {1, 0.23872679f}, {2, 900.f}}) {
            Rig rig;
            rig.run("A0 U" + QString::number(units));
            rig.z.ParseCalZeta(Sample(10, 20, 20));
            expect({rig.z.XYZ(), rig.z.XYZNA(), rig.z.MaxHoldXYZ()}, {total, total, total});
        }
        QCOMPARE(ClsZeta::ConvertUnit(1, 0, 1), 61.400326f);
    }
};

QTEST_APPLESS_MAIN(ClsZetaTest)
#include "tst_clszeta.moc"

// Feeds a million recorded Sigma data replies through the scheduler and the parser, in the
// order the polling cycle uses, and prints how many replies a second the engine handles.
// The line carries at most about 600 replies a second.
#include "probe/clsProbe.h"

#include <QElapsedTimer>
#include <QList>
#include <cstdio>

namespace {

class QuietHost : public probe::ProbeHost {
public:
    QByteArray AutoNextCmndS(const QByteArray&, const QByteArray&) override { return "S\r"; }
    void ShowMessage(platform::MsgIcon, const QString&) override { ++messages; }
    void Delay(double) override {}
    void SetProbeIdentity(const QString&, const QString&) override {}
    void SetProbeSoftRev(const QString&) override {}
    int messages = 0;
};

QByteArray Data(const char* value, const char* units, int bar, char over, const char* axes) {
    QByteArray r = QByteArray(":D") + QByteArray(value).rightJustified(5, ' ') + units;
    r += QByteArray::number(bar).rightJustified(3, '0') + over + 'N' + axes + '\r';
    return r;
}

// The replies of a PX-5100 to identification and characterisation, as a probe in range 2 and
// its first units gives them.
QList<QByteArray> Identification() {
    const QByteArray v = Data("12.50", " V ", 100, ' ', "EEE");
    const QByteArray vDee = Data("12.50", " V ", 100, ' ', "DEE");
    const QByteArray mw = Data("0.125", "MW2", 100, ' ', "DEE");
    const QByteArray kv2 = Data("1.250", "KV2", 100, ' ', "DEE");
    return {":E\r",  ":R2\r", ":R2\r", ":E\r", ":E\r",  v,           ":R1\r",
            ":A\r",  ":U\r",  ":R1\r", vDee,   ":R2\r", vDee,        ":U\r",
            ":R1\r", mw,      ":R2\r", mw,     ":U\r",  ":R3\r",     kv2,
            ":U\r",  ":R4\r", vDee,    ":A\r", ":R2\r", ":B 95.0\r", ":T 23   \r"};
}

struct Result {
    double perSecond;
    double nsPerReply;
};

Result Run(bool threeAxis, int count) {
    QuietHost host;
    probe::clsProbe s(host);
    if (threeAxis) s.SetMultiplexPrefered(1);
    s.SetAverage(10);
    s.SetTypeZeta(probe::StateIdentifying);
    s.SetLostComm(1);
    s.GetNextCmnd(QByteArray());
    for (const QByteArray& reply : Identification()) {
        s.GetNextCmnd(reply);
        s.InputStr(reply);
    }
    if (s.GetModel() != QLatin1String("PX-5100")) {
        std::fprintf(stderr, "identification failed: '%s'\n", qPrintable(s.GetModel()));
        std::exit(1);
    }
    // A recorded stretch of service: readings moving about, the odd over-range reply, and in
    // 3-axis mode the axis acknowledgements between the readings.
    QList<QByteArray> recorded;
    const char* values[] = {"12.50", "12.61", "12.38", "13.02", "11.97", "12.44", "35.10"};
    const char* axes[] = {"EDD", "DED", "DDE"};
    for (int i = 0; i < 64; ++i) {
        const char over = (i % 16 == 15) ? 'O' : ' ';
        recorded.append(Data(values[i % 7], " V ", 90 + i, over, threeAxis ? axes[i % 3] : "EEE"));
        if (threeAxis) recorded.append(":A\r");
    }
    QElapsedTimer timer;
    timer.start();
    qint64 sink = 0;
    for (int i = 0; i < count; ++i) {
        const QByteArray& reply = recorded[i % recorded.size()];
        sink += s.GetNextCmnd(reply).size();
        sink += s.InputStr(reply);
    }
    const qint64 ns = timer.nsecsElapsed();
    if (sink == 0) std::fprintf(stderr, "nothing happened\n");
    return {count / (ns / 1e9), double(ns) / count};
}

} // namespace

int main() {
    const int count = 1'000'000;
    const Result single = Run(false, count);
    const Result axes = Run(true, count);
    std::printf("replies: %d per run\n", count);
    std::printf("composite readings: %.0f replies/s (%.0f ns each)\n", single.perSecond,
                single.nsPerReply);
    std::printf("3-axis readings:    %.0f replies/s (%.0f ns each)\n", axes.perSecond,
                axes.nsPerReply);
    std::printf("the line carries at most about 600 replies/s: %.4f%% of one core\n",
                600.0 / std::min(single.perSecond, axes.perSecond) * 100.0);
    return 0;
}

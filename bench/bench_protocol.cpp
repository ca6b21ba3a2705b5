// Feeds a million recorded Sigma data replies, as the line delivers them (in pieces of a few
// characters), through the reply framer, the scheduler and the parser, in the order the polling
// cycle uses, and prints how many replies a second the engine handles (target: over a million).
// The line carries at most about 600 replies a second.
#include "probe/ReplyFramer.h"
#include "probe/clsProbe.h"

#include <QElapsedTimer>
#include <QList>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

// Every allocation of the program is counted, to show what framing costs in allocations.
namespace {
std::atomic<long long> Allocations{0};
}
void* operator new(std::size_t size) {
    ++Allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

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

// The framer alone on the same line: replies a second, and allocations in all.
struct Framing {
    double perSecond;
    long long allocations;
};

Framing FrameOnly(const QByteArray& line, int count) {
    probe::ReplyFramer framer;
    QByteArray reply;
    reply.reserve(64);
    int replies = 0;
    qsizetype sink = 0;
    const long long before = Allocations;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype at = 0; replies < count;) {
        const qsizetype piece = std::min<qsizetype>(7, line.size() - at);
        framer.Append(line.constData() + at, piece);
        at = at + piece < line.size() ? at + piece : 0;
        while (framer.Next(&reply)) {
            sink += reply.size();
            ++replies;
        }
    }
    const qint64 ns = timer.nsecsElapsed();
    if (sink == 0) std::fprintf(stderr, "nothing framed\n");
    return {replies / (ns / 1e9), Allocations - before};
}

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
    // The line delivers seven characters a read.
    QByteArray line;
    for (const QByteArray& reply : recorded)
        line += reply;
    constexpr qsizetype Piece = 7;
    probe::ReplyFramer framer;
    QByteArray reply;
    QElapsedTimer timer;
    timer.start();
    qint64 sink = 0;
    int replies = 0;
    for (qsizetype at = 0; replies < count;) {
        const qsizetype piece = std::min(Piece, line.size() - at);
        framer.Append(line.constData() + at, piece);
        at = at + piece < line.size() ? at + piece : 0;
        while (framer.Next(&reply)) {
            sink += s.GetNextCmnd(reply).size();
            sink += s.InputStr(reply);
            ++replies;
        }
    }
    const qint64 ns = timer.nsecsElapsed();
    if (sink == 0) std::fprintf(stderr, "nothing happened\n");
    return {replies / (ns / 1e9), double(ns) / replies};
}

} // namespace

int main() {
    const int count = 1'000'000;
    const Result single = Run(false, count);
    const Result axes = Run(true, count);
    QByteArray line;
    for (int i = 0; i < 64; ++i)
        line += Data("12.50", " V ", 90 + i, ' ', "EDD") + ":A\r";
    const Framing framing = FrameOnly(line, count);
    std::printf("replies: %d per run\n", count);
    std::printf("composite readings: %.0f replies/s (%.0f ns each)\n", single.perSecond,
                single.nsPerReply);
    std::printf("3-axis readings:    %.0f replies/s (%.0f ns each)\n", axes.perSecond,
                axes.nsPerReply);
    std::printf("framing alone:      %.0f replies/s, %lld allocations for %d replies\n",
                framing.perSecond, framing.allocations, count);
    const double slower = std::min(single.perSecond, axes.perSecond);
    std::printf("target: over 1000000 replies/s: %s\n", slower > 1e6 ? "met" : "NOT MET");
    std::printf("the line carries at most about 600 replies/s: %.4f%% of one core\n",
                600.0 / slower * 100.0);
    return slower > 1e6 ? 0 : 1;
}

// The probe's replies in every protocol state: the first byte chooses the state (Sigma,
// Zeta, identifying, Kappa) and, for a Sigma probe, whether it is read axis by axis; the rest
// is what the line delivers, cut into replies by the reply framer in pieces of a length the
// first byte also chooses, each reply handed to the reply processing as the polling cycle hands
// it, streamed Zeta records included.
#include "measure/ReplyProcessor.h"
#include "probe/ReplyFramer.h"
#include "probe/clsProbe.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstdint>

namespace {
struct Sink : measure::ReadingSink {
    void TakeReading(const measure::Reading&) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzz::QuietHost host;
    fuzz::StillClock clock;
    measure::ClsZeta zeta(host);
    probe::clsProbe probe(host);
    Sink sink;
    probe::ProbeIdentity identity;
    measure::ReplyEvents events;
    measure::ReplyProcessor replies(probe, zeta, sink, identity, events, clock);
    probe.SetTypeZeta(data[0] % 4);
    probe.SetMultiplexPrefered((data[0] >> 2) & 1);
    probe.SetLostComm((data[0] >> 3) & 1);
    const QByteArray stream(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const qsizetype piece = 1 + (data[0] >> 4);
    probe::ReplyFramer framer;
    QByteArray reply;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        framer.Append(stream.constData() + at, std::min(piece, stream.size() - at));
        if (at % (3 * piece) == 0) framer.Mark();
        while (framer.Next(&reply)) {
            replies.ProcessData(reply);
            if (reply.startsWith(":S")) replies.SuperFast2(reply);
            probe.GetNextCmnd(reply);
        }
    }
    return 0;
}

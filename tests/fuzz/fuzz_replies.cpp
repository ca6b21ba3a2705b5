// The probe's replies in every protocol state: the first byte chooses the state (Sigma,
// Zeta, identifying, Kappa) and, for a Sigma probe, whether it is read axis by axis; the rest
// is a stream of replies split at their carriage returns, each handed to the reply processing
// as the polling cycle hands it, streamed Zeta records included.
#include "measure/ReplyProcessor.h"
#include "probe/clsProbe.h"
#include "tests/fuzz/FuzzSupport.h"

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
    for (const QByteArray& part : stream.split('\r')) {
        const QByteArray reply = part + '\r';
        replies.ProcessData(reply);
        if (reply.startsWith(":S")) replies.SuperFast2(reply);
        probe.GetNextCmnd(reply);
    }
    return 0;
}

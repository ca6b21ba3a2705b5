#include "probe/LinkSpeeds.h"

namespace probe {

namespace {
constexpr const char* StreamingRevision = "073020030A";
constexpr int StreamedRecord = 19;
} // namespace

const std::array<LinkSpeed, 5>& LinkSpeeds() {
    static const std::array<LinkSpeed, 5> speeds{{
        {1, "9600,o,7,1", ":F1", "9600 Baud", "9600 Baud", false, 0, ""},
        {2, "19200,o,7,1", ":F2", "19.2 kBaud", "19200 Baud", false, 0, ""},
        {3, "38400,o,7,1", ":F3", "38.4 kBaud", "38.4 kBaud", true, StreamedRecord,
         StreamingRevision},
        {4, "57600,o,7,1", ":F4", "57.6 kBaud", "57.6 kBaud", true, StreamedRecord,
         StreamingRevision},
        {5, "115200,o,7,1", ":F5", "115.2 kBaud", "115.2 kBaud", true, StreamedRecord,
         StreamingRevision},
    }};
    return speeds;
}

const LinkSpeed* LinkSpeedOfEntry(int entry) {
    for (const LinkSpeed& speed : LinkSpeeds())
        if (speed.entry == entry) return &speed;
    return nullptr;
}

const LinkSpeed* LinkSpeedOfAck(const QByteArray& ack) {
    for (const LinkSpeed& speed : LinkSpeeds())
        if (ack == speed.ack) return &speed;
    return nullptr;
}

const LinkSpeed* LinkSpeedOfSettings(const QString& settings) {
    for (const LinkSpeed& speed : LinkSpeeds())
        if (settings == QLatin1String(speed.settings)) return &speed;
    return nullptr;
}

const LinkSpeed& BaseSpeed() {
    return LinkSpeeds()[0];
}

const LinkSpeed& PolledFastSpeed() {
    return LinkSpeeds()[1];
}

bool RevisionStreams(const QString& softwareRevision) {
    return softwareRevision == QLatin1String(StreamingRevision);
}

} // namespace probe

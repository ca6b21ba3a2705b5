#pragma once
// The link speeds of the probes, one row per entry of the link-speed menu: the port settings,
// the probe's acknowledgement, the status-bar text, whether the probe streams its samples at
// that speed (and how long a streamed record is), and the probe software that allows it.
#include <QByteArray>
#include <QString>
#include <array>

namespace probe {

struct LinkSpeed {
    int entry;               // link-speed menu entry 1..5
    const char* settings;    // port settings text, as the configuration file keeps it
    const char* ack;         // the probe's acknowledgement of the change (":F1" .. ":F5")
    const char* label;       // status-bar text while the speed is in force
    const char* searchLabel; // status-bar text while the link search tries the speed
    bool streams;            // the probe streams samples at this speed instead of being polled
    int recordLength;        // a streamed record: ":S", 16 characters, CR (0: not streamed)
    const char* revision;    // the probe software that allows the speed (empty: every one)

    QString Settings() const { return QString::fromLatin1(settings); }
    QString Label() const { return QString::fromLatin1(label); }
};

const std::array<LinkSpeed, 5>& LinkSpeeds();
// The row of a menu entry, an acknowledgement or a settings text; null when none matches.
const LinkSpeed* LinkSpeedOfEntry(int entry);
const LinkSpeed* LinkSpeedOfAck(const QByteArray& ack);
const LinkSpeed* LinkSpeedOfSettings(const QString& settings);

// The speed every probe answers at, and the faster polled speed of the Zeta family.
const LinkSpeed& BaseSpeed();
const LinkSpeed& PolledFastSpeed();
// Whether a probe whose software has this revision may stream.
bool RevisionStreams(const QString& softwareRevision);

} // namespace probe

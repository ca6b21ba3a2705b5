#pragma once
// Test helpers for the probe session: a recording owner, reply builders and a small scripted
// Sigma probe that answers the commands as a real one would.
#include "probe/PollingCycle.h"
#include "probe/ProbeHost.h"
#include "probe/clsProbe.h"
#include "tools/probesim/VirtualProbe.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <memory>

namespace kit {

struct Message {
    platform::MsgIcon icon;
    QString text;
};

class RecordingHost : public probe::ProbeHost {
public:
    QByteArray AutoNextCmndS(const QByteArray& code, const QByteArray&) override {
        autoNextCalls.append(code);
        return autoNextAnswer;
    }
    void ShowMessage(platform::MsgIcon icon, const QString& text) override {
        messages.append({icon, text});
    }
    void Delay(double ms) override { delays.append(ms); }
    void SetProbeIdentity(const QString& serial, const QString& date) override {
        serialNo = serial;
        calDate = date;
    }
    void SetProbeSoftRev(const QString& rev) override { softRev = rev; }

    QList<QByteArray> autoNextCalls;
    QByteArray autoNextAnswer = QByteArrayLiteral("S\r");
    QList<Message> messages;
    QList<double> delays;
    QString serialNo, calDate, softRev;
};

// The window's side of the polling cycle: processes replies as the main window does (the miss
// count is cleared by every accepted reply but a rejection; Sigma and Kappa replies go to the
// parser) and records what the cycle asks of the window.
class RecordingView : public probe::PollingView {
public:
    explicit RecordingView(probe::clsProbe& s) : session(s) {}
    probe::ReplyTaken ProcessData(const QByteArray& reply) override;
    void ClearDisplay() override { ++clears; }
    void SetStatusPanel(int panel, const QString& text) override { panels[panel] = text; }
    void UncheckHighSpeedEntries() override {}
    void CheckPortEntry(int port) override { checkedPort = port; }
    void ShowSampleRate(double perSecond) override { rates.append(perSecond); }
    void LowBatteryOff() override { ++lowBatteryOffs; }
    bool ARProbeChecked() const override { return arProbe; }
    // The polling tests never stream.
    void SuperFast2(const QByteArray&) override {}
    void DisableHiSpeed(bool) override {}
    void ShowLineHealth(const probe::LineHealth& h) override { health = h; }

    probe::clsProbe& session;
    QList<QByteArray> processed;
    QList<QByteArray> readings; // Zeta samples and the replies that became a reading
    QList<float> totals;        // the totals of those read once the probe was characterised
    QMap<int, QString> panels;
    probe::LineHealth health;
    QList<double> rates;
    int clears = 0, checkedPort = -1, lowBatteryOffs = 0;
    bool arProbe = false;
    int samplesPerReply = 0; // whole samples each processed reply counts for
};

// ":D" + value (5) + units code (3) + bar (3) + over flag + battery flag + axes (3) + CR.
QByteArray SigmaData(const QByteArray& value, const QByteArray& units, int bar = 0, char over = ' ',
                     char battery = 'N', const QByteArray& axes = "EEE");

// A Sigma probe that keeps a range, units and axes and answers like the real one.
struct MiniSigma {
    QByteArray answer(const QByteArray& command);

    QString name;
    int unitsCount = 3;
    QList<int> maxRange;     // per units 1..3
    QList<QByteArray> codes; // per units: the units code of its data replies
    int range = 2;           // the range the probe is in
    int units = 1;           // the units the probe is in
    QByteArray axes = "EEE";
    QByteArray value = " 12.5";
    char over = ' ';
    // Answer number -> reply given instead; "lost": the probe is lost with its reply.
    QMap<int, QByteArray> replaceAt{};
    int answered = 0;
};
inline const MiniSigma Px5100{"PX-5100", 3, {4, 4, 4}, {" V ", "MW2", "KV2"}};
inline const MiniSigma Px2100{"PX-2100", 1, {5, 4, 4}, {"   "}};
inline const MiniSigma Px5200Rge{"PX-5200 RGE", 3, {4, 3, 4}, {" V ", "KV2", "MW2"}};
inline const MiniSigma Px5560{"PX-5560", 3, {3, 3, 3}, {" V ", "MW2", "KV2"}};

using Responder = std::function<QByteArray(const QByteArray& command)>;

// Drives a session directly, in the order of the timer-mode polling cycle: the reply goes to
// the scheduler first, then (when it is complete) to the parser.
class Driver {
public:
    Driver(probe::clsProbe& session, Responder responder)
        : s(session), respond(std::move(responder)) {}
    // One poll: schedules the next command from the last reply, parses that reply, and asks
    // the probe for the reply to the new command. Returns the command sent.
    QByteArray poll();
    // Hands the given reply to the session as the complete answer to the command in flight.
    QByteArray feed(const QByteArray& completeReply);
    QList<QByteArray> run(int polls);

    probe::clsProbe& s;
    Responder respond;
    QByteArray reply;
    int expected = 0, flags = 0;
};

// A session with its owner and a scripted Sigma probe. search() starts the session looking for
// the probe the responder plays (the scripted one when none is given); characterise() runs the
// scripted probe from the link search up to its model and tells whether the session named one
// (the driver then goes on polling the same probe).
struct Bench {
    explicit Bench(MiniSigma scripted = Px5100) : sigma(std::move(scripted)) {}
    Driver& search(Responder responder = {});
    bool characterise();

    MiniSigma sigma;
    RecordingHost host;
    probe::clsProbe s{host};
    std::unique_ptr<Driver> d;
};

// A constant field of x, y and z V/m for the virtual probe.
probesim::FieldPlan Constant(double x, double y, double z);

// Commands without their carriage return (the wake-up character as "NUL"), for readable
// comparisons.
QStringList Plain(const QList<QByteArray>& commands);

} // namespace kit

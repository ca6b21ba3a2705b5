#include "tests/support/ProbeKit.h"

#include <QStringList>

namespace kit {

QByteArray RecordingHost::AutoNextCmndS(const QByteArray& code) {
    autoNextCalls.append(code);
    return autoNextAnswer;
}

void RecordingHost::ShowMessage(platform::MsgIcon icon, const QString& text) {
    messages.append({icon, text});
}

void RecordingHost::SetProbeIdentity(const QString& serial, const QString& date) {
    serialNo = serial;
    calDate = date;
}

void RecordingView::ProcessData() {
    processed.append(cycle->InString);
    if (session.TypeZeta() == probe::StateZeta) {
        cycle->MissCount = 0;
        return;
    }
    if (!cycle->InString.startsWith(":E")) cycle->MissCount = 0;
    session.InputStr(cycle->InString);
}

QByteArray SigmaData(const QByteArray& value, const QByteArray& units, int bar, char over,
                     char battery, const QByteArray& axes) {
    QByteArray r = ":D" + value.rightJustified(5, ' ', true) + units.leftJustified(3, ' ', true);
    r += QByteArray::number(bar).rightJustified(3, '0', true);
    r += over;
    r += battery;
    r += axes.leftJustified(3, ' ', true);
    r += '\r';
    return r;
}

SigmaProfile Px5100() {
    SigmaProfile p;
    p.name = QStringLiteral("PX-5100");
    p.codes = {
        {" V ", " V ", " V ", " V "}, {"MW2", "MW2", "MW2", "MW2"}, {" V2", " V2", "KV2", "KV2"}};
    return p;
}

SigmaProfile Px2100() {
    SigmaProfile p;
    p.name = QStringLiteral("PX-2100");
    p.unitsCount = 1;
    p.maxRange = {5, 4, 4};
    p.codes = {{"   ", "   ", "   ", "   ", "   "}};
    return p;
}

SigmaProfile Px5200Rge() {
    SigmaProfile p;
    p.name = QStringLiteral("PX-5200 RGE");
    p.maxRange = {4, 3, 4};
    p.codes = {{" V ", " V ", " V ", " V "}, {"KV2", "KV2", "KV2"}, {"MW2", "MW2", "MW2", "MW2"}};
    return p;
}

SigmaProfile Px5560() {
    SigmaProfile p;
    p.name = QStringLiteral("PX-5560");
    p.maxRange = {3, 3, 3};
    p.codes = {{" V ", " V ", " V "}, {"MW2", "MW2", "MW2"}, {"KV2", "KV2", "KV2"}};
    return p;
}

QByteArray MiniSigma::answer(const QByteArray& command) {
    ++answered;
    if (replaceAt.contains(answered)) return replaceAt.value(answered);
    const QByteArray c = command.endsWith('\r') ? command.chopped(1) : command;
    if (c == "R") return ":R" + QByteArray::number(p.range) + "\r";
    if (c.size() == 2 && c[0] == 'R' && c[1] >= '0' && c[1] <= '9') {
        const int n = c[1] - '0';
        if (n < 1 || n > p.maxRange.value(p.units - 1)) return ":E\r";
        p.range = n;
        return ":R" + QByteArray::number(n) + "\r";
    }
    if (c.size() == 2 && c[0] == 'U') {
        int n = c[1] == 'N' ? (p.units % p.unitsCount) + 1 : c[1] - '0';
        if (n < 1 || n > p.unitsCount) return ":E\r";
        p.units = n;
        p.range = std::min(p.range, p.maxRange.value(n - 1));
        return ":U\r";
    }
    if (c.size() == 4 && c[0] == 'A') {
        axes = c.mid(1);
        return ":A\r";
    }
    if (c == "D2") {
        const QByteArray code = p.codes.value(p.units - 1).value(p.range - 1, "???");
        return SigmaData(value, code, 128, over, 'N', axes);
    }
    if (c == "B") return ":B 95.0\r";
    if (c == "TC" || c == "TF") return ":T 23  \r";
    if (c == "Z") return ":Z\r";
    return ":E\r";
}

QByteArray Driver::poll() {
    const QByteArray last = reply;
    const int lastExpected = expected;
    const QByteArray command = s.GetNextCmnd(last);
    expected = s.GetRThreshold();
    flags = 0;
    if (last.size() == lastExpected && last.startsWith(':') && s.TypeZeta() != probe::StateZeta)
        flags = s.InputStr(last);
    reply = respond(command);
    return command;
}

QByteArray Driver::feed(const QByteArray& completeReply) {
    reply = completeReply;
    expected = int(completeReply.size());
    return poll();
}

std::unique_ptr<Driver> Characterise(probe::clsProbe& session, MiniSigma& sigma) {
    session.SetTypeZeta(probe::StateIdentifying);
    session.SetLostComm(1);
    auto driver = std::make_unique<Driver>(
        session, [&sigma](const QByteArray& c) { return sigma.answer(c); });
    for (int i = 0; i < 80; ++i) {
        driver->poll();
        if (session.InitState() == 0 && !session.GetModel().isEmpty() &&
            session.TypeZeta() == probe::StateSigma)
            return driver;
    }
    return nullptr;
}

QList<QByteArray> Driver::run(int polls) {
    QList<QByteArray> sent;
    for (int i = 0; i < polls; ++i)
        sent.append(poll());
    return sent;
}

QStringList Plain(const QList<QByteArray>& commands) {
    QStringList out;
    for (QByteArray c : commands) {
        if (c.endsWith('\r')) c.chop(1);
        out.append(c.contains('\0') ? QStringLiteral("NUL") : QString::fromLatin1(c));
    }
    return out;
}

} // namespace kit

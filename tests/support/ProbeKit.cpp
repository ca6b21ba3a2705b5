#include "tests/support/ProbeKit.h"

#include <QStringList>

namespace kit {

probe::ReplyTaken RecordingView::ProcessData(const QByteArray& reply) {
    processed.append(reply);
    if (session.TypeZeta() == probe::StateZeta) {
        if (reply.startsWith(":S")) readings.append(reply);
        return {true, samplesPerReply};
    }
    const qint64 refused = session.RefusedReplies();
    if (session.InputStr(reply) & probe::ChgReading) {
        readings.append(reply);
        if (session.InitState() == 0 && !session.GetModel().isEmpty())
            totals.append(session.XYZNA());
    }
    return {!reply.startsWith(":E"), samplesPerReply, session.RefusedReplies() != refused};
}

QByteArray SigmaData(const QByteArray& value, const QByteArray& units, int bar, char over,
                     char battery, const QByteArray& axes) {
    return ":D" + value.rightJustified(5, ' ', true) + units.leftJustified(3, ' ', true) +
           QByteArray::number(bar).rightJustified(3, '0', true) + over + battery +
           axes.leftJustified(3, ' ', true) + '\r';
}

QByteArray MiniSigma::answer(const QByteArray& command) {
    ++answered;
    if (replaceAt.contains(answered)) return replaceAt.value(answered);
    const QByteArray c = command.endsWith('\r') ? command.chopped(1) : command;
    if (c == "R") return ":R" + QByteArray::number(range) + "\r";
    if (c.size() == 2 && c[0] == 'R' && c[1] >= '0' && c[1] <= '9') {
        const int n = c[1] - '0';
        if (n < 1 || n > maxRange.value(units - 1)) return ":E\r";
        range = n;
        return ":R" + QByteArray::number(n) + "\r";
    }
    if (c.size() == 2 && c[0] == 'U') {
        int n = c[1] == 'N' ? (units % unitsCount) + 1 : c[1] - '0';
        if (n < 1 || n > unitsCount) return ":E\r";
        units = n;
        range = std::min(range, maxRange.value(n - 1));
        return ":U\r";
    }
    if (c.size() == 4 && c[0] == 'A') {
        axes = c.mid(1);
        return ":A\r";
    }
    if (c == "D2") return SigmaData(value, codes.value(units - 1), 128, over, 'N', axes);
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
    if (reply == "lost") {
        s.SetLostComm(1);
        reply.clear();
    }
    return command;
}

QByteArray Driver::feed(const QByteArray& completeReply) {
    reply = completeReply;
    expected = int(completeReply.size());
    return poll();
}

Driver& Bench::search(Responder responder) {
    s.SetTypeZeta(probe::StateIdentifying);
    s.SetLostComm(1);
    if (!responder) responder = [this](const QByteArray& c) { return sigma.answer(c); };
    d = std::make_unique<Driver>(s, std::move(responder));
    return *d;
}

bool Bench::characterise() {
    search();
    for (int i = 0; i < 80; ++i) {
        d->poll();
        if (s.InitState() == 0 && !s.GetModel().isEmpty() && s.TypeZeta() == probe::StateSigma)
            return true;
    }
    d.reset();
    return false;
}

QList<QByteArray> Driver::run(int polls) {
    QList<QByteArray> sent;
    for (int i = 0; i < polls; ++i)
        sent.append(poll());
    return sent;
}

probesim::FieldPlan Constant(double x, double y, double z) {
    probesim::FieldPlan plan;
    for (int axis = 0; axis < 3; ++axis)
        plan.axes[axis].level = std::array{x, y, z}[axis];
    return plan;
}

QStringList Plain(const QList<QByteArray>& commands) {
    QStringList out;
    for (QByteArray c : commands) {
        if (c.endsWith('\r')) c.chop(1);
        out.append(c == QByteArray(1, '\0') ? QStringLiteral("NUL") : QString::fromLatin1(c));
    }
    return out;
}

} // namespace kit

#include "probe/ReplyCheck.h"

#include "probe/ReplyText.h"

namespace probe {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool OneOf(const QByteArray& code, const std::initializer_list<const char*>& codes) {
    for (const char* c : codes)
        if (code == c) return true;
    return false;
}

bool Framed(const QByteArray& reply, char ascii, char other, qsizetype length) {
    return reply.size() == length && (reply.at(0) == ':' || reply.at(0) == '#') &&
           reply.at(1) == (reply.at(0) == ':' ? ascii : other);
}

} // namespace

bool IsReplyNumber(const QByteArray& field) {
    qsizetype i = 0;
    const qsizetype n = field.size();
    while (i < n && field.at(i) == ' ')
        ++i;
    if (i < n && (field.at(i) == '-' || field.at(i) == '+')) ++i;
    int digits = 0;
    bool point = false;
    for (; i < n && field.at(i) != ' '; ++i) {
        if (IsDigit(field.at(i))) {
            ++digits;
        } else if (field.at(i) == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    while (i < n && field.at(i) == ' ')
        ++i;
    return digits > 0 && i == n;
}

bool IsSigmaUnitsCode(const QByteArray& code) {
    return OneOf(code, {" V ", "KV ", "MW2", " W2", " V2", "KV2", "MA ", " A ", "MA2", " A2", "UW2",
                        " M ", "   "});
}

bool IsKappaUnitsCode(const QByteArray& code) {
    return OneOf(code, {" V ", "MW2", " W2", "UW2", "MA ", " A "});
}

bool SigmaDataWellFormed(const QByteArray& reply) {
    if (!Framed(reply, 'D', 'Q', 19)) return false;
    const QByteArray bar = ReplyField(reply, 11, 3);
    if (!IsDigit(bar.at(0)) || !IsDigit(bar.at(1)) || !IsDigit(bar.at(2)) || bar.toInt() > 255)
        return false;
    const char over = CharAt(reply, 14);
    const char battery = CharAt(reply, 15);
    const bool letter = (battery >= 'A' && battery <= 'Z') || (battery >= 'a' && battery <= 'z');
    if ((over != ' ' && over != 'O') || !letter) return false;
    for (int position = 16; position <= 18; ++position)
        if (CharAt(reply, position) != 'E' && CharAt(reply, position) != 'D') return false;
    return IsReplyNumber(ReplyField(reply, 3, 5)) && IsSigmaUnitsCode(ReplyField(reply, 8, 3));
}

bool KappaDataWellFormed(const QByteArray& reply) {
    return reply.size() == 11 && reply.startsWith(":D") && IsReplyNumber(ReplyField(reply, 3, 5)) &&
           IsKappaUnitsCode(ReplyField(reply, 8, 3));
}

bool RangeReplyWellFormed(const QByteArray& reply) {
    return Framed(reply, 'R', 'R', 4) && CharAt(reply, 3) >= '0' && CharAt(reply, 3) <= '5';
}

bool BatteryReplyWellFormed(const QByteArray& reply) {
    return Framed(reply, 'B', 'B', 8) && IsReplyNumber(ReplyField(reply, 3, 5));
}

bool TemperatureReplyWellFormed(const QByteArray& reply) {
    return Framed(reply, 'T', 'T', 8) && IsReplyNumber(ReplyField(reply, 4, 3));
}

bool AnswersCommand(const QByteArray& reply, const QByteArray& command) {
    if (Framed(reply, 'E', 'E', 3)) return true; // refused: a whole answer too
    if (command.isEmpty()) return false;
    switch (command.at(0)) {
    case 'R': return RangeReplyWellFormed(reply);
    case 'D': return SigmaDataWellFormed(reply);
    case 'B': return BatteryReplyWellFormed(reply);
    case 'T': return TemperatureReplyWellFormed(reply);
    case 'U': return Framed(reply, 'U', 'U', 3);
    case 'A': return Framed(reply, 'A', 'A', 3);
    default: return reply.size() >= 3 && reply.at(0) == ':' && reply.at(1) == command.at(0);
    }
}

bool MayAnswer(const QByteArray& reply, const QByteArray& command) {
    if (reply.size() < 2 || reply.at(0) != ':' || command.isEmpty()) return false;
    const char letter = reply.at(1);
    if (letter == 'E') return true;
    return command.at(0) == '\0' ? letter == 'N' : letter == command.at(0);
}

QList<QByteArray> SplitReplies(const QByteArray& data) {
    QList<QByteArray> replies;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= data.size(); ++i) {
        if (i == data.size() || data.at(i) == ':') {
            replies.append(data.mid(start, i - start));
            start = i;
        }
    }
    return replies;
}

} // namespace probe

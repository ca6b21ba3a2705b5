// The command scheduler: which command goes out next, judged from the reply to the one in
// flight, and how long its reply is and how long to wait for it.
#include "probe/LinkSpeeds.h"
#include "probe/ReplyCheck.h"
#include "probe/ReplyText.h"
#include "probe/clsProbe.h"

#include <algorithm>

namespace probe {

namespace {
const QByteArray Nul = QByteArray(1, '\0');

bool IsCmnd(const QByteArray& command, const char* text) {
    return command == QByteArray(text) + Cr;
}
} // namespace

void clsProbe::SetCmndTiming(const QByteArray& command) {
    const char first = command.isEmpty() ? '\0' : command.at(0);
    const bool nul = !command.isEmpty() && first == '\0';
    switch (m_state) {
    case StateSigma:
        m_readInterval = m_initState < 1 ? m_dataInterval : m_initInterval;
        if (first == 'D') {
            m_respLength = 19;
        } else if (first == 'R') {
            m_respLength = 4;
        } else if (first == 'U' || nul || first == 'A') {
            m_respLength = 3;
            m_readInterval = 20;
        } else if (first == 'B' || first == 'T') {
            m_respLength = 8;
        } else if (first == 'I') {
            m_respLength = 34;
        }
        // The units commands record the units about to be selected.
        if (command.startsWith("U1") || command.startsWith("U2") || command.startsWith("U3")) {
            m_unitsSelected = command.at(1) - '0';
        } else if (command.startsWith("UN")) {
            m_unitsSelected = m_unitsSelected + 1 > m_tables.UnitsCount ? 1 : m_unitsSelected + 1;
        }
        break;
    case StateIdentifying:
        if (first == 'R') {
            m_respLength = 4;
            m_readInterval = m_initInterval;
        } else if (nul) {
            m_respLength = 3;
            m_readInterval = m_initInterval;
        } else if (first == 'I') {
            m_respLength = 34;
            m_readInterval = 100;
        }
        break;
    case StateKappa:
        if (first == 'D') {
            m_respLength = 11;
            m_readInterval = m_dataInterval;
        } else if (first == 'B' || first == 'T') {
            m_respLength = 8;
            m_readInterval = m_initInterval;
        } else if (first == 'i') {
            m_respLength = 25;
            m_readInterval = m_initInterval;
        }
        break;
    case StateZeta:
        if (IsCmnd(command, "I")) {
            m_respLength = 34;
            m_readInterval = 100;
        } else if (IsCmnd(command, "S")) {
            m_respLength = 19;
            m_readInterval = m_dataInterval;
        } else if (IsCmnd(command, "BP")) {
            m_respLength = 6;
            m_readInterval = 100;
        } else if (command.size() == 3 && first == 'F' && command.at(1) >= '1' &&
                   command.at(1) <= '5' && command.at(2) == '\r') {
            m_respLength = 4;
            m_readInterval = 100;
        } else if (IsCmnd(command, "TC") || IsCmnd(command, "TF")) {
            m_respLength = 8;
            m_readInterval = 1000;
        } else if (command == Nul + Cr) {
            m_respLength = 3;
            m_readInterval = 100;
        } else if (IsCmnd(command, "M")) {
            m_respLength = 579;
            m_readInterval = 1200;
        }
        break;
    default: break;
    }
}

QByteArray clsProbe::GetNextCmnd(const QByteArray& lastReply) {
    // The reply in hand answers the command sent before; it is parsed after the next is chosen.
    m_answeredCmnd = m_lastCmnd;
    if (lastReply.startsWith(':')) SetLostComm(0);
    const QByteArray p = lastReply.left(2);

    if (m_lostComm == 1) {
        linkSearch();
        identifyingRules(lastReply, p);
    } else {
        if (m_state == StateZeta) zetaRules(lastReply, p);
        if (m_state == StateSigma)
            sigmaRules(lastReply, p);
        else if (m_state == StateKappa)
            kappaRules(p);
        else if (m_state == StateIdentifying)
            identifyingRules(lastReply, p);
    }

    SetCmndTiming(m_nextCmnd);
    // A characterisation step asked again waits longer each time: a reply that is late, not
    // lost, then still comes within the step.
    if (m_initState >= 1 && m_initTries > 0)
        m_readInterval = std::max(m_readInterval, InitRetryWaitMs * m_initTries);
    m_lastCmnd = m_nextCmnd;
    return m_nextCmnd;
}

// While the link is down the search alternates "I" at 9600 baud, "R", and "I" at 19200 baud
// over a cycle of 13 polls, or sends the wake-up character of the other communication mode.
void clsProbe::linkSearch() {
    if (m_startARProbe != 1) {
        m_searchStep = m_searchStep >= 13 ? 1 : m_searchStep + 1;
        switch (m_searchStep) {
        case 1:
            send("I");
            m_linkFallback = 1;
            break;
        case 6:
            send("R");
            m_linkFallback = 0;
            break;
        case 11:
            send("I");
            m_linkFallback = 2;
            break;
        default: m_linkFallback = 0; break;
        }
    } else {
        m_nextCmnd = Nul + Cr;
    }
    m_state = StateIdentifying;
}

void clsProbe::zetaRules(const QByteArray& reply, const QByteArray& p) {
    if (p == ":I") {
        send("M");
    } else if (p == ":M") {
        if (reply.size() == 579) m_nextCmnd = m_host.AutoNextCmndS(":M0", reply);
    } else if (p == ":T") {
        send("BP");
    } else if (p == ":N") {
        send("I");
    } else if (p == ":B") {
        // A preferred speed other than the base one is asked for once the probe is identified.
        if (m_autoBaud != 1 || m_startARProbe != 0) {
            send("S");
        } else if (!m_baudRatePreferred.isEmpty() &&
                   m_baudRatePreferred != BaseSpeed().Settings()) {
            send("F2");
            m_tables.MinReadTime = 14;
        } else if (m_baudRatePreferred == BaseSpeed().Settings()) {
            send("S");
            m_tables.MinReadTime = 28;
            if (m_dataInterval < 27) m_dataInterval = 27;
        } else {
            send("S");
        }
    } else if (p == ":F") {
        m_tables.MinReadTime = reply.startsWith(":F1") ? 28 : 14;
        // The probe took up the speed: a missed reply from now on is no reason to go back.
        m_linkFallback = 0;
        m_nextCmnd = m_host.AutoNextCmndS(reply.left(3), reply);
    } else if (p == ":S") {
        switch (m_highSpeedCode) {
        case 0:
            if (m_cmndPending) {
                m_nextCmnd = m_pendingCmnd;
                m_cmndPending = false;
            }
            return;
        case 10:
            send("F3");
            m_linkFallback = 1;
            break;
        case 11:
            send("F4");
            m_linkFallback = 1;
            break;
        case 12:
            send("F5");
            m_linkFallback = 1;
            break;
        default: break;
        }
        m_highSpeedCode = 0;
    } else if (p == ":E") {
        if (m_lastCmnd == QByteArray("I") + Cr) {
            send("R");
            m_state = StateSigma;
        } else if (m_lastCmnd == QByteArray("R") + Cr) {
            send("I");
        }
    } else if (p == ":R") {
        m_state = StateSigma;
    }
}

void clsProbe::sigmaRules(const QByteArray& reply, const QByteArray& p) {
    if (m_initState >= 1) {
        characterisingRules(reply);
        return;
    }
    if (p == ":D" || p == "#Q") {
        sigmaDataRules(reply);
    } else if (p == ":A" || p == "#A") {
        m_nextCmnd = m_dataCmnd;
    } else if (RangeReplyWellFormed(reply)) {
        m_range = CInt(Val(ReplyField(reply, 3, 1)));
        if (m_rangeStepPending == 0) send("B");
        if (m_unitsFollowUp == 1) {
            m_unitsFollowUp = 0;
            send("U2");
        }
        m_rangeStepPending = 0;
        RecalcDownThreshold();
    } else if (p == ":N" || p == "#P") {
        send("R");
    } else if (p == ":B" || p == "#B") {
        if (m_modelName == QLatin1String("PX-2100") || m_modelName == QLatin1String("PX-2200"))
            m_nextCmnd = m_dataCmnd;
        else
            send(m_useCelsius >= 1 ? "TC" : "TF");
    } else if (p == ":T" || p == "#T" || p == ":Z" || p == "#Z" || p == ":P") {
        m_nextCmnd = m_dataCmnd;
    } else if (p == ":E" || p == "#E") {
        if (m_lastCmnd == QByteArray("R") + Cr) {
            send("I");
            m_state = StateZeta;
        } else {
            // A command the probe will not take is not asked again: reading goes on.
            m_nextCmnd = m_dataCmnd;
        }
    } else if (p == ":S") {
        m_state = StateZeta;
    } else if (p == ":U" || p == "#U") {
        m_unitsChangePending = 1;
        m_nextCmnd = m_dataCmnd;
    }
}

void clsProbe::sigmaDataRules(const QByteArray& reply) {
    // In 3-axis mode a queued command waits for the end of the axis cycle.
    if (m_cmndPending && (m_multiplexOn != 1 || m_currAxis == 3)) {
        m_nextCmnd = m_pendingCmnd;
        m_cmndPending = false;
        return;
    }
    // A garbled reply steps neither the range nor the axis: the same reading is asked again.
    if (!SigmaDataWellFormed(reply)) return;
    const bool multiplexed = m_multiplexOn == 1;
    if (CharAt(reply, 14) == 'O') {
        m_cycleOver = 1;
        if (!multiplexed) m_overRange = 1;
        if (m_autoRangeOn == 1 && m_range < GetMaxRange()) {
            send("R" + QByteArray::number(m_range + 1));
            m_rangeStepPending = 1;
            m_currAxis = m_nextAxis;
        }
    } else {
        if (!multiplexed) m_overRange = 0;
        if (m_autoRangeOn == 1 && m_range > 1 && m_underRange == 1) {
            send("R" + QByteArray::number(m_range - 1));
            m_underRange = 0;
            m_rangeStepPending = 1;
        }
    }
    if (m_rangeStepPending == 1 || !multiplexed) return;

    m_currAxis = m_nextAxis;
    m_nextAxis = m_currAxis < 3 ? m_currAxis + 1 : 1;
    switch (m_nextAxis) {
    case 1:
        send("AEDD");
        m_overRange = m_cycleOver; // shown once per 3-axis cycle
        m_cycleOver = 0;
        break;
    case 2: send("ADED"); break;
    case 3: send("ADDE"); break;
    default: break;
    }
}

// The characterisation: each step's command is asked again, up to three times, until a whole
// answer to it arrives; only then does the step count, with that answer or, after the last try,
// with none. Answers that turn up after a retry to the step before are stale and dropped.
void clsProbe::characterisingRules(const QByteArray& reply) {
    const QByteArray asked = m_lastCmnd.endsWith('\r') ? m_lastCmnd.chopped(1) : m_lastCmnd;
    QList<QByteArray> replies = SplitReplies(reply);
    bool stale = false;
    while (m_initOwed > 0 && !replies.isEmpty() &&
           AnswersCommand(replies.first(), m_initOwedCmnd)) {
        replies.removeFirst();
        --m_initOwed;
        stale = true;
    }
    qsizetype answers = 0;
    for (const QByteArray& r : replies)
        if (AnswersCommand(r, asked)) ++answers;
    m_initSeen += int(answers);
    // The latest whole answer counts: a garbled copy of it from a retry hides none before it.
    const auto answer = std::find_if(replies.crbegin(), replies.crend(),
                                     [&](const QByteArray& r) { return AnswersCommand(r, asked); });
    const bool answered = answer != replies.crend();
    if (!answered) {
        // Only stale answers: the awaited one is still on its way, asking again costs no try.
        if (stale && replies.isEmpty()) {
            ++m_initSends;
            return;
        }
        if (m_initTries < InitRetries) {
            ++m_initTries;
            ++m_initSends;
            return; // nothing sent anew: the same command goes out again
        }
    }
    // Answers to this step still on the way after its retries are stale at the next.
    m_initOwed = std::max(0, m_initSends - m_initSeen);
    m_initOwedCmnd = asked;
    m_initTries = 0;
    m_initSends = 1;
    m_initSeen = 0;

    fileInitReply(answered ? *answer : QByteArray());
    if (m_initCount >= m_initLength) {
        finishCharacterisation();
        if (m_dataInterval < 40) m_dataInterval = 40;
        send("B");
    } else {
        send(m_initCmnds[std::size_t(m_initCount)]);
    }
}

void clsProbe::kappaRules(const QByteArray& p) {
    if (p == ":D") {
        if (m_cmndPending) {
            m_nextCmnd = m_pendingCmnd;
            m_cmndPending = false;
        }
    } else if (p == ":B") {
        send(m_useCelsius >= 1 ? "TC" : "TF");
    } else if (p == ":i") {
        Delay(1500); // the probe needs this long before it answers again
        send("B");
    } else if (p == ":T" || p == ":Z" || p == ":E") {
        send("D1");
    }
}

void clsProbe::identifyingRules(const QByteArray& reply, const QByteArray& p) {
    if (p == ":N") {
        send("R");
        m_askedRange = 1;
    } else if (p == ":E") {
        // While the probe rejects them, identification alternates between "I" and "R".
        if (m_askedRange == 1) {
            send("I");
            m_askedRange = 0;
        } else {
            send("R");
            m_askedRange = 1;
        }
    } else if (p == ":S") {
        if (reply.size() == 22) send("I");
    } else if (RangeReplyWellFormed(reply) && p == ":R") {
        // A Sigma probe: the characterisation is armed by the range reply to the repeated "R".
        m_state = StateSigma;
        int digit = CInt(Val(ReplyField(reply, 3, 1)));
        if (digit != 0) {
            m_range = digit;
        } else {
            m_range = 3;
            m_autoRangeOn = 1;
            digit = 3;
        }
        // The range the probe had before the characterisation: that of its first run. A run
        // armed again after the probe was lost in the middle of one begins in whatever range
        // the broken run had reached.
        if (m_initRangeCmnd.isEmpty()) m_initRangeCmnd = "R" + QByteArray::number(digit);
        m_initCmnds[23] = m_initRangeCmnd;
        m_rangeInDoubt = false;
        m_initState = -1;
        m_initCount = 0;
        m_initTries = 0;
        m_initSends = 1;
        m_initSeen = 0;
        m_initOwed = 0;
    } else if (p == ":I") {
        if (reply.size() > 31) {
            if (CharAt(reply, 3) == '9')
                zetaSetUp(reply);
            else
                kappaSetUp(reply);
        } else {
            send("R");
        }
    } else if (p == ":D") {
        if (reply.size() == 11) send("I");
    } else if (p == ":A") {
        send("R");
    }
}

void clsProbe::zetaSetUp(const QByteArray& reply) {
    send("M");
    m_state = StateZeta;
    m_modelName = QStringLiteral("PX-") + QString::fromLatin1(ReplyField(reply, 3, 4));
    m_tables.installZeta(m_modelName);
    m_multiplexOn = 1;
    m_range = 1;
    // Samples take 28 ms at the base speed and 14 ms at any faster one. A session without a
    // stored preference runs at the base speed.
    const bool faster =
        !m_baudRatePreferred.isEmpty() && m_baudRatePreferred != BaseSpeed().Settings();
    m_tables.MinReadTime = faster ? 14 : 28;
    CalcReadInterval();
}

void clsProbe::kappaSetUp(const QByteArray& reply) {
    m_state = StateKappa;
    const QString digits = QString::fromLatin1(ReplyField(reply, 4, 3));
    m_modelName = (CharAt(reply, 4) == '3' ? QStringLiteral("E") : QStringLiteral("H")) + digits;
    send("i");
    SetModelTables();
}

void clsProbe::SetNextCmnd(const QByteArray& command) {
    m_cmndPending = true;
    m_pendingCmnd = command;
    // This model has no fourth range in its second units: put it into range 3 first and
    // select the units after the range reply.
    if (m_modelName == QLatin1String("PX-5200 RGE")) {
        const bool toUnits2 = command == QByteArray("U2") + Cr;
        const bool stepToUnits2 =
            command == QByteArray("UN") + Cr && m_unitsIndex == 1 && m_range == 4;
        if (toUnits2 || stepToUnits2) {
            m_pendingCmnd = QByteArray("R3") + Cr;
            m_unitsFollowUp = 1;
        }
    }
}

void clsProbe::SetLostComm(int lost) {
    if (lost == m_lostComm) return;
    m_lostComm = lost;
    m_state = StateIdentifying;
    if (lost == 1) {
        // Each search starts with "I": a probe that comes back while the command it was lost
        // with still goes out would otherwise answer it and never be identified again.
        m_searchStep = 0;
        // A range step whose answer never came ends with the loss: the probe is identified
        // afresh, range included, and the axis cycle (held while a step is pending) resumes.
        m_rangeStepPending = 0;
        m_axesRead = 0;
        m_cycleCompleted = false;
        m_axesState.clear();
        m_unitsCode.clear();
        m_modelName.clear();
        m_initLength = 24;
    }
}

void clsProbe::SetStartARProbe(int value) {
    m_startARProbe = value;
    m_linkFallback = 1;
}

void clsProbe::SetRange(int n) {
    m_nextCmnd = "R" + QByteArray::number(n) + Cr;
    m_respLength = 4;
}

void clsProbe::ToggleAxis(int axis) {
    if (axis < 1 || axis > 3 || m_axisCmnd.size() <= axis) return;
    char& letter = m_axisCmnd[axis];
    letter = letter == 'E' ? 'D' : 'E';
    m_nextCmnd = m_axisCmnd;
    m_respLength = 3;
}

QString clsProbe::GetAxisStr() const {
    QByteArray axes = m_axisCmnd;
    if (axes.endsWith('\r')) axes.chop(1);
    return QString::fromLatin1(axes);
}

} // namespace probe

// The reply parser: takes what a reply reports into the session and tells what changed.
#include "probe/ReplyCheck.h"
#include "probe/ReplyText.h"
#include "probe/clsProbe.h"

#include <algorithm>

namespace probe {

int clsProbe::InputStr(const QByteArray& reply) {
    if (reply.size() < 2) return 0;
    const QByteArray p = reply.left(2);
    const bool inService =
        m_state == StateKappa || (m_state != StateIdentifying && m_initState < 1);
    if ((p == ":E" || p == "#E") && inService) {
        // A units or range command the probe would not take: the window keeps what it showed.
        const QByteArray asked =
            m_answeredCmnd.endsWith('\r') ? m_answeredCmnd.chopped(1) : m_answeredCmnd;
        const bool change = asked.size() == 2 && (asked[0] == 'U' || asked[0] == 'R') &&
                            (asked[1] == 'N' || (asked[1] >= '0' && asked[1] <= '9'));
        if (change) {
            m_refusedCmnd = asked;
            return ChgRefused;
        }
    }
    if (m_state == StateKappa) return parseKappa(reply, p);
    // While characterising, the scheduler has judged and filed the reply already.
    if (m_initState < 1) return parseNotCharacterising(reply, p);
    return 0;
}

// A reply whose fields are not all well formed is counted and changes nothing.
int clsProbe::refuse() {
    ++m_refusedReplies;
    return 0;
}

int clsProbe::parseNotCharacterising(const QByteArray& reply, const QByteArray& p) {
    int flags = 0;
    if (p == ":D" || p == "#Q") {
        flags = parseSigmaData(reply);
    } else if (p == ":R" || p == "#R") {
        if (!RangeReplyWellFormed(reply)) return refuse();
        m_range = CInt(Val(ReplyField(reply, 3, 1)));
        m_rangeInDoubt = false;
        flags |= ChgRange;
        RecalcDownThreshold();
        if (m_initState == -1) m_initState = 1; // the characterisation collects from the next reply
        if (m_range == 0) {
            // The low current range: the units code of the last data reply tells its scale.
            if (m_unitsCode == " M ")
                m_currentMult = 1.0f;
            else if (m_unitsCode == "   ")
                m_currentMult = 1000.0f;
            m_downFactor = std::sqrt(0.06f);
            m_unitsText = QStringLiteral("mA");
        }
        m_badReplyCount = 0;
    } else if (p == ":N" || p == "#P") {
        m_badReplyCount = 0;
    } else if (p == ":B" || p == "#B") {
        if (!BatteryReplyWellFormed(reply)) return refuse();
        m_battery = float(Val(ReplyField(reply, 3, 5)));
        m_badReplyCount = 0;
        flags |= ChgBattery;
    } else if (p == ":T" || p == "#T") {
        if (!TemperatureReplyWellFormed(reply)) return refuse();
        m_temperature = float(Val(ReplyField(reply, 4, 3)));
        m_badReplyCount = 0;
        flags |= ChgTemperature;
    } else if (p == ":Z" || p == "#Z" || p == ":A" || p == "#A" || p == ":U" || p == "#U" ||
               p == ":E" || p == "#E") {
        // acknowledgements without data
    } else if (p == ":P") {
        message(platform::MsgIcon::None, QStringLiteral("Communication mode command received"));
    } else if (m_badReplyCount >= 4) {
        // After a run of garbage the next good data reply announces units and axes afresh.
        m_unitsCode = "xxx";
        m_axesState.clear();
    } else {
        ++m_badReplyCount;
    }
    return flags;
}

int clsProbe::parseSigmaData(const QByteArray& reply) {
    if (reply.size() < 19) {
        m_badReplyCount = 0;
        m_unitsChangePending = 0;
        return refuse();
    }
    if (!SigmaDataWellFormed(reply)) return refuse();
    // A value in a range other than the one it would be scaled in is no reading.
    if (m_rangeInDoubt) return 0;
    int flags = ChgReading;
    const QByteArray value = ReplyField(reply, 3, 5);
    m_fieldStr = QString::fromLatin1(value);
    const float reported = float(Val(value));
    if (m_currAxis >= 0 && m_currAxis <= 3)
        m_barValue[m_currAxis] = CInt(Val(ReplyField(reply, 11, 3)));
    if (m_muxDisplayDirty) {
        m_muxDisplayDirty = 0;
        flags |= ChgMultiplex;
    }
    if (m_rangeDisplayDirty) {
        m_rangeDisplayDirty = 0;
        flags |= ChgRange;
    }

    const QByteArray code = ReplyField(reply, 8, 3);
    if (code != m_unitsCode) {
        m_unitsCode = code;
        const QString oldText = m_unitsText;
        applyUnitsCode(code);
        if (m_unitsText != oldText) ClearMaxHold();
        if (m_unitsChangePending) m_unitsIndex = m_unitsSelected;
        RecalcDownThreshold();
        flags |= ChgUnits;
    }

    if (m_multiplexOn == 1) {
        const QByteArray axes = ReplyField(reply, 16, 3);
        m_cycleCompleted = false;
        if (axes == "EDD") {
            ProcessAxisReading(1, reported);
            m_axesRead = 1;
        } else if (axes == "DED") {
            ProcessAxisReading(2, reported);
            m_axesRead |= 2;
        } else if (axes == "DDE") {
            ProcessAxisReading(3, reported);
            // A Z reading closes a sample only after this cycle's X and Y: never one that
            // would pair it with values read before a loss or a broken cycle.
            m_cycleCompleted = m_axesRead == 3;
            m_axesRead = 0;
            const bool allBelow = m_axis[1].raw() < m_downThreshold &&
                                  m_axis[2].raw() < m_downThreshold &&
                                  m_axis[3].raw() < m_downThreshold;
            m_underRange = allBelow ? 1 : 0;
        }
    } else {
        ProcessXYZReading(reported);
        m_underRange = m_axis[0].raw() < m_downThreshold ? 1 : 0;
    }

    const char battery = CharAt(reply, 15);
    const bool batteryFlat = battery == 'F';
    if (battery != 'N') flags |= ChgBatteryFlag;
    if (m_underRange == 1 && m_autoRangeOn == 0) flags |= ChgUnderRange;
    if (m_overRange == 1 && m_autoRangeOn == 0) flags |= ChgOverRange;

    const QByteArray axes = ReplyField(reply, 16, 3);
    if (axes != m_axesState) {
        if (axes.size() > 2) m_axisCmnd = "A" + axes + Cr;
        m_axesState = axes;
        flags |= ChgAxes;
    }
    m_badReplyCount = 0;
    m_unitsChangePending = 0;
    if (batteryFlat) {
        message(platform::MsgIcon::Critical,
                QStringLiteral("Battery needs charging.  Set probe to off position to "
                               "discontinue this message."));
    }
    return flags;
}

void clsProbe::fileInitReply(const QByteArray& reply) {
    // m_initResps[k] holds the answer to characterisation command k; 0 the one before them.
    if (m_initCount >= 0 && m_initCount < int(m_initResps.size()))
        m_initResps[std::size_t(m_initCount)] = reply;
    // The units the probe had before the characterisation: those of the first data reply of
    // its first run. A run started again, or armed again after the probe was lost in the
    // middle of one, begins in whatever units the broken run had reached.
    if (m_initCount == 3 && m_initUnitsCode.isEmpty() && SigmaDataWellFormed(reply))
        m_initUnitsCode = ReplyField(reply, 8, 3);
    ++m_initCount;
    // A probe with a fifth range is a single-units probe: four replies tell all.
    if (m_initResps[1].startsWith(":R5") || m_initResps[2].startsWith(":R5")) m_initLength = 4;
}

void clsProbe::finishCharacterisation() {
    m_initState = 0;
    if (m_initLength >= 5) {
        bool unanswered = false;
        for (int k = 3; k <= 23; ++k) {
            const QByteArray& cmnd = m_initCmnds[std::size_t(k)];
            const QByteArray& resp = m_initResps[std::size_t(k)];
            unanswered = unanswered || resp.isEmpty();
            if (cmnd.isEmpty() || CharAt(resp, 2) != cmnd.at(0)) {
                m_initMismatch += QString::number(k) + QStringLiteral("   ") +
                                  QString::fromLatin1(cmnd) + QStringLiteral("   ") +
                                  QString::fromLatin1(resp);
            }
            if (cmnd == "D2" && resp.size() < 19)
                m_initMismatch = QStringLiteral("D2 String too short");
        }
        // A first mismatch at the third units or the fourth range is tolerated: not every
        // model has them, and such a probe refuses the command. A step that went unanswered
        // through all its tries tells nothing of the model, and anything else means the
        // replies cannot be trusted: start again.
        const bool tolerated = !unanswered && (m_initMismatch.startsWith(QLatin1String("16")) ||
                                               m_initMismatch.startsWith(QLatin1String("20")));
        if (!m_initMismatch.isEmpty() && !tolerated) {
            m_initMismatch.clear();
            m_initState = 1;
            m_initCount = 0;
            m_initResps.fill(QByteArray());
            ++m_initFailures;
            return;
        }
    } else {
        SetNextCmnd(m_initCmnds[23] + Cr); // back to the range found at identification
    }

    // A run that leaves the probe in another range than the one readings are scaled in (the
    // short run ends in range 5) makes its values no readings until the probe reports its
    // range again.
    m_rangeInDoubt = rangeLeftByCharacterisation() != m_range;
    if (m_rangeInDoubt && !m_cmndPending) SetNextCmnd(QByteArray("R") + Cr);
    m_initLength = 24;
    m_initFailures = 0;
    bool singleAxis = false;
    m_modelName = FindProbeType(m_initResps, &singleAxis);
    if (singleAxis) m_multiplexOn = 0;
    if (m_modelName.isEmpty())
        message(platform::MsgIcon::Information, QStringLiteral("Probe type unknown"));
    m_fieldKind = 1;
    SetModelTables();
    // The characterisation leaves the probe in its first units: return to the units it had.
    const int units = RestoreUnitsNumber(m_modelName, m_initUnitsCode);
    m_initUnitsCode.clear();
    m_initRangeCmnd.clear();
    if (units > 0) SetNextCmnd("U" + QByteArray::number(units) + Cr);
    CalcReadInterval();
    m_initMismatch.clear();
    m_initResps.fill(QByteArray());
}

// The range of the last range command of the run that the probe confirmed; -1 when none did.
int clsProbe::rangeLeftByCharacterisation() const {
    for (int k = std::min(m_initLength, int(m_initCmnds.size())) - 1; k >= 1; --k) {
        const QByteArray& cmnd = m_initCmnds[std::size_t(k)];
        const QByteArray& resp = m_initResps[std::size_t(k)];
        if (cmnd.size() != 2 || cmnd.at(0) != 'R') continue;
        if (RangeReplyWellFormed(resp) && resp.at(2) == cmnd.at(1)) return resp.at(2) - '0';
        return -1;
    }
    return -1;
}

int clsProbe::parseKappa(const QByteArray& reply, const QByteArray& p) {
    int flags = 0;
    if (p == ":D") {
        if (!KappaDataWellFormed(reply)) return refuse();
        const QByteArray value = ReplyField(reply, 3, 5);
        m_fieldStr = QString::fromLatin1(value);
        flags |= ChgReading;
        ProcessXYZReading(float(Val(value)));
        if (m_muxDisplayDirty) {
            m_muxDisplayDirty = 0;
            flags |= ChgMultiplex;
        }
        if (m_rangeDisplayDirty) {
            m_rangeDisplayDirty = 0;
            flags |= ChgRange;
        }
        const QByteArray code = ReplyField(reply, 8, 3);
        if (code != m_unitsCode) {
            m_unitsCode = code;
            const KappaUnitsLookup units = UnitsCodeToTextKappa(code);
            m_unitsText = units.text;
            m_fieldKind = 1;
            if (units.unitsIndex > 0) m_unitsIndex = units.unitsIndex;
            if (m_unitsChangePending) m_unitsIndex = m_unitsSelected;
            flags |= ChgUnits;
            ClearMaxHold();
            if (!units.message.isEmpty()) message(platform::MsgIcon::None, units.message);
        }
    } else if (p == ":B") {
        if (!BatteryReplyWellFormed(reply)) return refuse();
        m_battery = float(Val(ReplyField(reply, 3, 5)));
        m_badReplyCount = 0;
        flags |= ChgBattery;
    } else if (p == ":T") {
        if (!TemperatureReplyWellFormed(reply)) return refuse();
        m_temperature = float(Val(ReplyField(reply, 4, 3)));
        m_badReplyCount = 0;
        flags |= ChgTemperature;
    } else if (p == ":I") {
        const QString date = QString::fromLatin1(ReplyField(reply, 25, 2)) + QLatin1Char('/') +
                             QString::fromLatin1(ReplyField(reply, 27, 2)) + QLatin1Char('/') +
                             QString::fromLatin1(ReplyField(reply, 29, 4));
        m_host.SetProbeIdentity(QString::fromLatin1(ReplyField(reply, 17, 8)), date);
    } else if (p == ":i") {
        m_host.SetProbeSoftRev(QString::fromLatin1(ReplyField(reply, 7, 10)));
    }
    return flags;
}

} // namespace probe

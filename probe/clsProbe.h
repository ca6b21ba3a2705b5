#pragma once
// The probe session: the wire protocol of all three probe families (which command to send
// next, how long its reply is and how long to wait for it), the reply parser with its change
// flags, the model tables of the connected probe, and the reading values with their holds and
// averages.
//
// Protocol state (TypeZeta): 0 Sigma probe in service, 1 Zeta probe in service, 2 identifying,
// 3 Kappa probe in service. Commands and replies are byte strings; every command ends in CR.
#include "probe/ModelTables.h"
#include "probe/ProbeHost.h"
#include "probe/Readings.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace probe {

// Change flags returned by InputStr.
enum ChangeFlag : int {
    ChgReading = 1,
    ChgAxes = 2,
    ChgOverRange = 4,
    ChgBatteryFlag = 8,
    ChgUnits = 16,
    ChgRange = 32,
    ChgTemperature = 64,
    ChgBattery = 128,
    ChgUnderRange = 512,
    ChgMultiplex = 1024,
    ChgRefused = 2048, // the probe refused a units or range command (RefusedCmnd)
};

enum ProtocolState : int { StateSigma = 0, StateZeta = 1, StateIdentifying = 2, StateKappa = 3 };

inline const QByteArray Cr = QByteArrayLiteral("\r");

class clsProbe {
public:
    explicit clsProbe(ProbeHost& host);

    // --- protocol -------------------------------------------------------------------------
    QByteArray GetNextCmnd(const QByteArray& lastReply);
    int InputStr(const QByteArray& reply);
    void SetNextCmnd(const QByteArray& command);
    int GetRThreshold() const { return m_respLength; }
    int GetTimerInterval() const { return m_readInterval; }

    int TypeZeta() const { return m_state; }
    void SetTypeZeta(int state) { m_state = state; }
    int LostComm() const { return m_lostComm; }
    void SetLostComm(int lost);
    int StartARProbe() const { return m_startARProbe; }
    void SetStartARProbe(int value);
    int BaudRateChange() const { return m_linkFallback; }
    QString BaudRatePerfered() const { return m_baudRatePreferred; }
    void SetBaudRatePerfered(const QString& settings) { m_baudRatePreferred = settings; }
    void SetHighSpeedMode(int code) { m_highSpeedCode = code; }
    int HighSpeedCode() const { return m_highSpeedCode; }
    int UseCelsiusTemp() const { return m_useCelsius; }
    void SetUseCelsiusTemp(int value) { m_useCelsius = value; }
    void SetAutoBaud(int value) { m_autoBaud = value; }

    int Range() const { return m_range; }
    void SetRange(int n);
    void ToggleAxis(int axis);
    int AutoRangeOn() const { return m_autoRangeOn; }
    void SetAutoRangeOn(int value);
    int MultiplexOn() const { return m_multiplexOn; }
    int MultiplexPrefered() const { return m_multiplexPreferred ? 1 : 0; }
    void SetMultiplexPrefered(int value);
    QString GetAxisStr() const; // "A" + one letter per axis, "E" enabled, "D" disabled
    float Battery() const { return m_battery; }
    float Temperature() const { return m_temperature; }
    void Delay(double ms) { m_host.Delay(ms); }

    // --- models, ranges and units -----------------------------------------------------------
    QString GetModel() const { return m_modelName; }
    QString UnitsStr() const { return m_unitsText; }
    int GetUnitsNo() const { return m_unitsIndex; }
    void UnitsNoZeta(int units) { m_unitsIndex = units; }
    int GetMaxRange() const { return m_tables.maxRange(m_unitsIndex); }
    float GetUnderRangeVal() const;
    float GetOverRangeVal() const;
    QString GetRangeString(int range) const;
    QString GetGraphScales(int range, int kind) const;
    void SetGraphType(const QString& type) { m_graphType = type; }
    QString GetGraphSelection() const;
    int GetMultiplexAvail() const { return m_tables.MuxAvail; }
    const ModelTables& Tables() const { return m_tables; }
    int FieldKind() const { return m_fieldKind; }

    // --- sample rate --------------------------------------------------------------------------
    int SampleRate() const;            // achieved samples per second
    void SetSampleRate(int perSecond); // requested samples per second
    int RequestedSampleRate() const { return m_requestedRate; }
    int GetMaxSamRate() const;
    int MinReadTime() const { return m_tables.MinReadTime; }
    int DataInterval() const { return m_dataInterval; }

    // --- reading values ------------------------------------------------------------------------
    float Field() const;
    QString FieldStr() const { return m_fieldStr; }
    float Xaxis() const { return m_axis[1].averaged(); }
    float Yaxis() const { return m_axis[2].averaged(); }
    float Zaxis() const { return m_axis[3].averaged(); }
    float XNA() const { return m_axis[1].raw(); }
    float YNA() const { return m_axis[2].raw(); }
    float ZNA() const { return m_axis[3].raw(); }
    float XYZAxis() const;
    float XYZNA() const;
    float MaxHoldX() const { return throughText(m_axis[1].peak()); }
    float MaxHoldY() const { return throughText(m_axis[2].peak()); }
    float MaxHoldZ() const { return throughText(m_axis[3].peak()); }
    float MaxHoldXYZ() const;
    float MinHoldX() const { return m_axis[1].minimum(); }
    float MinHoldY() const { return m_axis[2].minimum(); }
    float MinHoldZ() const { return m_axis[3].minimum(); }
    float MinHoldXYZ() const;
    QString XAxisStr() const { return probe::AdjustStrLen(Xaxis()); }
    QString YAxisStr() const { return probe::AdjustStrLen(Yaxis()); }
    QString ZAxisStr() const { return probe::AdjustStrLen(Zaxis()); }
    QString XYZAxisStr() const;
    static QString AdjustStrLen(float value) { return probe::AdjustStrLen(value); }
    int GetPercentOfScale() const;
    int GetMultiCurrAxis() const { return m_currAxis; }
    // Read axis by axis: the last reply read Z after X and Y were read in the same cycle, all
    // since the probe was last found.
    bool CycleCompleted() const { return m_cycleCompleted; }
    int OverRangeFlag() const { return m_overRange; }
    int UnderRangeFlag() const { return m_underRange; }
    int SetOverRangeColor() const { return (m_overRange == 1 && m_autoRangeOn == 0) ? 255 : 0; }
    void ClearMaxHold();
    void ClearMinHold();
    void PausePeakHold(int value) { m_holdsPaused = value; }
    int Average() const { return m_averageCount; }
    void SetAverage(int count);
    int AxisEnabled() const { return m_axisMask; }
    void SetAxisEnabled(int mask) { m_axisMask = mask; }

    // --- session internals that the tests and the window read -----------------------------------
    bool CmndPending() const { return m_cmndPending; }
    QByteArray PendingCmnd() const { return m_pendingCmnd; }
    QByteArray LastCmnd() const { return m_lastCmnd; }
    // The units or range command the probe refused last, without its carriage return.
    QByteArray RefusedCmnd() const { return m_refusedCmnd; }
    int InitState() const { return m_initState; }
    // The characterisation's progress: the step awaited (1 = the reply before the first
    // command), the steps in all, the try of this step (1..4) and the runs in a row that had
    // to start again.
    int InitStep() const { return m_initCount + 1; }
    int InitLength() const { return m_initLength; }
    int InitTry() const { return m_initTries + 1; }
    int FailedCharacterisations() const { return m_initFailures; }
    // Replies refused as malformed since the session began.
    qint64 RefusedReplies() const { return m_refusedReplies; }
    float DownThreshold() const { return m_downThreshold; }
    int BadReplyCount() const { return m_badReplyCount; }
    int UnitsSelected() const { return m_unitsSelected; }

private:
    // scheduler (ProbeScheduler.cpp)
    void SetCmndTiming(const QByteArray& command);
    void send(const QByteArray& command) { m_nextCmnd = command + Cr; }
    void linkSearch();
    void zetaRules(const QByteArray& reply, const QByteArray& p);
    void sigmaRules(const QByteArray& reply, const QByteArray& p);
    void sigmaDataRules(const QByteArray& reply);
    void kappaRules(const QByteArray& p);
    void identifyingRules(const QByteArray& reply, const QByteArray& p);
    void characterisingRules(const QByteArray& reply);
    void zetaSetUp(const QByteArray& reply);
    void kappaSetUp(const QByteArray& reply);

    // parser (ProbeParser.cpp)
    int parseNotCharacterising(const QByteArray& reply, const QByteArray& p);
    int parseSigmaData(const QByteArray& reply);
    void fileInitReply(const QByteArray& reply);
    void finishCharacterisation();
    int rangeLeftByCharacterisation() const;
    int refuse();
    int parseKappa(const QByteArray& reply, const QByteArray& p);
    void message(platform::MsgIcon icon, const QString& text) { m_host.ShowMessage(icon, text); }

    // tables and readings (ProbeSession.cpp)
    void SetModelTables();
    void SetModelLimits();
    void applyUnitsCode(const QByteArray& code);
    void RecalcDownThreshold();
    void CalcReadInterval();
    void ProcessXYZReading(float reported);
    void ProcessAxisReading(int axis, float reported);
    float factorFor(int range) const;
    float compositeOf(float x, float y, float z) const;
    bool axisByAxis() const { return m_multiplexOn == 1 && m_state == StateSigma; }
    static float throughText(float value);

    ProbeHost& m_host;
    ModelTables m_tables;

    // protocol
    int m_state = StateSigma;
    QByteArray m_nextCmnd = QByteArrayLiteral("R\r");
    QByteArray m_lastCmnd;
    QByteArray m_answeredCmnd; // the command the reply being parsed answers
    QByteArray m_refusedCmnd;
    QByteArray m_pendingCmnd;
    bool m_cmndPending = false;
    QByteArray m_dataCmnd = QByteArrayLiteral("D2\r");
    QByteArray m_axisCmnd = QByteArrayLiteral("AEEE\r");
    int m_respLength = 4;
    int m_readInterval = 66;
    int m_dataInterval = 66;
    int m_initInterval = 66;
    int m_lostComm = 0;
    int m_startARProbe = 0;
    int m_searchStep = 0;
    int m_linkFallback = 0;
    int m_askedRange = 0;
    int m_highSpeedCode = 0;
    int m_autoBaud = 1;
    int m_useCelsius = 0;
    QString m_baudRatePreferred;

    // characterisation
    std::array<QByteArray, 33> m_initCmnds{};
    std::array<QByteArray, 33> m_initResps{};
    int m_initCount = 0;
    int m_initLength = 24;
    int m_initState = 0;
    QString m_initMismatch;
    static constexpr int InitRetries = 3;
    static constexpr int InitRetryWaitMs = 100; // times the try: 100, 200, 300 ms
    int m_initTries = 0;                        // asks of the step in flight beyond the first
    int m_initSends = 1;                        // times the step's command went out
    int m_initSeen = 0;                         // whole answers to it seen
    int m_initOwed = 0;                         // answers to the step before that may still come
    QByteArray m_initOwedCmnd;
    int m_initFailures = 0;
    qint64 m_refusedReplies = 0;

    // reading state
    QByteArray m_unitsCode;
    QString m_unitsText;
    QByteArray m_axesState;
    QString m_modelName;
    int m_range = 2;
    // The probe may be in another range than the one readings are scaled in (a
    // characterisation left it elsewhere): its data replies are no readings until it reports
    // its range.
    bool m_rangeInDoubt = false;
    int m_autoRangeOn = 0;
    int m_unitsIndex = 1;
    int m_unitsSelected = 1;
    int m_multiplexOn = 0;
    bool m_multiplexPreferred = false;
    int m_currAxis = 0;
    int m_nextAxis = 0;
    QByteArray m_initUnitsCode; // the units before the characterisation, restored after it
    QByteArray m_initRangeCmnd; // the range before it, the command that restores it
    int m_axesRead = 0;         // this cycle's axes read so far: 1 X, 2 Y
    bool m_cycleCompleted = false;
    int m_overRange = 0;
    int m_underRange = 0;
    int m_cycleOver = 0;
    int m_rangeStepPending = 0;
    int m_unitsChangePending = 0;
    int m_rangeDisplayDirty = 0;
    int m_muxDisplayDirty = 0;
    int m_unitsFollowUp = 0;
    int m_badReplyCount = 0;
    float m_downThreshold = 0.0f;
    float m_battery = 0.0f;
    float m_temperature = 0.0f;
    int m_fieldKind = 1;
    float m_downFactor;
    float m_currentMult = 1.0f;
    QString m_graphType;
    int m_requestedRate = 10;

    // reading values: index 0 total, 1 X, 2 Y, 3 Z
    std::array<ReadingChannel, 4> m_axis;
    std::array<int, 4> m_barValue{};
    QString m_fieldStr;
    int m_averageCount = 1;
    int m_axisMask = 7;
    int m_holdsPaused = 0;
};

} // namespace probe

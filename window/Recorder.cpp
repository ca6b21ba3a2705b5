#include "window/Recorder.h"

#include "engine/ProbeEngine.h"

#include <QMenu>

namespace window {

using measure::RecordTable;

Recorder::Recorder(const RecordControls& controls, const HeldBack& heldBack,
                   measure::RecordTable& records, engine::ProbeEngine& engine, StoredView& stored,
                   WindowShell& shell, Hooks hooks)
    : m_ui(controls), m_held(heldBack), m_records(records), m_engine(engine), m_stored(stored),
      m_shell(shell), m_hooks(std::move(hooks)) {
    QObject::connect(m_ui.mnuProbeRecord, &QAction::triggered, [this] { ToggleRecordOn(); });
    QObject::connect(m_ui.tbRecord, &QAction::triggered, [this] { ToggleRecordOn(); });
    QObject::connect(m_ui.mnuProbeRecordPause, &QAction::triggered, [this] { TogglePause(); });
    QObject::connect(m_ui.tbRecordPause, &QAction::triggered, [this] { TogglePause(); });
    QObject::connect(m_ui.LabRecord, &platform::ClickLabel::clicked, [this] {
        if (m_indicator != Indicator::Play) ToggleRecordOn(); // a playback is not logged
    });
    QObject::connect(m_ui.LabRecordCntLab, &platform::ClickLabel::clicked,
                     [this] { EraseRecords(); });
}

// Every row of a log is in the log's units: a probe that changes its units ends the log, as
// the user's stop would.
void Recorder::TakeReading(const measure::Reading& reading) {
    if (m_records.Recording() == RecordTable::Idle) return;
    if (m_records.RecordUnits().isEmpty()) {
        m_records.SetRecordUnits(reading.units);
    } else if (reading.units != m_records.RecordUnits()) {
        const QString was = m_records.RecordUnits();
        ToggleRecordOn();
        m_shell.SetStatusPanel(1, UnitsChangedText.arg(reading.units, was));
        return;
    }
    if (m_records.Recording() != RecordTable::Logging || !reading.completesSample) return;
    if (m_records.Append(reading)) EndFullLog();
}

void Recorder::EndFullLog() {
    ToggleRecordOn();
    m_shell.SetStatusPanel(1, LogFullText);
}

void Recorder::ToggleRecordOn() {
    if (m_records.Recording() == RecordTable::Idle) {
        if (!m_hooks.mayDiscardLog()) return;
        m_hooks.stopPlayback();
        for (QAction* a :
             {m_held.tbZoomIn, m_held.tbZoomOut, m_ui.mnuFileSaveAs, m_held.mnuProbeZero,
              m_held.mnuProbeClearPeak, m_ui.tbSave, m_held.mnuViewExposure})
            a->setEnabled(false);
        for (QMenu* m :
             {m_held.mnuProbeUnitsZeta, m_held.mnuProbeUnitsSigma, m_held.mnuProbeUpdateProbeBatt})
            m->setEnabled(false);
        m_held.LabPeak->setClickable(false, QStringLiteral("The peaks are kept while logging"));
        m_ui.mnuProbeRecord->setChecked(true);
        m_hooks.batteryRefresh(false);
        m_stored.NewLog();
        m_hooks.clearPeaks();
        using Layout = RecordTable::Layout;
        const bool zeta = m_engine.probe().TypeZeta() == probe::StateZeta;
        Layout layout =
            (zeta || m_engine.probe().MultiplexOn() == 1) ? Layout::Axes : Layout::Total;
        if (m_hooks.exposureShown()) layout = Layout::MovingAverage;
        // A log begun before the probe told its units takes those of its first row.
        m_records.StartLog(layout, m_engine.UnitsText(), m_engine.probe().GetModel());
        if (m_hooks.logStarted) m_hooks.logStarted();
        if (layout == Layout::MovingAverage) {
            m_records.SetRecording(RecordTable::ExposureLogging);
            m_hooks.movingAverage(true);
        } else {
            m_ui.tbRecordPause->setEnabled(true);
            m_ui.mnuProbeRecordPause->setEnabled(true);
            m_records.SetRecording(RecordTable::Logging);
        }
        RecordIndicator(Indicator::Log);
        setPeakHoldPaused(false);
        ShowRecordCount();
        return;
    }
    m_ui.tbRecordPause->setChecked(false);
    StopRecording();
    m_hooks.movingAverage(false);
    stopped();
}

void Recorder::stopped() {
    m_hooks.batteryRefresh(true);
    for (QAction* a : {m_held.mnuViewExposure, m_ui.mnuFileSaveAs, m_held.mnuProbeClearPeak,
                       m_ui.tbSave, m_held.tbZoomOut})
        a->setEnabled(true);
    m_held.mnuProbeUpdateProbeBatt->setEnabled(true);
    m_held.LabPeak->setClickable(true);
    m_held.mnuProbeZero->setEnabled(m_hooks.zeroAvailable());
    m_held.mnuProbeUnitsZeta->setEnabled(m_engine.probe().TypeZeta() == probe::StateZeta);
    m_held.mnuProbeUnitsSigma->setEnabled(m_engine.probe().TypeZeta() == probe::StateSigma);
    m_ui.tbRecordPause->setEnabled(false);
    setPeakHoldPaused(false);
}

void Recorder::TogglePause() {
    switch (m_records.Recording()) {
    case RecordTable::Logging:
    case RecordTable::Paused: {
        const bool pause = m_records.Recording() == RecordTable::Logging;
        m_records.SetRecording(pause ? RecordTable::Paused : RecordTable::Logging);
        m_ui.mnuProbeRecordPause->setChecked(pause);
        RecordIndicator(pause ? Indicator::Pause : Indicator::Log);
        setPeakHoldPaused(pause);
        m_ui.tbRecordPause->setChecked(pause);
        break;
    }
    case RecordTable::ExposureLogging:
        m_records.SetRecording(RecordTable::ExposurePaused);
        RecordIndicator(Indicator::Pause);
        break;
    case RecordTable::ExposurePaused:
        m_records.SetRecording(RecordTable::ExposureLogging);
        m_hooks.movingAverage(true);
        RecordIndicator(Indicator::Log);
        break;
    default: break;
    }
}

void Recorder::setPeakHoldPaused(bool paused) {
    m_engine.PausePeakHolds(paused);
}

void Recorder::StopRecording() {
    m_ui.mnuProbeRecordPause->setEnabled(false);
    m_ui.mnuProbeRecordPause->setChecked(false);
    m_records.SetRecording(RecordTable::Idle);
    m_ui.mnuProbeRecord->setChecked(false);
    RecordIndicator(Indicator::Stop);
}

void Recorder::RecordIndicator(Indicator shown) {
    struct Look {
        const char* caption;
        platform::Colour captionColour, fill;
    };
    static const Look looks[] = {
        {"Log", 0xFFFFFF, 255},      // Log: white on red
        {" Pause", 0, 65535},        // Pause: black on yellow
        {"Log", 0xFFFFFF, 0x808080}, // Stop: white on grey
        {"Play", 0, 0xFFFF00},       // Play: black on cyan
    };
    m_indicator = shown;
    const Look& look = looks[int(shown)];
    m_ui.LabRecord->setText(QString::fromLatin1(look.caption));
    platform::SetForeColor(m_ui.LabRecord, look.captionColour);
    m_ui.ShapeRecordInd->setFillColor(look.fill);
}

void Recorder::ShowRecordCount() {
    m_ui.LabRecordCnt->setText(QString::number(m_records.RecordCount()));
}

void Recorder::EraseRecords() {
    if (!m_hooks.mayDiscardLog()) return;
    m_records.SetRecordCount(0);
    m_ui.LabRecordCnt->setText(QStringLiteral("0"));
}

} // namespace window

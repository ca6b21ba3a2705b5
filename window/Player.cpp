#include "window/Player.h"

#include "engine/ProbeEngine.h"
#include "probe/ModelTables.h"
#include "probe/Readings.h"
#include "probe/clsProbe.h"
#include "window/BarGraphControl.h"
#include "window/GraphControl.h"
#include "window/Recorder.h"

#include <QComboBox>
#include <algorithm>
#include <array>

namespace window {

using measure::RecordTable;

Player::Player(const Controls& controls, measure::ReadingSink& readings,
               engine::ProbeEngine& engine, Parts parts, Timers timers,
               platform::MessageBoxes& boxes)
    : m_ui(controls), m_readings(readings), m_engine(engine), m_parts(parts), m_timers(timers),
      m_boxes(boxes) {
    m_ui.mnuProbePlay->setCheckable(true);
    QObject::connect(m_ui.mnuProbePlay, &QAction::triggered, m_ui.mnuProbePlay,
                     [this] { mnuProbePlay_Click(); });
    // Play is taken away when the graph goes live or another log comes: what played ends.
    QObject::connect(m_ui.mnuProbePlay, &QAction::enabledChanged, m_ui.mnuProbePlay,
                     [this](bool enabled) {
                         if (!enabled) StopPlayback();
                     });
    m_timers.HRTPlay.setOnTimer([this] { HRTPlay_Tick(); });
}

// The click has flipped the tick already; it is set again from what playback does.
void Player::mnuProbePlay_Click() {
    if (m_playing) {
        StopPlayback();
        return;
    }
    const QString refused = refusal();
    if (!refused.isEmpty()) {
        m_ui.mnuProbePlay->setChecked(false);
        m_boxes.inform(platform::MsgIcon::Information, refused);
        return;
    }
    // A polled probe that answers is left unread while the log plays, if the user agrees.
    if (m_engine.probe().LostComm() != 1 &&
        !m_boxes.askYesNo(platform::MsgIcon::Question, PauseProbeText, QStringLiteral("Play"))) {
        m_ui.mnuProbePlay->setChecked(false);
        return;
    }
    PlayData();
    m_parts.bars.ClearBarPeaks();
    ClearPlayPeakHold();
}

QString Player::refusal() const {
    // The readouts and the graph cannot show a log and the rows being logged at once.
    if (m_parts.recorder.Recording()) return LogRunningText;
    // A streaming probe cannot be paused: its records come unasked.
    if (m_engine.probe().LostComm() != 1 &&
        m_engine.cycle().HighSpeedState() != probe::HighSpeed::Off)
        return ProbeAnsweringText;
    if (rowInterval() <= 0.0) return NoSampleRateText;
    if (m_parts.records.RecordCount() < 1) return NothingToPlayText;
    return {};
}

double Player::rowInterval() const {
    const QString rate = m_ui.CmbSampleRate->currentText();
    if (rate == QLatin1String("Max")) return MaxRatePlayMs;
    const double perSecond = probe::Val(rate);
    return perSecond > 0.0 ? 1000.0 / perSecond : 0.0;
}

void Player::PlayData() {
    m_recordWasOn = m_ui.tbRecord->isEnabled();
    m_zoomInWasOn = m_ui.tbZoomIn->isEnabled();
    m_zoomOutWasOn = m_ui.tbZoomOut->isEnabled();
    for (QAction* a : {m_ui.tbRecord, m_ui.tbZoomIn, m_ui.tbZoomOut})
        a->setEnabled(false);

    // The probe, or the search for one, waits while the log plays.
    m_pausedProbe = !m_engine.PollingPaused();
    m_engine.PausePolling(true);
    m_parts.recorder.RecordIndicator(Recorder::Indicator::Play);
    m_unitsBefore = m_ui.LabUnits->text();
    m_ui.LabUnits->setText(m_parts.records.RecordUnits());
    // The log's probe, whose formats the readouts take.
    const int family = probe::ModelFamily(m_parts.records.ProbeType());
    m_family = family == probe::StateZeta    ? measure::Family::Zeta
               : family == probe::StateKappa ? measure::Family::Kappa
                                             : measure::Family::Sigma;
    m_parts.graphs.StartPlayback();
    m_playIndex = 0;

    m_playing = true;
    m_ui.mnuProbePlay->setChecked(true);
    m_timers.HRTPlay.setInterval(rowInterval());
    m_timers.HRTPlay.setEnabled(true);
}

void Player::HRTPlay_Tick() {
    if (!m_playing) return;
    ++m_playIndex;
    const RecordTable& rows = m_parts.records;
    // The table may have lost rows since playback began.
    if (m_playIndex > rows.RecordCount()) {
        StopPlayback();
        return;
    }
    const measure::AxisValues row{rows.At(m_playIndex, 1), rows.At(m_playIndex, 2),
                                  rows.At(m_playIndex, 3), rows.At(m_playIndex, 4)};
    for (std::size_t i = 0; i < row.size(); ++i)
        m_playPeakHold[i] = std::max(m_playPeakHold[i], row[i]);
    m_readings.TakeReading(measure::ReadingOfRow(m_family, rows.RecordUnits(),
                                                 rows.RecordColumns() == RecordTable::Layout::Axes,
                                                 rows.At(m_playIndex, 0), row, m_playPeakHold));
    if (m_playIndex >= rows.RecordCount()) StopPlayback();
}

void Player::StopPlayback() {
    if (!m_playing) return;
    m_playing = false;
    m_timers.HRTPlay.setEnabled(false);
    m_parts.graphs.EndPlayback();
    m_parts.recorder.RecordIndicator(Recorder::Indicator::Stop);
    m_ui.LabUnits->setText(m_unitsBefore);
    if (m_pausedProbe) m_engine.PausePolling(false);
    m_ui.tbRecord->setEnabled(m_recordWasOn);
    m_ui.tbZoomIn->setEnabled(m_zoomInWasOn);
    m_ui.tbZoomOut->setEnabled(m_zoomOutWasOn);
    m_ui.mnuProbePlay->setChecked(false);
}

} // namespace window

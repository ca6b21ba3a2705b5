#include "window/Player.h"

#include "engine/ProbeEngine.h"
#include "probe/ModelTables.h"
#include "probe/Readings.h"
#include "probe/clsProbe.h"
#include "window/BarGraphControl.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/Readouts.h"
#include "window/Recorder.h"

#include <QComboBox>
#include <algorithm>
#include <array>

namespace window {

using graph::clsGraph;

Player::Player(const Controls& controls, Readouts& readouts, clsGraph& graph,
               engine::ProbeEngine& engine, const files::Config& config, Parts parts, Timers timers,
               platform::MessageBoxes& boxes)
    : m_ui(controls), m_readouts(readouts), m_graph(graph), m_engine(engine), m_config(config),
      m_parts(parts), m_timers(timers), m_boxes(boxes) {
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
    // A log without a value column, or without rows, would leave nothing to end the playback.
    if (m_graph.DataCnt() < 1) return NothingToPlayText;
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

    m_graph.SetSamPerDiv(float(m_config.SamPerDivSetting));
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
    m_powerDensity = m_parts.records.RecordUnits().startsWith(QLatin1String("mW/cm"));
    // The rows sweep across the live frame, whatever view of the store was shown.
    m_parts.graphs.SetUpGraphScale();
    m_graph.Graph(1);
    m_sweepLength = int(m_graph.ReTraceCnt());
    m_sweepIndex = 1;
    m_playIndex = 0;

    m_playing = true;
    m_ui.mnuProbePlay->setChecked(true);
    m_timers.HRTPlay.setInterval(rowInterval());
    m_timers.HRTPlay.setEnabled(true);
}

void Player::HRTPlay_Tick() {
    if (!m_playing) return;
    ++m_playIndex;
    // The store may have lost rows since playback began.
    if (m_playIndex > m_graph.DataCnt()) {
        StopPlayback();
        return;
    }
    const measure::AxisValues row{m_graph.ReadData(m_playIndex, clsGraph::TraceTotal),
                                  m_graph.ReadData(m_playIndex, clsGraph::TraceX),
                                  m_graph.ReadData(m_playIndex, clsGraph::TraceY),
                                  m_graph.ReadData(m_playIndex, clsGraph::TraceZ)};
    // Every row counts for the peaks, also one whose values the readouts skip.
    for (std::size_t i = 0; i < row.size(); ++i)
        m_playPeakHold[i] = std::max(m_playPeakHold[i], row[i]);
    if (m_parts.timers.ConsumeTextUpdateDue()) showReadouts(row);

    ++m_sweepIndex;
    if (m_sweepIndex > m_sweepLength) m_sweepIndex = 1;
    m_graph.ScrollErase(m_sweepIndex);
    for (int trace : {clsGraph::TraceX, clsGraph::TraceY, clsGraph::TraceZ})
        m_graph.Scroll(m_sweepIndex, row[std::size_t(trace - clsGraph::TraceTotal)], trace);
    if (m_config.PlotComposite == 1)
        m_graph.Scroll(m_sweepIndex, row[measure::Total], clsGraph::TraceTotal);

    if (m_parts.bars.BarGraphOn()) m_parts.bars.DrawBars(row);

    if (m_playIndex >= m_graph.DataCnt()) StopPlayback();
}

// The row and the peaks as the log's probe shows them live.
void Player::showReadouts(const measure::AxisValues& row) {
    m_readouts.ShowRow(row, m_playPeakHold, m_family, m_powerDensity);
}

void Player::StopPlayback() {
    if (!m_playing) return;
    m_playing = false;
    m_timers.HRTPlay.setEnabled(false);
    m_parts.recorder.RecordIndicator(Recorder::Indicator::Stop);
    m_ui.LabUnits->setText(m_unitsBefore);
    if (m_pausedProbe) m_engine.PausePolling(false);
    m_ui.tbRecord->setEnabled(m_recordWasOn);
    m_ui.tbZoomIn->setEnabled(m_zoomInWasOn);
    m_ui.tbZoomOut->setEnabled(m_zoomOutWasOn);
    m_ui.mnuProbePlay->setChecked(false);
}

} // namespace window

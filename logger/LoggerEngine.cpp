#include "logger/LoggerEngine.h"

#include "probe/LinkSpeeds.h"
#include "probe/ModelTables.h"
#include "probe/ReplyText.h"

#include <QDir>

namespace logger {

namespace {
constexpr double FlushMs = 100; // rows reach the disk at most this late
// How long the probe may take to answer a units or range request before logging starts anyway.
constexpr qint64 SetUpWaitMs = 3000;

QString Elapsed(qint64 ms) {
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

LoggerEngine::LoggerEngine(const LoggerOptions& options,
                           const QList<QPair<QString, QString>>& notes, platform::SerialComm& port,
                           platform::Clock& clock, const TimerFactory& timers, Reporter& reporter)
    : m_options(options), m_notes(notes), m_port(port), m_clock(clock), m_reporter(reporter),
      m_halfSecond(timers()), m_flush(timers()), m_second(timers()),
      m_engine(port, clock, static_cast<platform::MessageBoxes&>(*this), timers,
               static_cast<measure::ReadingSink&>(*this), static_cast<engine::EngineEvents*>(this)),
      m_probe(m_engine.probe()), m_average(measure::MovingAverage::PeriodSeconds(options.average)) {
    m_halfSecond->setInterval(500);
    m_halfSecond->setOnTimer([this] { halfSecond(); });
    m_flush->setInterval(FlushMs);
    m_flush->setOnTimer([this] {
        m_reporter.FlushStream();
        if (m_pages && !m_pages->Flush()) {
            m_reporter.Event(QStringLiteral("The log cannot be written: ") + m_pages->Error());
            Finish(Failed);
        }
    });
    m_second->setInterval(1000);
    m_second->setOnTimer([this] { averageSecond(); });
    if (m_options.limitOn)
        m_limit = std::make_unique<LimitWatch>(m_options, timers(),
                                               [this](const measure::ExposureEvent& event,
                                                      bool ended) { levelChanged(event, ended); });

    // Axis by axis where the probe can, each sample on its own, as the window starts.
    m_engine.SetMultiplexPreferred(true);
    m_engine.SetAveraging(1);
    if (m_options.baud == 19200) m_engine.SetPreferredSpeed(probe::PolledFastSpeed().Settings());
}

LoggerEngine::~LoggerEngine() {
    Finish(Done);
}

bool LoggerEngine::Start() {
    m_startMs = m_clock.monotonicMs();
    if (!m_engine.Start(1)) return false;
    if (m_options.maxRate)
        m_engine.SetMaxRate(true);
    else if (m_options.rate > 0)
        m_engine.SetSampleRate(m_options.rate);
    m_halfSecond->setEnabled(true);
    m_flush->setEnabled(true);
    m_reporter.Event(QStringLiteral("Looking for a probe on the line"));
    return true;
}

void LoggerEngine::Finish(int exitCode) {
    if (m_finished) return;
    // The rows already on the line are logged before the pages close. A row that ends the run
    // itself (the disk refused it) finishes it from there.
    if (!m_stopping) {
        m_stopping = true;
        m_engine.StopPolling();
        if (m_finished) return;
    }
    m_finished = true;
    countPace(m_clock.monotonicMs());
    for (auto* t : {m_halfSecond.get(), m_flush.get(), m_second.get()})
        t->setEnabled(false);
    if (m_limit) m_limit->SetRunning(false);
    int code = exitCode;
    if (m_pages) {
        if (!m_pages->Close() && code == Done) {
            m_reporter.Event(QStringLiteral("The log cannot be written: ") + m_pages->Error());
            code = Failed;
        }
        m_reporter.Event(QStringLiteral("%1 rows in %2 page(s), the first %3")
                             .arg(m_pages->Rows())
                             .arg(m_pages->Page())
                             .arg(QDir::toNativeSeparators(m_pages->PagePath(1))));
        m_reporter.Event(QStringLiteral("%1 rows written of %2 samples the probe delivered while "
                                        "logging; its pace allowed %3 rows")
                             .arg(m_pages->Rows())
                             .arg(m_delivered)
                             .arg(qRound64(m_allowed)));
    }
    // A run that logged too little is not reported as done: a line that loses most replies,
    // or a probe lost for most of the run.
    if (code == Done && m_everFound && m_allowed >= 10 && 2 * double(Rows()) < m_allowed) {
        m_reporter.Event(QStringLiteral("Less than half the rows the probe's pace allows were "
                                        "logged (%1).")
                             .arg(lineFigures()));
        code = ShortLog;
    }
    if (m_port.portOpen()) m_port.setPortOpen(false);
    m_reporter.Finished(code);
}

// ---- the probe session's and the polling cycle's requests ------------------------------------

void LoggerEngine::ShowMessage(platform::MsgIcon, const QString& text) {
    m_reporter.Event(text);
}

void LoggerEngine::inform(platform::MsgIcon, const QString& text, const QString&) {
    m_reporter.Event(text);
}

bool LoggerEngine::askYesNo(platform::MsgIcon, const QString& text, const QString&) {
    m_reporter.Event(text + QStringLiteral(" (no)"));
    return false;
}

void LoggerEngine::ClearDisplay() {
    if (!m_found) return;
    m_found = false;
    m_setUpSent = false;
    m_rangeAsked = false;
    ++m_losses;
    m_reporter.Event(QStringLiteral("The probe stopped answering; waiting for it"));
}

void LoggerEngine::DisableHiSpeed(bool ended) {
    m_reporter.Event(ended ? QStringLiteral("The probe's stream ended; polling it again")
                           : QStringLiteral("Asking the probe to stream"));
}

void LoggerEngine::ReadingChanges(int mask) {
    // A probe of the basic line cannot be answered at once.
    if (mask & probe::ChgMultiplex) {
        const probe::ModelSetUp* row = probe::FindModelSetUp(m_probe.GetModel());
        if (row && row->basicLine) m_engine.StopAutoNext();
    }
}

void LoggerEngine::ZetaIdentified(bool, bool batteryLow) {
    if (batteryLow) m_reporter.Event(QStringLiteral("Probe battery low."));
}

void LoggerEngine::CommandRefused(const QString& command) {
    m_reporter.Event(QStringLiteral("The probe refused \"%1\".").arg(command));
}

// ---- readings and rows ----------------------------------------------------------------------

// The units, range and link speed asked for go to the probe once it has sent a whole sample.
void LoggerEngine::setUpProbe() {
    m_setUpSent = true;
    m_setUpMs = m_clock.monotonicMs();
    const bool zeta = m_probe.TypeZeta() == probe::StateZeta;
    if (m_options.units > 0) {
        if (zeta) {
            if (const measure::ZetaUnit* unit = measure::ZetaUnitOfNumber(m_options.units))
                m_engine.SetZetaUnits(*unit);
        } else if (m_probe.TypeZeta() == probe::StateSigma) {
            m_engine.RequestUnits(m_options.units);
        }
    }
    // The probe takes one command a poll: the range goes with the next sample (askRange).
    if (m_options.range == 0 && !zeta) m_engine.SetAutoRange(true);
    if (zeta && m_options.baud > 19200) {
        // The probe is asked at the base speed; it acknowledges there, then streams.
        for (const probe::LinkSpeed& speed : probe::LinkSpeeds()) {
            if (!speed.streams || !QString::fromLatin1(speed.settings)
                                       .startsWith(QString::number(m_options.baud) + u','))
                continue;
            m_engine.RequestStreamingSpeed(speed);
        }
    }
}

void LoggerEngine::askRange() {
    m_rangeAsked = true;
    if (m_options.range <= 0 || m_probe.TypeZeta() == probe::StateZeta) return;
    m_engine.RequestRange(m_options.range);
}

// Whether the probe shows what was asked of it (or has had long enough to).
bool LoggerEngine::setUpDone() {
    if (m_clock.monotonicMs() - m_setUpMs >= SetUpWaitMs) return true;
    if (m_probe.TypeZeta() == probe::StateZeta) return true;
    if (m_options.units > 0 && m_probe.TypeZeta() == probe::StateSigma &&
        m_probe.GetUnitsNo() != m_options.units)
        return false;
    if (m_options.range > 0 && m_probe.Range() != m_options.range) return false;
    return true;
}

void LoggerEngine::startPages(const measure::Reading& r) {
    files::LogHeader h;
    files::StampHeader(h, m_clock.now());
    h.columns = !m_options.average.isEmpty() ? files::LogColumns::MovingAverage
                : r.axesReported             ? files::LogColumns::Axes
                                             : files::LogColumns::Total;
    h.graphScale = QStringLiteral("Auto");
    h.probeType = m_probe.GetModel();
    h.notes = m_notes;
    h.units = m_units = r.units;
    m_pages = std::make_unique<LogPages>(QFileInfo(m_options.out).absoluteFilePath(), h);
    m_logStartMs = m_clock.monotonicMs();
    m_reporter.Event(QStringLiteral("Logging %1 in %2 to %3")
                         .arg(h.probeType, h.units, QDir::toNativeSeparators(m_options.out)));
    if (m_limit) {
        m_pages->SetBesidePage([this](const QString& page) { return m_limit->PageClosed(page); });
        m_limit->SetRunning(true);
        m_reporter.Event(QStringLiteral("Watching the limit of %1: warning at %2, alarm at %3")
                             .arg(m_limit->Name(), measure::ShareText(m_options.warnPercent),
                                  measure::ShareText(m_options.alarmPercent)));
    }
    if (m_options.format != StreamFormat::None) {
        StreamRow first;
        first.units = h.units;
        if (h.columns == files::LogColumns::Axes) first.x = first.y = first.z = 0.0f;
        if (h.columns == files::LogColumns::MovingAverage) first.average = 0.0f;
        m_reporter.Stream(HeadingLine(m_options.format, first));
    }
    if (!m_options.average.isEmpty()) m_second->setEnabled(true);
}

void LoggerEngine::TakeReading(const measure::Reading& reading) {
    if (m_finished || !reading.completesSample) return;
    // While the probe is being identified (a Sigma probe tried in each unit and range) its
    // samples are no readings of the survey. The first sample after it is: the probe counts as
    // found again only once that sample has been taken.
    if (m_engine.cycle().Identifying()) return;
    m_last = reading;
    m_haveReading = true;
    if (!m_found) {
        m_found = true;
        if (!m_everFound) m_lastRowMs = m_clock.monotonicMs();
        m_everFound = true;
        m_reporter.Event(m_pages ? QStringLiteral("The probe answers again")
                                 : QStringLiteral("Found probe type: ") + m_probe.GetModel());
    }
    if (!m_setUpSent) {
        setUpProbe();
        // This sample is in the units of before; the rows start with the next.
        if (m_options.units > 0) return;
    }
    if (!m_rangeAsked) askRange();
    if (!setUpDone()) return;
    if (!m_pages) startPages(reading);
    ++m_delivered;
    // The exposure is watched in whatever units the probe reads.
    if (m_limit) m_limit->Take(m_clock.epochMs(), reading.value[measure::Total], reading.units);
    // Every row of the pages is in the units of their header: a probe found again in other
    // units (and not taking those asked for) is not logged until it reads in them again.
    const bool sameUnits = reading.units == m_units;
    if (sameUnits != m_unitsAgree) {
        m_unitsAgree = sameUnits;
        m_reporter.Event(sameUnits ? QStringLiteral("The probe reads in %1 again").arg(m_units)
                                   : QStringLiteral("The probe reads in %1, not %2; its rows are "
                                                    "left out until it reads in %2 again")
                                         .arg(reading.units, m_units));
    }
    if (!sameUnits) return;
    if (!m_options.average.isEmpty()) return; // rows come once a second
    const float values[4] = {reading.value[0], reading.value[1], reading.value[2],
                             reading.value[3]};
    writeRow(reading, values,
             files::LogValueCount(reading.axesReported ? files::LogColumns::Axes
                                                       : files::LogColumns::Total));
}

void LoggerEngine::averageSecond() {
    // A silent probe gives no total: the average stands still.
    if (!m_haveReading || !m_found || !m_unitsAgree || m_engine.cycle().MissCount() != 0) return;
    const float total = m_last.value[measure::Total];
    const float values[2] = {total, float(m_average.Take(total))};
    measure::Reading row = m_last;
    row.dayFraction = float(m_clock.secondsSinceMidnight() / 86400.0);
    writeRow(row, values, 2);
}

void LoggerEngine::writeRow(const measure::Reading& r, const float* values, int count) {
    if (!m_pages->Append(r.dayFraction, values, r.peak)) {
        m_reporter.Event(QStringLiteral("The log cannot be written: ") + m_pages->Error());
        Finish(Failed);
        return;
    }
    m_lastRowMs = m_clock.monotonicMs();
    if (m_stallTold) {
        m_stallTold = false;
        m_reporter.Event(QStringLiteral("Rows are logged again"));
    }
    if (m_pages->Rows() % measure::RecordTable::MaxRecords == 0)
        m_reporter.Event(QStringLiteral("Page %1 is full").arg(m_pages->Page()));
    if (m_options.format == StreamFormat::None) return;
    StreamRow row = streamSource();
    row.epochMs = m_clock.epochMs();
    row.total = values[0];
    if (count == 4) {
        row.x = values[1];
        row.y = values[2];
        row.z = values[3];
    } else if (count == 2) {
        row.average = values[1];
    }
    if (m_limit) {
        row.limitPercent = m_limit->Percent();
        row.limitPercentAvg = m_limit->Averaged();
    }
    m_reporter.Stream(RowLine(m_options.format, row));
}

// The probe, units and tags of the stream's lines.
StreamRow LoggerEngine::streamSource() const {
    StreamRow row;
    row.model = m_probe.GetModel();
    row.serialNo = m_engine.identity().SerialNo();
    row.units = m_units;
    row.tags = m_options.tags;
    return row;
}

// A warning or alarm reached or cleared: told on standard error, a line of its own in the
// stream.
void LoggerEngine::levelChanged(const measure::ExposureEvent& event, bool ended) {
    const QString level = event.level == measure::ExposureLevel::Alarm ? QStringLiteral("Alarm")
                                                                       : QStringLiteral("Warning");
    m_reporter.Event(ended ? QStringLiteral("%1 over; its peak was %2 of the limit")
                                 .arg(level, measure::ShareText(event.peakPercent))
                           : QStringLiteral("%1: exposure at %2 of the limit")
                                 .arg(level, measure::ShareText(event.peakPercent)));
    if (m_options.format != StreamFormat::None)
        m_reporter.Stream(EventLine(m_options.format, event, ended, streamSource()));
}

// ---- the half-second tick -------------------------------------------------------------------

QString LoggerEngine::statusLine() const {
    const qint64 now = m_clock.monotonicMs();
    QString line = Elapsed(now - m_startMs) + QStringLiteral("  ") + QString::number(Rows()) +
                   QStringLiteral(" rows");
    if (m_haveReading && m_found)
        line += QStringLiteral("  ") + QString::number(double(m_last.value[0]), 'g', 4) + u' ' +
                m_last.units;
    if (m_haveReading && m_found && m_limit && m_limit->Percent())
        line += QStringLiteral("  ") + measure::ShareText(*m_limit->Percent()) +
                QStringLiteral(" of limit");
    line += m_found ? QStringLiteral("  %1 samples/s").arg(m_sampleRate, 0, 'f', 1)
                    : QStringLiteral("  no probe");
    if (m_found && m_health.percent >= 0)
        line += QStringLiteral("  line %1 %").arg(m_health.percent);
    if (m_stallTold) line += QStringLiteral("  no row for %1 s").arg((now - m_lastRowMs) / 1000);
    return line;
}

// What the line did over the last minute, or where the probe stands.
QString LoggerEngine::lineFigures() const {
    using Stage = probe::LineHealth::Stage;
    const probe::LineHealth& h = m_health;
    if (h.stage == Stage::Searching) return QStringLiteral("no probe answers");
    if (h.stage == Stage::Identifying) {
        QString text = QStringLiteral("identifying the probe");
        if (h.steps > 0)
            text +=
                QStringLiteral(", step %1 of %2, try %3").arg(h.step).arg(h.steps).arg(h.attempt);
        return text;
    }
    if (h.percent < 0) return QStringLiteral("nothing asked of the probe yet");
    return QStringLiteral("line %1 % over the last minute: %2")
        .arg(h.percent)
        .arg(probe::ReplyCounts(h));
}

// Rows a second the run asks for: one a second with an averaging period, the stream's records,
// or the samples the probe is polled for.
double LoggerEngine::pace() const {
    if (!m_options.average.isEmpty()) return 1.0;
    if (m_engine.cycle().HighSpeedState() == probe::HighSpeed::Streaming) {
        // Ten bits a character, a record's length a record.
        for (const probe::LinkSpeed& speed : probe::LinkSpeeds())
            if (speed.streams && m_port.settings() == speed.Settings())
                return speed.Settings().section(u',', 0, 0).toDouble() / 10.0 / speed.recordLength;
    }
    return std::max(0, m_probe.SampleRate());
}

// The rows allowed accrue while the pages are open.
void LoggerEngine::countPace(qint64 now) {
    if (m_pages && m_paceMs >= 0) m_allowed += pace() * double(now - m_paceMs) / 1000.0;
    m_paceMs = m_pages ? now : -1;
}

// A probe that was found and gives no row for a while is told, with what the line does.
void LoggerEngine::checkStall(qint64 now) {
    if (!m_everFound || m_stallTold || now - m_lastRowMs < StallMs) return;
    m_stallTold = true;
    m_reporter.Event(
        QStringLiteral("No row for %1 s: %2").arg((now - m_lastRowMs) / 1000).arg(lineFigures()));
}

void LoggerEngine::halfSecond() {
    m_engine.HalfSecondTick();
    const qint64 now = m_clock.monotonicMs();
    countPace(now);
    if (!m_everFound && now - m_startMs >= m_options.findTimeoutMs) {
        // "No probe answered" only when nothing did.
        m_reporter.Event(m_anyReply ? QStringLiteral("A probe answered but was not identified "
                                                     "within %1 s (%2).")
                                          .arg(m_options.findTimeoutMs / 1000)
                                          .arg(lineFigures())
                                    : QStringLiteral("No probe answered within %1 s.")
                                          .arg(m_options.findTimeoutMs / 1000));
        Finish(NoProbe);
        return;
    }
    checkStall(now);
    if (m_options.durationMs > 0 && m_logStartMs >= 0 &&
        now - m_logStartMs >= m_options.durationMs) {
        Finish(Done);
        return;
    }
    if (now - m_lastStatusMs >= 1000) {
        m_lastStatusMs = now;
        m_reporter.Status(statusLine());
    }
}

} // namespace logger

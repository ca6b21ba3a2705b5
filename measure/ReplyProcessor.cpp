#include "measure/ReplyProcessor.h"

#include "probe/Readings.h"
#include "probe/Rounding.h"
#include "probe/clsProbe.h"

#include <algorithm>

namespace measure {

using probe::ReplyTaken;

namespace {

// A whole Zeta sample: ":S", three counts of three and three gain codes of two hexadecimal
// digits, then the battery flag.
constexpr int SampleLength = 18;
constexpr int IdentityLength = 34;
constexpr int BatteryReplyLength = 6;

bool BatteryFlagLow(const QByteArray& sample) {
    return sample.at(SampleLength - 1) == 'F';
}

} // namespace

ReplyProcessor::ReplyProcessor(probe::clsProbe& probe, ClsZeta& zeta, ReadingSink& sink,
                               probe::ProbeIdentity& identity, ReplyEvents& events,
                               platform::Clock& clock)
    : m_probe(probe), m_zeta(zeta), m_sink(sink), m_identity(identity), m_events(&events),
      m_clock(clock) {}

ReplyTaken ReplyProcessor::ProcessData(const QByteArray& reply) {
    switch (m_probe.TypeZeta()) {
    case probe::StateZeta: return ProcessZetaFormat(reply);
    case probe::StateSigma:
    case probe::StateKappa: {
        ReplyTaken taken = ProcessSigmaFormat(reply);
        // A rejected command is no sign of life.
        if (!reply.startsWith(":E")) taken.alive = true;
        return taken;
    }
    default: {
        // Identifying: the reply may come from either family.
        const ReplyTaken zeta = ProcessZetaFormat(reply);
        const ReplyTaken sigma = ProcessSigmaFormat(reply);
        return {zeta.alive || sigma.alive, zeta.samples + sigma.samples, sigma.refused};
    }
    }
}

float ReplyProcessor::dayFraction() const {
    return float(m_clock.secondsSinceMidnight() / 86400.0);
}

// ---- field-reporting replies ----------------------------------------------------------------

ReplyTaken ReplyProcessor::ProcessSigmaFormat(const QByteArray& reply) {
    const qint64 refusedBefore = m_probe.RefusedReplies();
    const int mask = m_probe.InputStr(reply);
    if (reply.startsWith('?')) m_events->NonAsciiMode();
    if (mask == 0) return {false, 0, m_probe.RefusedReplies() != refusedBefore};
    if (mask & probe::ChgRefused) {
        m_events->CommandRefused(QString::fromLatin1(m_probe.RefusedCmnd()));
        return {false, 0, false};
    }
    if (mask & probe::ChgReading) {
        m_events->ReadingChanges(mask);
        // Battery and temperature come only in replies of their own.
        return {true, UpdateVMSigma()};
    }
    if (mask & probe::ChgRange) m_events->RangeReported(QString::fromLatin1(reply.mid(2, 1)));
    if (mask & probe::ChgBattery)
        m_events->BatteryReported(
            BatteryPercentOf(m_probe.Battery(), m_probe.TypeZeta(), m_probe.GetModel()));
    if (mask & probe::ChgTemperature)
        m_events->TemperatureReported(
            TemperatureText(m_probe.Temperature(), m_probe.UseCelsiusTemp() >= 1));
    return {true, 0};
}

int ReplyProcessor::UpdateVMSigma() {
    const Reading reading = ReadingOf(m_probe, dayFraction());
    m_sink.TakeReading(reading);
    // In 3-axis operation one sample is a complete X, Y, Z cycle.
    return reading.completesSample ? 1 : 0;
}

int ReplyProcessor::BatteryPercentOf(float volts, int protocolState, const QString& model) {
    const double b = volts;
    double percent;
    if (protocolState == probe::StateKappa)
        percent = (b * 0.545 - 2.2) * 100.0;
    else if (model == QLatin1String("PX-2200"))
        percent = (b - 9.333) / 0.006;
    else
        percent = (b - 3.5) / 0.006;
    return std::clamp(probe::CInt(percent), 0, 100);
}

QString ReplyProcessor::TemperatureText(float value, bool celsius) {
    return TemperatureText(QString::number(double(value), 'g', 7), celsius);
}

QString ReplyProcessor::TemperatureText(const QString& value, bool celsius) {
    return value + QLatin1Char(' ') + QChar(0xB0) + (celsius ? QLatin1Char('C') : QLatin1Char('F'));
}

// ---- Zeta replies ---------------------------------------------------------------------------

ReplyTaken ReplyProcessor::ProcessZetaFormat(const QByteArray& reply) {
    const QByteArray prefix = reply.left(2);
    if (prefix == ":B") {
        bool ok = false;
        const int percent = reply.mid(2, 2).toInt(&ok, 16);
        m_batteryPercent = ok ? std::min(percent, 100) : 0;
        if (reply.size() == BatteryReplyLength) m_events->BatteryReported(m_batteryPercent);
    } else if (prefix == ":F" || prefix == ":M") {
        // acknowledgements: a sign of life and nothing else
    } else if (prefix == ":I") {
        m_events->ZetaFamilySeen();
        if (reply.size() == IdentityLength) zetaIdentified(reply);
    } else if (prefix == ":S") {
        if (reply.size() < SampleLength) {
            // Part of a sample: the rest may still be on its way, but by now the next command
            // is out, so the rest would be read as the start of another reply. Neither part is
            // a reading.
            ++m_shortSamples;
            return {true, 0};
        }
        // An unreadable sample is no reading: nothing is plotted or logged for it.
        if (!m_zeta.ParseCalZeta(reply)) return {true, 0, true};
        m_events->BatteryFlag(BatteryFlagLow(reply));
        UpdateVM();
        return {true, 1};
    } else if (prefix == ":T") {
        const float t = float(probe::Val(reply.mid(2, 4)));
        m_events->TemperatureReported(
            TemperatureText(QString::number(double(t), 'f', 1), m_probe.UseCelsiusTemp() == 1));
    } else {
        return {};
    }
    return {true, 0};
}

void ReplyProcessor::zetaIdentified(const QByteArray& reply) {
    m_identity.SetSoftRev(QString::fromLatin1(reply.mid(6, 10)));
    m_identity.SetCalDate(
        QString::fromLatin1(reply.mid(24, 2) + '/' + reply.mid(26, 2) + '/' + reply.mid(28, 4)));
    const bool otherProbe = m_identity.SetSerialNo(QString::fromLatin1(reply.mid(16, 8)));
    m_events->ZetaIdentified(otherProbe, reply.at(32) == 'F');
}

void ReplyProcessor::UpdateVM() {
    m_sink.TakeReading(ReadingOf(m_zeta, dayFraction()));
}

void ReplyProcessor::SuperFast2(const QByteArray& record) {
    // The record carries the battery flag as a polled sample does.
    m_events->BatteryFlag(BatteryFlagLow(record));
    if (m_zeta.ParseCalZeta(record)) UpdateVM();
    m_events->RecordTaken();
}

} // namespace measure

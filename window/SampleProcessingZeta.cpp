// The Zeta family's replies: battery, identification, samples and temperature read here, the
// samples turned into field strength by ClsZeta and pushed on as readings.
#include "probe/Readings.h"
#include "window/BatteryTemp.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/ProbeControls.h"
#include "window/SampleProcessing.h"

namespace window {

using probe::ReplyTaken;

namespace {

// A whole sample: ":S", three counts of three and three gain codes of two hexadecimal digits,
// then the battery flag.
constexpr int SampleLength = 18;
constexpr int IdentityLength = 34;
constexpr int BatteryReplyLength = 6;

bool BatteryFlagLow(const QByteArray& sample) {
    return sample.at(SampleLength - 1) == 'F';
}

} // namespace

ReplyTaken SampleProcessing::ProcessZetaFormat(const QByteArray& reply) {
    const QByteArray prefix = reply.left(2);
    if (prefix == ":B") {
        bool ok = false;
        const int percent = reply.mid(2, 2).toInt(&ok, 16);
        m_batteryPercent = ok ? std::min(percent, 100) : 0;
        if (reply.size() == BatteryReplyLength) m_parts.battery.ShowBattery(m_batteryPercent);
    } else if (prefix == ":F" || prefix == ":M") {
        // acknowledgements: a sign of life and nothing else
    } else if (prefix == ":I") {
        m_parts.layout.SetZetaFamily(true);
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
        m_parts.battery.SetBattLowBlink(BatteryFlagLow(reply));
        UpdateVM();
        return {true, 1};
    } else if (prefix == ":T") {
        const float t = float(probe::Val(reply.mid(2, 4)));
        m_parts.battery.ShowTemperature(
            TemperatureText(QString::number(double(t), 'f', 1), m_probe.UseCelsiusTemp() == 1));
    } else {
        return {};
    }
    return {true, 0};
}

void SampleProcessing::zetaIdentified(const QByteArray& reply) {
    MainLayout& layout = m_parts.layout;
    layout.ChangeDisplay();
    m_identity.SetSoftRev(QString::fromLatin1(reply.mid(6, 10)));
    m_parts.link.ZetaIdentified(m_identity.SoftRev());
    m_identity.SetCalDate(
        QString::fromLatin1(reply.mid(24, 2) + '/' + reply.mid(26, 2) + '/' + reply.mid(28, 4)));
    if (reply.at(32) == 'F')
        m_boxes.inform(platform::MsgIcon::Information, QStringLiteral("Probe battery low."),
                       AppTitle);
    // Another probe: its zero reference is not this one's.
    m_parts.controls.ZetaIdentified(m_identity.SetSerialNo(QString::fromLatin1(reply.mid(16, 8))));
    m_shell.SetStatusPanel(1, QStringLiteral("Found probe type: ") + m_probe.GetModel());
    layout.ShowFamilyLayout();
}

void SampleProcessing::UpdateVM() {
    m_sink.TakeReading(measure::ReadingOf(m_zeta, dayFraction()));
}

void SampleProcessing::SuperFast2(const QByteArray& record) {
    // The record carries the battery flag as a polled sample does.
    m_parts.battery.SetBattLowBlink(BatteryFlagLow(record));
    if (m_zeta.ParseCalZeta(record)) UpdateVM();
    m_parts.link.RecordTaken();
}

} // namespace window

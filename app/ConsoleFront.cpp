#include "app/ConsoleFront.h"

#include <QCoreApplication>

namespace {
const char* const Families[] = {"Sigma", "Zeta", "identifying", "Kappa"};
}

ConsoleFront::ConsoleFront(const Options& options)
    : m_options(options), m_out(stdout), m_ports(m_settings), m_port(m_ports), m_probe(*this),
      m_cycle(m_probe, m_port, m_readTimer, *this, *this) {
    if (!options.portName.isEmpty()) m_ports.setRunOverride(options.portNo, options.portName);
    m_probe.SetMultiplexPrefered(options.threeAxis ? 1 : 0);
    m_halfSecond.setInterval(500);
    m_halfSecond.setOnTimer([this] { everyHalfSecond(); });
}

bool ConsoleFront::startSimulator() {
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/varnex-probesim");
#ifdef Q_OS_WIN
    program += QStringLiteral(".exe");
#endif
    QString error;
    const QString line = m_simulator.startAndReadLine(
        program,
        {QStringLiteral("--model"), m_options.simulate, QStringLiteral("--pattern"),
         QStringLiteral("sine"), QStringLiteral("--field"), QStringLiteral("5,8,11")},
        5000, &error);
    if (line.isEmpty()) {
        m_out << "The virtual probe did not start: " << error << Qt::endl;
        return false;
    }
    m_out << "Virtual probe " << m_options.simulate << " on " << line << Qt::endl;
    m_options.portNo = 1;
    m_ports.setRunOverride(1, line);
    return true;
}

bool ConsoleFront::start() {
    if (!m_options.simulate.isEmpty() && !startSimulator()) return false;
    m_out << "Opening port " << m_options.portNo << " (" << m_ports.portName(m_options.portNo)
          << ")" << Qt::endl;
    m_cycle.Start(m_options.portNo);
    if (m_cycle.PortOpened != 1) return false;
    m_out << "Searching for a probe..." << Qt::endl;
    m_halfSecond.setEnabled(true);
    return true;
}

QByteArray ConsoleFront::AutoNextCmndS(const QByteArray& code) {
    if (code == ":M0") {
        // Zeta field computation is not part of this front end: the calibration is skipped.
        m_cycle.SetRthreshold(8);
        return m_probe.UseCelsiusTemp() == 1 ? "TC\r" : "TF\r";
    }
    m_cycle.SetRthreshold(19);
    if (code == ":F1")
        m_port.setSettings(probe::LinkBase);
    else if (code == ":F2")
        m_port.setSettings(QStringLiteral("19200,o,7,1"));
    return "S\r";
}

void ConsoleFront::ShowMessage(platform::MsgIcon icon, const QString& text) {
    inform(icon, text, QString());
}

void ConsoleFront::SetProbeIdentity(const QString& serialNo, const QString& calDate) {
    m_out << "Serial number " << serialNo << ", calibrated " << calDate << Qt::endl;
}

void ConsoleFront::SetProbeSoftRev(const QString& softRev) {
    m_out << "Software revision " << softRev << Qt::endl;
}

void ConsoleFront::ProcessData() {
    const QByteArray& reply = m_cycle.InString;
    const int state = m_probe.TypeZeta();
    if (state == probe::StateZeta) {
        m_cycle.MissCount = 0;
        if (reply.startsWith(":S")) {
            ++m_cycle.SampleCount;
            m_newReading = true;
        }
        return;
    }
    if (!reply.startsWith(":E")) m_cycle.MissCount = 0;
    const int flags = m_probe.InputStr(reply);
    if (flags & probe::ChgReading) {
        ++m_cycle.SampleCount;
        m_newReading = true;
    }
}

void ConsoleFront::ClearDisplay() {
    if (!m_announcedModel.isEmpty()) m_out << "Probe lost; searching..." << Qt::endl;
    m_announcedModel.clear();
}

void ConsoleFront::SetStatusPanel(int panel, const QString& text) {
    if (panel != 2 || text == m_linkText) return;
    m_linkText = text;
    m_out << "Link: " << text << Qt::endl;
}

void ConsoleFront::inform(platform::MsgIcon, const QString& text, const QString&) {
    m_out << "[message] " << text << Qt::endl;
}

bool ConsoleFront::askYesNo(platform::MsgIcon, const QString& text, const QString&) {
    m_out << "[question] " << text << " -> No" << Qt::endl;
    return false;
}

QString ConsoleFront::familyName() const {
    const int state = m_probe.TypeZeta();
    return QString::fromLatin1(state >= 0 && state <= 3 ? Families[state] : "?");
}

void ConsoleFront::everyHalfSecond() {
    m_cycle.CalSamPerSecTick();
    const QString model = m_probe.GetModel();
    if (m_probe.LostComm() == 0 && !model.isEmpty() && model != m_announcedModel) {
        m_announcedModel = model;
        m_out << "Probe: " << model << " (" << familyName() << " family)" << Qt::endl;
    }
    if (m_newReading) printReading();
    m_newReading = false;
    ++m_halfSeconds;
    if (m_options.seconds > 0 && m_halfSeconds >= 2 * m_options.seconds) QCoreApplication::quit();
}

void ConsoleFront::printReading() {
    if (m_probe.TypeZeta() == probe::StateZeta) {
        m_out << m_probe.GetModel() << "  raw sample " << m_cycle.InString.trimmed() << Qt::endl;
        return;
    }
    const QString units = m_probe.UnitsStr();
    m_out << m_probe.GetModel() << "  total " << m_probe.XYZAxisStr() << ' ' << units;
    if (m_probe.MultiplexOn() == 1) {
        m_out << "  X " << m_probe.XAxisStr() << "  Y " << m_probe.YAxisStr() << "  Z "
              << m_probe.ZAxisStr();
    }
    m_out << "  peak " << probe::AdjustStrLen(m_probe.MaxHoldXYZ()) << "  range " << m_probe.Range()
          << " (" << m_probe.GetRangeString(m_probe.Range()) << ")"
          << "  battery " << m_probe.Battery() << "  temp " << m_probe.Temperature() << "  "
          << m_rate << "/s" << Qt::endl;
}

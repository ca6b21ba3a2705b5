#include "platform/SerialProbeLine.h"
#include "platform/SystemSerial.h"

namespace platform {

namespace {
QString SettingsAt(int baud) {
    return QStringLiteral("%1,o,7,1").arg(baud);
}
} // namespace

SerialProbeLine::SerialProbeLine(const QString& portName)
    : m_name(portName), m_store(portName), m_ports(m_store),
      m_port(CreateSystemSerialComm(m_ports)) {
    m_port->setRThreshold(1);
    m_port->setOnComm([this] { readable(); });
}

SerialProbeLine::~SerialProbeLine() {
    close();
}

bool SerialProbeLine::open(QString* error) {
    if (isOpen()) return true;
    m_port->setSettings(SettingsAt(m_baud));
    return m_port->setPortOpen(true, error);
}

void SerialProbeLine::close() {
    m_port->setPortOpen(false);
}

qint64 SerialProbeLine::write(const QByteArray& data) {
    if (!isOpen()) return 0;
    m_port->output(data);
    return data.size();
}

void SerialProbeLine::followBaud(int baud) {
    if (baud <= 0 || baud == m_baud) return;
    m_baud = baud;
    m_port->setSettings(SettingsAt(baud));
}

} // namespace platform

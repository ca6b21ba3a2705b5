#include "platform/PortTable.h"

namespace platform {

namespace {

bool inRange(int portNo) {
    return portNo >= 1 && portNo <= PortTable::PortCount;
}

QString keyOf(int portNo) {
    return QStringLiteral("Comm%1").arg(portNo);
}

} // namespace

PortTable::PortTable(SettingsStore& store) : m_store(store) {}

QString PortTable::portName(int portNo) const {
    if (!inRange(portNo)) return {};
    if (hasRunOverride(portNo)) return m_overrideName;
    return m_store.GetSetting(AppName, Section, keyOf(portNo), defaultName(portNo));
}

void PortTable::setPortName(int portNo, const QString& name) {
    if (!inRange(portNo)) return;
    m_store.SaveSetting(AppName, Section, keyOf(portNo), name);
}

void PortTable::setRunOverride(int portNo, const QString& name) {
    if (!inRange(portNo)) return;
    if (name.isEmpty()) {
        if (m_overridePort == portNo) {
            m_overridePort = 0;
            m_overrideName.clear();
        }
        return;
    }
    m_overridePort = portNo;
    m_overrideName = name;
}

bool PortTable::hasRunOverride(int portNo) const {
    return m_overridePort != 0 && m_overridePort == portNo;
}

QString PortTable::defaultName(int portNo) {
    if (!inRange(portNo)) return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNo);
#else
    static const char* const names[PortCount] = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0",
                                                 "/dev/ttyS1", "/dev/ttyACM0"};
    return QString::fromLatin1(names[portNo - 1]);
#endif
}

// availablePorts() is with the system's serial realisation (QtSerialComm, WinSerialComm).

} // namespace platform

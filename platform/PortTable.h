#pragma once
// The system port names behind the port numbers 1..5. The table lives in the per-user settings
// store (section "Ports", keys "Comm1".."Comm5") so that the port dialog can show and change it;
// a name given on the command line stands behind one number for the current run only.
#include "platform/SettingsStore.h"

#include <QString>
#include <QStringList>

namespace platform {

class PortTable {
public:
    static constexpr int PortCount = 5;
    static inline const QString AppName = QStringLiteral("Varnex");
    static inline const QString Section = QStringLiteral("Ports");

    explicit PortTable(SettingsStore& store);

    // The name behind portNo (1..5); empty for a number outside 1..5.
    QString portName(int portNo) const;
    // Stores a new name behind portNo in the settings store.
    void setPortName(int portNo, const QString& name);
    // Puts name behind portNo for this run without storing it. One number at a time has an
    // override; an empty name removes it.
    void setRunOverride(int portNo, const QString& name);
    bool hasRunOverride(int portNo) const;

    // The operating system's defaults: COM1..COM5 on Windows; USB adapters, the first two
    // serial ports and a USB modem device on Linux.
    static QString defaultName(int portNo);
    // Ports the system has now (for the port dialog).
    static QStringList availablePorts();

private:
    SettingsStore& m_store;
    int m_overridePort = 0;
    QString m_overrideName;
};

} // namespace platform

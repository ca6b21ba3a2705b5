#pragma once
// The settings store on QSettings: organisation "Varnex", the application named in each call,
// the section as the group.
#include "platform/SettingsStore.h"

namespace platform {

class QtSettingsStore : public SettingsStore {
public:
    static inline const QString Organisation = QStringLiteral("Varnex");

    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const override;
    void SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override;
};

} // namespace platform

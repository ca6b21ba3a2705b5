#pragma once
// The per-user settings store: text values by application, section and key.
#include <QString>

namespace platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString GetSetting(const QString& app, const QString& section, const QString& key,
                               const QString& defaultValue = QString()) const = 0;
    virtual void SaveSetting(const QString& app, const QString& section, const QString& key,
                             const QString& value) = 0;
};

} // namespace platform

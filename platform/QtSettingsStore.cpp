#include "platform/QtSettingsStore.h"

#include <QSettings>

namespace platform {

QString QtSettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                    const QString& defaultValue) const {
    QSettings settings(Organisation, app);
    settings.beginGroup(section);
    return settings.value(key, defaultValue).toString();
}

void QtSettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                  const QString& value) {
    QSettings settings(Organisation, app);
    settings.beginGroup(section);
    settings.setValue(key, value);
}

} // namespace platform

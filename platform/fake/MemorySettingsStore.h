#pragma once
// A settings store in memory for tests.
#include "platform/SettingsStore.h"

#include <QMap>

namespace platform {

class MemorySettingsStore : public SettingsStore {
public:
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const override {
        return m_values.value(keyOf(app, section, key), defaultValue);
    }
    void SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override {
        m_values.insert(keyOf(app, section, key), value);
    }

    bool contains(const QString& app, const QString& section, const QString& key) const {
        return m_values.contains(keyOf(app, section, key));
    }
    // Every value, keyed "app/section/key".
    QMap<QString, QString> values() const { return m_values; }
    void clear() { m_values.clear(); }

    static QString keyOf(const QString& app, const QString& section, const QString& key) {
        return app + QLatin1Char('/') + section + QLatin1Char('/') + key;
    }

private:
    QMap<QString, QString> m_values;
};

} // namespace platform

#include "files/LimitSettings.h"

namespace files {

namespace {

const QString Section = QStringLiteral("Limits");
const QString NoLimit = QStringLiteral("none");
const QString Unknown = QStringLiteral("unknown");
const QString Averaged = QStringLiteral("averaged");
const QString Instantaneous = QStringLiteral("instantaneous");

// A stored percentage within 0 < value <= 10000, or the fallback.
double Percent(const QString& text, double fallback, double lowest = 0.0) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value > lowest && value <= 10000.0 ? value : fallback;
}

} // namespace

LimitSettings ReadLimitSettings(const platform::SettingsStore& store, const QString& app) {
    LimitSettings s;
    const auto read = [&](const char* key) {
        return store.GetSetting(app, Section, QLatin1String(key)).trimmed();
    };
    const QString standard = read("Standard");
    if (standard == NoLimit)
        s.on = false;
    else if (!standard.isEmpty())
        measure::SetLimitKey(standard, s.choice);
    const QString frequency = read("Frequency");
    if (const std::optional<double> mhz = measure::ParseFrequency(frequency)) {
        s.choice.frequencyMHz = *mhz;
        s.choice.mostRestrictive = false;
    } else if (frequency == Unknown) {
        s.choice.mostRestrictive = true;
    }
    measure::LevelSettings& l = s.levels;
    l.warningPercent = Percent(read("Warning"), l.warningPercent);
    l.alarmPercent = Percent(read("Alarm"), l.alarmPercent);
    l.warningBasis = read("WarningBasis") == Averaged ? measure::LevelBasis::Averaged
                                                      : measure::LevelBasis::Instantaneous;
    l.alarmBasis = read("AlarmBasis") == Averaged ? measure::LevelBasis::Averaged
                                                  : measure::LevelBasis::Instantaneous;
    l.hysteresis = Percent(read("Hysteresis"), l.hysteresis, -1.0);
    l.latch = read("Latch") == QLatin1String("1");
    return s;
}

void WriteLimitSettings(platform::SettingsStore& store, const QString& app,
                        const LimitSettings& s) {
    const auto write = [&](const char* key, const QString& value) {
        store.SaveSetting(app, Section, QLatin1String(key), value);
    };
    const auto basis = [](measure::LevelBasis b) {
        return b == measure::LevelBasis::Averaged ? Averaged : Instantaneous;
    };
    write("Standard", s.on ? measure::LimitKey(s.choice.standard, s.choice.population) : NoLimit);
    write("Frequency",
          s.choice.mostRestrictive ? Unknown : measure::FrequencyText(s.choice.frequencyMHz));
    write("Warning", QString::number(s.levels.warningPercent));
    write("Alarm", QString::number(s.levels.alarmPercent));
    write("WarningBasis", basis(s.levels.warningBasis));
    write("AlarmBasis", basis(s.levels.alarmBasis));
    write("Hysteresis", QString::number(s.levels.hysteresis));
    write("Latch", s.levels.latch ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace files

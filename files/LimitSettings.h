#pragma once
// The exposure limit chosen and its warning and alarm levels, kept in the per-user settings
// beside the configuration file (section "Limits"; the configuration file is not touched).
#include "measure/ExposureLevels.h"
#include "measure/ExposureLimits.h"
#include "platform/SettingsStore.h"

namespace files {

struct LimitSettings {
    // No limit applies: nothing is compared, shown or kept.
    bool on = true;
    // A new installation watches the general public's ICNIRP 2020 levels for a source of a
    // frequency not known (the lowest level over 0.1 MHz - 6 GHz).
    measure::LimitChoice choice{measure::LimitStandard::Icnirp2020, measure::Population::General,
                                900.0, true};
    measure::LevelSettings levels;
};

// What is stored, with the defaults for anything missing or not understood.
LimitSettings ReadLimitSettings(const platform::SettingsStore& store, const QString& app);
void WriteLimitSettings(platform::SettingsStore& store, const QString& app,
                        const LimitSettings& settings);

} // namespace files

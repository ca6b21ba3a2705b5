#include "measure/ZetaUnits.h"

namespace measure {

const std::array<ZetaUnit, 3>& ZetaUnits() {
    static const QChar sup2(0xB2);
    static const std::array<ZetaUnit, 3> units{{
        {1, "V/m", QStringLiteral("V/m"), ClsZeta::UnitVm},
        {2, "V2/m2", QStringLiteral("(V/m)") + sup2, ClsZeta::UnitV2m2},
        {3, "mW/cm2", QStringLiteral("mW/cm") + sup2, ClsZeta::UnitMWcm2},
    }};
    return units;
}

const ZetaUnit* ZetaUnitOfText(const QString& configText) {
    for (const ZetaUnit& unit : ZetaUnits())
        if (configText == QLatin1String(unit.configText)) return &unit;
    return nullptr;
}

const ZetaUnit* ZetaUnitOfNumber(int number) {
    for (const ZetaUnit& unit : ZetaUnits())
        if (unit.number == number) return &unit;
    return nullptr;
}

const ZetaUnit* ZetaUnitOfCode(int code) {
    for (const ZetaUnit& unit : ZetaUnits())
        if (unit.code == code) return &unit;
    return nullptr;
}

} // namespace measure

#pragma once
// A Zeta probe's units, the one table of them: the number the probe session counts them by,
// the text the configuration file keeps, the text shown and the code of ClsZeta.
#include "measure/ClsZeta.h"

#include <QString>
#include <array>

namespace measure {

struct ZetaUnit {
    int number;             // 1 V/m, 2 (V/m)², 3 mW/cm²
    const char* configText; // "V/m", "V2/m2", "mW/cm2"
    QString label;          // as the readouts and the log show it
    ClsZeta::Unit code;
};

const std::array<ZetaUnit, 3>& ZetaUnits();
// The row of a configuration text, a number or a code; null when none matches.
const ZetaUnit* ZetaUnitOfText(const QString& configText);
const ZetaUnit* ZetaUnitOfNumber(int number);
const ZetaUnit* ZetaUnitOfCode(int code);

} // namespace measure

#include "measure/Reading.h"

#include "measure/ZetaUnits.h"
#include "probe/Readings.h"
#include "probe/clsProbe.h"

namespace measure {

Reading ReadingOf(const probe::clsProbe& p, float dayFraction) {
    Reading r;
    r.family = p.TypeZeta() == probe::StateKappa ? Family::Kappa : Family::Sigma;
    r.dayFraction = dayFraction;
    r.value = {p.XYZAxis(), p.Xaxis(), p.Yaxis(), p.Zaxis()};
    r.instant = {p.XYZNA(), p.XNA(), p.YNA(), p.ZNA()};
    r.peak = {p.MaxHoldXYZ(), p.MaxHoldX(), p.MaxHoldY(), p.MaxHoldZ()};
    r.plottedTotal = p.Field();
    r.percentOfScale = p.GetPercentOfScale();
    r.axesReported = p.MultiplexOn() == 1;
    if (r.axesReported) {
        r.axis = p.GetMultiCurrAxis();
        r.completesSample = p.CycleCompleted();
    }
    if (r.family == Family::Kappa) r.probeText = p.FieldStr();
    r.units = p.UnitsStr();
    r.range = p.Range();
    return r;
}

Reading ReadingOf(const ClsZeta& z, float dayFraction) {
    Reading r;
    r.family = Family::Zeta;
    r.dayFraction = dayFraction;
    r.value = {z.XYZ(), z.Xaxis(), z.Yaxis(), z.Zaxis()};
    r.instant = {z.XYZNA(), z.XNA(), z.YNA(), z.ZNA()};
    r.peak = {z.MaxHoldXYZ(), z.MaxHoldX(), z.MaxHoldY(), z.MaxHoldZ()};
    r.plottedTotal = z.XYZ();
    r.axesReported = true;
    r.zetaUnits = ClsZeta::Unit(z.Units());
    const ZetaUnit* unit = ZetaUnitOfCode(z.Units());
    r.units = unit ? unit->label : ZetaUnits()[0].label;
    return r;
}

Reading ReadingOfRow(Family family, const QString& units, bool axes, float dayFraction,
                     const AxisValues& row, const AxisValues& peaks) {
    Reading r;
    r.family = family;
    r.dayFraction = dayFraction;
    r.value = row;
    r.instant = row;
    r.peak = peaks;
    r.plottedTotal = row[Total];
    r.axesReported = family == Family::Zeta || axes;
    r.units = units;
    // Nothing tells the share of the range a logged value took.
    r.percentOfScale = -1;
    if (family == Family::Zeta) {
        for (const ZetaUnit& unit : ZetaUnits())
            if (unit.label == units) r.zetaUnits = unit.code;
        return r;
    }
    for (float& peak : r.peak) {
        bool ok = false;
        const float reported = probe::AdjustStrLen(peak).toFloat(&ok);
        if (ok) peak = reported;
    }
    if (family == Family::Kappa) r.probeText = probe::AdjustStrLen(row[Total]);
    return r;
}

} // namespace measure

#include "tools/probesim/VirtualProbe.h"

#include "tools/probesim/KappaProbe.h"
#include "tools/probesim/SigmaModels.h"
#include "tools/probesim/SigmaProbe.h"
#include "tools/probesim/ZetaProbe.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace probesim {

double AxisPattern::valueAt(double seconds) const {
    if (kind == Kind::Constant || !(period > 0.0)) return level;
    // Where in its period the pattern is, 0 <= phase < 1, also before the start.
    const double cycles = seconds / period;
    const double phase = cycles - std::floor(cycles);
    switch (kind) {
    case Kind::Sine: return level + swing * std::sin(2.0 * std::numbers::pi * phase);
    case Kind::Step: return phase < 0.5 ? level : level + swing;
    case Kind::Ramp: return level + swing * phase;
    case Kind::Constant: break;
    }
    return level;
}

double FieldPlan::batteryAt(double seconds) const {
    return std::max(0.0, batteryPercent - batteryDrainPerMinute * seconds / 60.0);
}

double FieldPlan::fieldAt(int axis, double seconds) const {
    if (axis < 0 || axis > 2) return 0.0;
    return std::max(0.0, axes[axis].valueAt(seconds));
}

QByteArray FitNumber(double value, int width) {
    if (!std::isfinite(value)) value = value < 0 ? -1e300 : 1e300;
    for (int decimals = width - 1; decimals >= 0; --decimals) {
        QByteArray text = QByteArray::number(value, 'f', decimals);
        // Below 0.1 the leading zero would cost a significant digit: ".0123", not "0.012".
        if (std::abs(value) < 0.1 && text.contains("0.")) text.remove(text.indexOf("0."), 1);
        if (text.size() <= width) return text.rightJustified(width, ' ');
    }
    return value < 0 ? "-" + QByteArray(width - 1, '9') : QByteArray(width, '9');
}

QStringList Models() {
    return SigmaModelNames() + ZetaProbe::ModelNames() + KappaProbe::ModelNames();
}

std::unique_ptr<VirtualProbe> CreateProbe(const QString& model, const FieldPlan& plan) {
    if (const SigmaModel* sigma = FindSigmaModel(model))
        return std::make_unique<SigmaProbe>(*sigma, plan);
    if (ZetaProbe::IsModel(model)) return std::make_unique<ZetaProbe>(model, plan);
    if (KappaProbe::IsModel(model)) return std::make_unique<KappaProbe>(model, plan);
    return nullptr;
}

} // namespace probesim

#include "probe/ModelTables.h"

#include "probe/ModelTablesData.h"

#include <cmath>

namespace probe {

namespace {

using detail::Keep;

// Scale texts every Sigma model starts from (units 1..3, ranges 1..4).
constexpr std::array<std::array<const char*, 4>, 3> DefaultScales{{
    {"0-10", "0-35", "0-100", "0-350"},
    {"0-100", "0-1000", "0-10k", "0-100k"},
    {"0-0.03", "0-0.3", "0-3", "0-30"},
}};

template <typename Table> bool inTable(const Table& table, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < table.size();
}

void installDefaultScales(ModelTables& t) {
    for (int units = 1; units <= 3; ++units)
        for (int range = 1; range <= 4; ++range)
            t.ScaleTexts[units][range] = QLatin1String(DefaultScales[units - 1][range - 1]);
}

void setText(QString& cell, const char* text) {
    if (text) cell = QLatin1String(text);
}

void setLimit(float& cell, float value) {
    if (value != Keep) cell = value;
}

void clearUpperRanges(ModelTables& t) {
    for (int units = 1; units <= 3; ++units)
        for (int range = 4; range <= 5; ++range) {
            t.UnderRangeTable[units][range] = LimitNone;
            t.OverRangeTable[units][range] = LimitNone;
        }
}

// Positions first..first+width-1 (1-based) of a reply; positions past its end are absent.
QByteArray field(const QByteArray& reply, int first, int width) {
    return reply.mid(first - 1, width);
}

} // namespace

ModelTables::ModelTables() {
    installDefaultScales(*this);
    for (auto& kind : Multiplier)
        kind.fill(1.0f);
}

int ModelTables::maxRange(int units) const {
    return inTable(MaxRange, units) ? MaxRange[units] : 0;
}

QString ModelTables::scaleText(int units, int range) const {
    if (!inTable(ScaleTexts, units) || !inTable(ScaleTexts[units], range)) return {};
    return ScaleTexts[units][range];
}

QString ModelTables::logText(int units) const {
    return inTable(LogTexts, units) ? LogTexts[units] : QString();
}

float ModelTables::multiplier(int kind, int range) const {
    if (!inTable(Multiplier, kind) || !inTable(Multiplier[kind], range)) return 1.0f;
    return Multiplier[kind][range];
}

float ModelTables::underRange(int units, int range) const {
    if (!inTable(UnderRangeTable, units) || !inTable(UnderRangeTable[units], range)) return 0.0f;
    return UnderRangeTable[units][range];
}

float ModelTables::overRange(int units, int range) const {
    if (!inTable(OverRangeTable, units) || !inTable(OverRangeTable[units], range)) return 0.0f;
    return OverRangeTable[units][range];
}

void ModelTables::installModel(const QString& model) {
    for (int units = 1; units <= 3; ++units)
        MaxRange[units] = 4;
    UnitsCount = 3;
    MinReadTime = 50;
    // A probe nobody recognised is read as one axis, whatever the probe before could do.
    MuxAvail = 0;
    for (int kind = 1; kind <= 3; ++kind)
        for (int range = 1; range <= 5; ++range)
            Multiplier[kind][range] = 1.0f;
    installDefaultScales(*this);

    const detail::ModelBlock* block = detail::FindModelBlock(model);
    if (!block) return;
    UnitsCount = block->info.unitsCount;
    MuxAvail = block->info.muxAvail;
    MinReadTime = block->info.minReadTime;
    setText(ScaleTexts[1][0], block->info.rangeZeroScale);
    for (int units = 1; units <= 5; ++units) {
        if (block->info.maxRange[units - 1] > 0) MaxRange[units] = block->info.maxRange[units - 1];
        const detail::UnitsRow& row = block->units[units - 1];
        for (int range = 1; range <= 5; ++range)
            setText(ScaleTexts[units][range], row.scale[range - 1]);
        setText(LogTexts[units], row.log);
    }
    for (const detail::MultiplierCell& cell : block->multipliers)
        if (cell.kind > 0) Multiplier[cell.kind][cell.range] = cell.value;
}

void ModelTables::installLimits(const QString& model) {
    clearUpperRanges(*this);
    const detail::ModelBlock* block = detail::FindModelBlock(model);
    if (!block) return;
    for (int units = 1; units <= 5; ++units) {
        const detail::UnitsRow& row = block->units[units - 1];
        for (int range = 1; range <= 5; ++range) {
            setLimit(UnderRangeTable[units][range], row.under[range - 1]);
            setLimit(OverRangeTable[units][range], row.over[range - 1]);
        }
    }
}

void ModelTables::installZeta(const QString& model) {
    static constexpr std::array<std::array<const char*, 5>, 3> scales{{
        {"0-10", "0-35", "0-100", "0-350", "0-1000"},
        {"0-100", "0-1000", "0-10k", "0-100k", "0-1M"},
        {"0-0.03", "0-0.3", "0-3", "0-30", "0-300"},
    }};
    static constexpr std::array<const char*, 3> logs{"Log 0.1-10k", "Log 0.01-1M",
                                                     "Log 0.01m-1000"};
    for (int units = 1; units <= 3; ++units) {
        MaxRange[units] = 5;
        for (int range = 1; range <= 5; ++range)
            ScaleTexts[units][range] = QLatin1String(scales[units - 1][range - 1]);
        LogTexts[units] = QLatin1String(logs[units - 1]);
    }

    // The Zeta processing reads range 1 with automatic range off and ranges 4 and 5 with it
    // on; all three carry the same limits.
    clearUpperRanges(*this);
    if (const detail::ZetaLimits* limits = detail::FindZetaLimits(model)) {
        for (int units = 1; units <= 3; ++units)
            for (int range : {1, 4, 5}) {
                UnderRangeTable[units][range] = limits->lower[units - 1];
                OverRangeTable[units][range] = limits->full[units - 1];
            }
    }
    MuxAvail = 1;
}

QString FindProbeType(const std::array<QByteArray, 33>& resps, bool* singleAxis) {
    const auto R5 = [&](int k) { return resps[k].startsWith(":R5"); };
    const auto U = [&](int k) { return field(resps[k], 8, 3); };
    const auto X = [&](int k) { return field(resps[k], 16, 3); };

    QString model;
    bool single = false;
    // A probe with a fifth range is a current probe; which reply carries its units depends on
    // whether the first or only the second "R5" was answered with range 5.
    const int currentStep = R5(2) ? 3 : R5(1) ? 2 : 0;
    if (currentStep > 0) {
        if (U(currentStep) == "   ") model = QStringLiteral("PX-2100");
        if (U(currentStep) == "KV ") model = QStringLiteral("PX-2200");
        single = !model.isEmpty();
    } else if (U(8) == " A ") {
        model = QStringLiteral("PX-5200 REE");
    } else if (U(13) == " V2") {
        if (U(21) == "KV ")
            model = QStringLiteral("PX-5200 RFE");
        else if (U(15) == "KV2")
            model = QStringLiteral("PX-5200 RBE");
        else if (U(18) == "MW2")
            model = QStringLiteral("PX-5530");
        else
            model = QStringLiteral("PX-5200 RDE");
    } else if (U(13) == "KV2") {
        model = QStringLiteral("PX-5200 RGE");
    } else if (U(10) == "MA ") {
        single = X(10) == "EEE";
        model = single ? QStringLiteral("PX-5570") : QStringLiteral("PX-5200 RCE");
    } else if (U(10) == " A " && U(8) == "MA ") {
        model = QStringLiteral("PX-5200 RA");
    } else if (U(18) == "KV2" && resps[20].startsWith(":R4")) {
        single = X(18) != "DEE";
        model = single ? QStringLiteral("PX-5500/5505") : QStringLiteral("PX-5100");
    } else if (U(8) == " V " && U(18) == "KV2") {
        model = QStringLiteral("PX-5560");
        single = true;
    }
    if (singleAxis) *singleAxis = single;
    return model;
}

int RestoreUnitsNumber(const QString& model, const QByteArray& unitsCode) {
    const QByteArray& c = unitsCode;
    if (model == u"PX-5100" || model == u"PX-5500/5505" || model == u"PX-5560") {
        if (c == " V ") return 1;
        if (c == "MW2") return 2;
        if (c == " V2" || c == "KV2") return 3;
    } else if (model == u"PX-5200 RBE" || model == u"PX-5200 RDE" || model == u"PX-5200 RFE" ||
               model == u"PX-5200 RGE" || model == u"PX-5530") {
        if (c == " V ") return 1;
        if (c == " V2" || c == "KV2") return 2;
        if (c == "MW2") return 3;
    } else if (model == u"PX-5200 RA" || model == u"PX-5200 RCE" || model == u"PX-5200 REE") {
        if (c == " A " || c == "MA ") return 1;
        if (c == " A2" || c == "MA2") return 2;
        if (c == "MW2") return 3;
    } else if (model == u"PX-5570") {
        if (c == " A " || c == "MA ") return 1;
        if (c == "MW2") return 2;
        if (c == " A2" || c == "MA2") return 3;
    }
    return 0;
}

UnitsLookup UnitsCodeToText(const QByteArray& code, const QString& model, int protocolState,
                            int range) {
    const float fieldFactor = std::sqrt(0.06f);
    const float squareFactor = 0.06f;
    const QString squared = QString(SuperTwo);
    UnitsLookup r;
    const auto set = [&r](const QString& text, int kind, float factor) {
        r.text = text;
        r.fieldKind = kind;
        r.downFactor = factor;
    };

    if (model == u"PX-2100" && range == 0) {
        r.text = QStringLiteral("mA");
        if (code == " M ") r.currentMult = 1.0f;
        if (code == "   ") r.currentMult = 1000.0f;
        r.downFactor = fieldFactor;
        return r;
    }

    if (!model.isEmpty()) {
        const bool kappa = protocolState == 3;
        if (code == " V " || code == "KV ") {
            set(QStringLiteral("V/m"), 1, fieldFactor);
        } else if (code == "MW2") {
            set(QStringLiteral("mW/cm") + squared, kappa ? -1 : 3, squareFactor);
        } else if (code == " W2") {
            set((kappa ? QStringLiteral("W/cm") : QStringLiteral("mW/cm")) + squared,
                kappa ? -1 : 3, squareFactor);
        } else if (code == " V2" || code == "KV2") {
            const bool kilo = model == u"PX-5200 RFE" || model == u"PX-5200 RGE";
            set((kilo ? QStringLiteral("k(V/m)") : QStringLiteral("(V/m)")) + squared, 2,
                squareFactor);
        } else if (code == "MA " || code == " A ") {
            set(QStringLiteral("mA/m"), 1, fieldFactor);
        } else if (code == "MA2" || code == " A2") {
            set(QStringLiteral("m(A/m)") + squared, 2, squareFactor);
        } else if (code == " M " || code == "   ") {
            set(QStringLiteral("mA"), 2, fieldFactor);
        } else if (code == "UW2") {
            r.text = QStringLiteral("uW/cm") + squared;
        } else {
            r.message = QStringLiteral("units not known");
        }
        return r;
    }

    // No model yet: the texts follow the code literally.
    if (code == " V ") {
        set(QStringLiteral("V/m"), 1, fieldFactor);
    } else if (code == "KV ") {
        set(QStringLiteral("k(V/m)"), 1, fieldFactor);
    } else if (code == "MW2") {
        set(QStringLiteral("mW/cm") + squared, 3, squareFactor);
    } else if (code == " W2") {
        set(QStringLiteral("W/cm") + squared, 3, squareFactor);
    } else if (code == " V2") {
        set(QStringLiteral("(V/m)") + squared, 2, squareFactor);
    } else if (code == "KV2") {
        set(QStringLiteral("k(V/m)") + squared, 2, squareFactor);
    } else if (code == "MA ") {
        set(QStringLiteral("m A/m"), 1, fieldFactor);
    } else if (code == " A ") {
        set(QStringLiteral("A/m"), 1, fieldFactor);
    } else if (code == "MA2") {
        set(QStringLiteral("m(A/m)") + squared, 2, squareFactor);
    } else if (code == " A2") {
        set(QStringLiteral("(A/m)") + squared, 2, squareFactor);
    } else if (code == " M ") {
        set(QStringLiteral("mA"), -1, fieldFactor);
    } else if (code == "   ") {
        set(QStringLiteral("A"), -1, fieldFactor);
    } else {
        r.message = QStringLiteral("Units Not Known");
    }
    return r;
}

KappaUnitsLookup UnitsCodeToTextKappa(const QByteArray& code) {
    const QString squared = QString(SuperTwo);
    if (code == " V ") return {QStringLiteral("V/m"), 1, {}};
    if (code == "MW2") return {QStringLiteral("mW/cm") + squared, 2, {}};
    if (code == " W2") return {QStringLiteral("W/m") + squared, 3, {}};
    if (code == "UW2") return {QStringLiteral("uW/cm") + squared, 4, {}};
    if (code == "MA ") return {QStringLiteral("mA/m"), 5, {}};
    if (code == " A ") return {QStringLiteral("A/m"), 1, {}};
    return {{}, 0, QStringLiteral("Units Not Known")};
}

QString FormatRangeValue(float x) {
    if (x < 10.0f) {
        // Single precision carries seven significant digits; round to them before
        // choosing between one and six decimals.
        const double value = QString::number(x, 'g', 7).toDouble();
        QString text = QString::number(value, 'f', 6);
        while (text.endsWith(u'0') && !text.endsWith(u".0"))
            text.chop(1);
        return text;
    }
    if (x <= 9999.0f) return QString::number(x, 'g', 7);

    QString digits = QString::number(std::round(double(x)), 'f', 0);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

} // namespace probe

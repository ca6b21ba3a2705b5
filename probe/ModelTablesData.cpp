#include "probe/ModelTablesData.h"

#include "probe/ModelTables.h"
#include "probe/clsProbe.h"

namespace probe::detail {
namespace {

constexpr float N = LimitNone; // the range does not exist
constexpr float K = Keep;      // "-": left as the previous probe set it

// Units the model does not describe.
constexpr UnitsRow Untouched{{}, nullptr, {K, K, K, K, K}, {K, K, K, K, K}};
// Units 2 and 3 of the current probes and of the PX-5200 RDE: the usual texts, no own limits.
constexpr UnitsRow PlainUnits2{
    {"0-100", "0-1000", "0-10k", "0-100k"}, nullptr, {K, K, K, N, N}, {K, K, K, N, N}};
constexpr UnitsRow PlainUnits3{
    {"0-0.03", "0-0.3", "0-3", "0-30"}, nullptr, {K, K, K, N, N}, {K, K, K, N, N}};

// Each row of a block: scale texts of ranges 1.., log text, lower limits of ranges 1..5,
// full scales of ranges 1..5.
constexpr std::array<ModelBlock, 16> Blocks{{
    {{"PX-2100", 1, {5, 4, 4, 0, 0}, 0, 140, "Log 0.1-1000"},
     {{
         {{"0-10", "0-35", "0-100", "0-350", "0-1000"},
          "Log 0.1-1000",
          {1, 3.162, 10, 31.62, 100},
          {10, 31.62, 100, 316.2, 1000}},
         PlainUnits2,
         PlainUnits3,
         Untouched,
         Untouched,
     }},
     {{{2, 4, 1000}, {2, 5, 1000}}}},

    {{"PX-2200", 1, {5, 4, 4, 0, 0}, 0, 41, nullptr},
     {{
         {{"0-4", "0-40", "0-400", "0-4k", "0-40k"},
          "Log 0.1-100k",
          {1, 4, 40, 400, 4000},
          {4, 40, 400, 4000, 40000}},
         PlainUnits2,
         PlainUnits3,
         Untouched,
         Untouched,
     }},
     {{{1, 3, 1000}, {1, 4, 1000}, {1, 5, 1000}}}},

    {{"PX-5100", 3, {4, 4, 4, 0, 0}, 1, 60, nullptr},
     {{
         {{"0-10", "0-35", "0-100", "0-350"},
          "Log 0.1-1000",
          {1, 10, 31.62, 100, N},
          {10, 31.62, 100, 316.2, N}},
         {{"0-0.03", "0-0.3", "0-3", "0-30"},
          "Log 0.001-100",
          {0.003, 0.027, 0.265, 2.653, N},
          {0.027, 0.265, 2.653, 26.53, N}},
         {{"0-100", "0-1000", "0-10k", "0-100k"},
          "Log 1-100k",
          {10, 100, 1000, 1e4, N},
          {100, 1000, 1e4, 1e5, N}},
         Untouched,
         Untouched,
     }},
     {{{2, 2, 1000}, {2, 3, 1000}, {2, 4, 1000}}}},

    {{"PX-5200 RA", 3, {4, 4, 4, 0, 0}, 1, 50, nullptr},
     {{
         {{"0-350", "0-1000", "0-3500", "0-10k"},
          "Log 10-100k",
          {100, 316.2, 1000, 3162, N},
          {316.2, 1000, 3162, 1e4, N}},
         {{"0-100", "0-1000", "0-10k", "0-100k"},
          "Log 1-1M",
          {10, 100, 1000, 1e4, N},
          {100, 1000, 1e4, 1e5, N}},
         {{"0-4", "0-40", "0-400", "0-4k"},
          "Log 0.1-10k",
          {0.377, 3.77, 37.7, 377, N},
          {3.77, 37.7, 377, 3770, N}},
         Untouched,
         Untouched,
     }},
     {{{1, 2, 1000},
       {1, 3, 1000},
       {1, 4, 1000},
       {2, 2, 1000},
       {2, 3, 1000},
       {2, 4, 1000},
       {3, 4, 1000}}}},

    {{"PX-5200 RBE", 3, {4, 4, 4, 0, 0}, 1, 50, nullptr},
     {{
         {{"0-10", "0-35", "0-100", "0-350"},
          "Log 0.1-1000",
          {3.16, 10, 31.62, 100, N},
          {10, 31.62, 100, 316.2, N}},
         {{"0-100", "0-1000", "0-10k", "0-100k"},
          "Log 1-100k",
          {10, 100, 1000, 1e4, N},
          {100, 1000, 1e4, 1e5, N}},
         {{"0-0.03", "0-0.3", "0-3", "0-30"},
          "Log 0.001-100",
          {0.003, 0.027, 0.265, 2.653, N},
          {0.027, 0.265, 2.653, 26.53, N}},
         Untouched,
         Untouched,
     }},
     {{{2, 2, 1000}, {2, 3, 1000}, {2, 4, 1000}}}},

    {{"PX-5200 RCE", 3, {4, 4, 4, 0, 0}, 1, 50, nullptr},
     {{
         {{"0-100", "0-350", "0-1000", "0-3500"},
          "Log 1-10k",
          {31.6, 100, 316.2, 1000, N},
          {100, 316.2, 1000, 3162, N}},
         {{"0-10", "0-100", "0-1000", "0-10k"},
          "Log 0.1-10k",
          {1, 10, 100, 1000, N},
          {10, 100, 1000, 1e4, N}},
         {{"0-0.4", "0-4", "0-40", "0-400"},
          "Log 0.01-1000",
          {0.038, 0.377, 3.77, 37.7, N},
          {0.377, 3.77, 37.7, 377, N}},
         Untouched,
         Untouched,
     }},
     {{{1, 3, 1000}, {1, 4, 1000}, {2, 3, 1000}, {2, 4, 1000}}}},

    {{"PX-5200 RDE", 2, {4, 4, 4, 0, 0}, 1, 50, nullptr},
     {{
         {{"0-1", "0-3.5", "0-10", "0-35"},
          "Log 0.1-100",
          {0.316, 1, 3.162, 10, N},
          {1, 3.162, 10, 31.62, N}},
         {{"0-1", "0-10", "0-100", "0-1000"},
          "Log 0.01-1000",
          {0.1, 1, 10, 100, N},
          {1, 10, 100, 1000, N}},
         PlainUnits3,
         Untouched,
         Untouched,
     }},
     {}},

    {{"PX-5200 REE", 3, {4, 4, 4, 0, 0}, 1, 50, nullptr},
     {{
         {{"0-1", "0-3.5", "0-10", "0-35"},
          "Log 0.1-100",
          {0.316, 1, 3.162, 10, N},
          {1, 3.162, 10, 31.62, N}},
         {{"0-1", "0-10", "0-100", "0-1000"},
          "Log 0.01-1000",
          {0.1, 1, 10, 100, N},
          {1, 10, 100, 1000, N}},
         {{"0-40", "0-400", "0-4k", "0-40k"},
          "Log 1-100k",
          {3.77, 37.7, 377, 3770, N},
          {37.7, 377, 3770, 3.77e4, N}},
         Untouched,
         Untouched,
     }},
     {{{3, 3, 1000}, {3, 4, 1000}}}},

    {{"PX-5200 RFE", 3, {4, 4, 4, 0, 0}, 1, 50, nullptr},
     {{
         {{"0-35", "0-100", "0-350", "0-1000"},
          "Log 1-1000",
          {10, 31.62, 100, 316.2, N},
          {31.62, 100, 316.2, 1000, N}},
         {{"0-1", "0-10", "0-100", "0-1000"},
          "Log 0.01-1000",
          {0.1, 1, 10, 100, N},
          {1, 10, 100, 1000, N}},
         {{"0-0.3", "0-3", "0-30", "0-300"},
          "Log 0.01-1000",
          {0.027, 0.265, 2.653, 26.53, N},
          {0.265, 2.653, 26.53, 265.3, N}},
         Untouched,
         Untouched,
     }},
     {{{1, 4, 1000}, {2, 1, 0.001}}}},

    {{"PX-5200 RGE", 3, {4, 3, 4, 0, 0}, 1, 50, nullptr},
     {{
         {{"0-100", "0-350", "0-1000", "0-3500"},
          "Log 10-10k",
          {31.6, 100, 316.2, 1000, N},
          {100, 316.2, 1000, 3162, N}},
         {{"0-10", "0-100", "0-1000"}, "Log 0.1-1000", {1, 10, 100, N, N}, {10, 100, 1000, N, N}},
         {{"0-3", "0-30", "0-300", "0-3000"},
          "Log 0.1-10k",
          {0.265, 2.653, 26.53, 265.3, N},
          {2.653, 26.53, 265.3, 2653, N}},
         Untouched,
         Untouched,
     }},
     {{{1, 3, 1000}, {1, 4, 1000}, {3, 4, 1000}}}},

    {{"PX-5530", 3, {4, 4, 4, 0, 0}, 1, 50, nullptr},
     {{
         {{"0-10", "0-35", "0-100", "0-350"},
          "Log 1-1000",
          {2, 10, 31.62, 100, N},
          {10, 31.62, 100, 316.2, N}},
         {{"0-100", "0-1000", "0-10k", "0-100k"},
          "Log 1-100k",
          {10, 100, 1000, 1e4, N},
          {100, 1000, 1e4, 1e5, N}},
         {{"0-0.03", "0-0.3", "0-3", "0-30"},
          "Log 0.001-100",
          {0.003, 0.027, 0.265, 2.653, N},
          {0.027, 0.265, 2.653, 26.53, N}},
         Untouched,
         Untouched,
     }},
     {{{2, 3, 1000}, {2, 4, 1000}}}},

    // Its scale and log texts of units 2 and 3 are the usual ones (squared field in units 2,
    // power density in units 3), while its limits follow the probe's own units order (power
    // density in units 2, squared field in units 3). Installed as the probe has always had it.
    {{"PX-5500/5505", 3, {4, 4, 4, 0, 0}, 0, 38, nullptr},
     {{
         {{"0-10", "0-35", "0-100", "0-350"},
          "Log 0.1-1000",
          {1, 10, 31.62, 100, N},
          {10, 31.62, 100, 316.2, N}},
         {{"0-100", "0-1000", "0-10k", "0-100k"},
          "Log 10-100k",
          {0.003, 0.027, 0.265, 2.653, N},
          {0.027, 0.265, 2.653, 26.53, N}},
         {{"0-0.03", "0-0.3", "0-3", "0-30"},
          "Log 0.001-100",
          {10, 100, 1000, 1e4, N},
          {100, 1000, 1e4, 1e5, N}},
         Untouched,
         Untouched,
     }},
     {{{2, 2, 1000}, {2, 3, 1000}, {2, 4, 1000}}}},

    {{"PX-5560", 3, {3, 3, 3, 0, 0}, 0, 38, nullptr},
     {{
         {{"0-100", "0-350", "0-1000"},
          "Log 10-10k",
          {31.6, 100, 316.2, N, N},
          {100, 316.2, 1000, N, N}},
         {{"0-10k", "0-100k", "0-1M"},
          "Log 0.01-1000",
          {0.265, 2.653, 26.53, N, N},
          {2.653, 26.53, 265.3, N, N}},
         {{"0-3", "0-30", "0-300"}, "Log 0.1-10k", {1, 10, 100, N, N}, {10, 100, 1000, N, N}},
         Untouched,
         Untouched,
     }},
     {{{1, 3, 1000}}}},

    {{"PX-5570", 3, {4, 4, 4, 0, 0}, 0, 38, nullptr},
     {{
         {{"0-100", "0-300", "0-1000", "0-3000"},
          "Log 10-10k",
          {30, 83.89, 265.3, 838.9, N},
          {83.89, 265.3, 838.9, 2653, N}},
         {{"0-0.3", "0-3", "0-30", "0-300"},
          "Log 0.01-1000",
          {0.027, 0.265, 2.653, 26.53, N},
          {0.265, 2.653, 26.53, 265.3, N}},
         {{"0-10", "0-100", "0-1000", "0-10k"},
          "Log 0.1-10k",
          {0.703, 7.037, 70.37, 703.7, N},
          {7.037, 70.37, 703.7, 7037, N}},
         Untouched,
         Untouched,
     }},
     {{{1, 3, 1000}, {1, 4, 1000}, {2, 3, 1000}, {2, 4, 1000}}}},

    // Kappa probes: only range 1 has a lower limit and only range 4 a full scale of its own.
    {{"E310", 3, {4, 4, 4, 4, 4}, 0, 330, nullptr},
     {{
         {{"0-10", "0-35", "0-100", "0-350"}, "Log 0.1-1000", {0.3, K, K, N, N}, {K, K, K, 850, N}},
         {{"0-3", "0-10", "0-30", "0-100"},
          "Log 0.01m-1000",
          {0.001, K, K, N, N},
          {K, K, K, 191.6, N}},
         {{"0-0.3", "0-10", "0-30", "0-100"},
          "Log 0.01m-1000",
          {0.001, K, K, N, N},
          {K, K, K, 999.9, N}},
         {{"0-3", "0-10", "0-30", "0-100"},
          "Log 0.1-1000",
          {0.239, K, K, K, K},
          {K, K, K, 999.9, K}},
         Untouched,
     }},
     {}},

    {{"H420", 3, {4, 4, 4, 4, 4}, 0, 330, nullptr},
     {{
         {{"0-0.03", "0-0.3", "0-1", "0-3.5"},
          "Log 0.001-100",
          {0.01, K, K, N, N},
          {K, K, K, 10, N}},
         {{"0-0.3", "0-1", "0-10", "0-100"},
          "Log 0.001-1000",
          {0.004, K, K, N, N},
          {K, K, K, 999.9, N}},
         {{"0-0.3", "0-1", "0-10", "0-100"},
          "Log 0.01-1000",
          {0.038, K, K, N, N},
          {K, K, K, 999.9, N}},
         {{"0-10", "0-30", "0-100", "0-300"}, "Log 1-1000", {3.77, K, K, K, K}, {K, K, K, 377, K}},
         {{"0-30", "0-100", "0-300", "0-1000"},
          "Log 1-1000",
          {10, K, K, K, K},
          {K, K, K, 999.9, K}},
     }},
     {}},
}};

constexpr std::array<ZetaLimits, 3> Zetas{{
    {"PX-9100", {0.5, 0.25, 0.0000663}, {900, 810000, 214.9}},
    {"PX-9130", {2, 4, 0.001061}, {800, 640000, 170}},
    {"PX-9120", {2, 4, 0.001061}, {800, 640000, 170}},
}};

} // namespace

const ModelBlock* FindModelBlock(const QString& name) {
    for (const ModelBlock& block : Blocks)
        if (name == QLatin1String(block.info.name)) return &block;
    return nullptr;
}

const ZetaLimits* FindZetaLimits(const QString& name) {
    for (const ZetaLimits& limits : Zetas)
        if (name == QLatin1String(limits.name)) return &limits;
    return nullptr;
}

} // namespace probe::detail

namespace probe {

const std::array<ModelSetUp, 16>& ModelSetUps() {
    static const QString mw = QStringLiteral("mW/cm") + SuperTwo;
    static const QString v2 = QStringLiteral("V/m") + SuperTwo;
    static const QString kv2 = QStringLiteral("k(V/m)") + SuperTwo;
    static const QString ma2 = QStringLiteral("m(A/m)") + SuperTwo;
    static const QString a2 = QStringLiteral("(A/m)") + SuperTwo;
    static const QString mA = QStringLiteral("mA");
    static const std::array<ModelSetUp, 16> rows{{
        {"PX-2200", {}, false, false, false, true},
        {"PX-2100", {}, false, false, false, true},
        {"PX-5100", {QString(), mw, v2}, true},
        {"PX-5200 REE", {QStringLiteral("A"), a2, QString()}},
        {"PX-5200 RGE", {QString(), kv2, QString()}},
        {"PX-5200 RDE", {}, false, true},
        {"PX-5200 RFE", {}},
        {"PX-5200 RBE", {}},
        {"PX-5200 RA", {mA, ma2, QString()}},
        {"PX-5200 RCE", {mA, ma2, QString()}},
        {"PX-5530", {}, true},
        {"PX-5500/5505", {QString(), mw, v2}, true},
        {"PX-5560", {QString(), mw, kv2}, true, false, true},
        {"PX-5570", {mA, mw, ma2}, true},
        {"E310", {}, false, false, false, false, true},
        {"H420", {}, false, false, false, false, true},
    }};
    return rows;
}

const ModelSetUp* FindModelSetUp(const QString& model) {
    for (const ModelSetUp& row : ModelSetUps())
        if (model == QLatin1String(row.model)) return &row;
    return nullptr;
}

QStringList KnownModels() {
    QStringList sigma, kappa, zeta;
    for (const ModelSetUp& row : ModelSetUps())
        (row.kappa ? kappa : sigma).append(QLatin1String(row.model));
    for (const detail::ZetaLimits& limits : detail::Zetas)
        zeta.append(QLatin1String(limits.name));
    zeta.sort();
    return sigma + zeta + kappa;
}

int ModelFamily(const QString& model) {
    if (const ModelSetUp* row = FindModelSetUp(model)) return row->kappa ? StateKappa : StateSigma;
    for (const detail::ZetaLimits& limits : detail::Zetas)
        if (model == QLatin1String(limits.name)) return StateZeta;
    return StateIdentifying;
}

} // namespace probe

#pragma once
// Everything that depends on the probe model: units order and count, ranges and their limits,
// multipliers, graph-scale texts, 3-axis capability and the shortest data read; the rules that
// name a Sigma model from its characterisation replies; and the units-code translations.
//
// Tables are indexed [units 1..5][range 0..5] and [field kind 1..3][range 0..5]; index 0 is
// used only for the low range of the PX-2100. Every accessor is bounds-safe: an index outside
// the table reads as an empty text, a limit of 0 or a multiplier of 1.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace probe {

constexpr float LimitNone = 12345.0f; // marks a range that does not exist
constexpr QChar SuperTwo = QChar(0x00B2);

struct ModelTables {
    int UnitsCount = 3;
    std::array<int, 6> MaxRange{0, 4, 4, 4, 4, 4};
    int MuxAvail = 0;
    int MinReadTime = 66;
    std::array<std::array<QString, 6>, 6> ScaleTexts{};
    std::array<QString, 6> LogTexts{};
    std::array<std::array<float, 6>, 4> Multiplier{};
    std::array<std::array<float, 6>, 6> UnderRangeTable{};
    std::array<std::array<float, 6>, 6> OverRangeTable{};

    ModelTables();

    int maxRange(int units) const;
    QString scaleText(int units, int range) const;
    QString logText(int units) const;
    float multiplier(int kind, int range) const;
    float underRange(int units, int range) const;
    float overRange(int units, int range) const;

    // The pure table part of installing a Sigma or Kappa model: the defaults (maximum range 4
    // for units 1..3, three units, MinReadTime 50, multipliers 1, the default scale texts of
    // units 1..3), then the model's own values. An unknown name leaves the defaults.
    void installModel(const QString& model);
    // Range limits: ranges 4 and 5 of units 1..3 become LimitNone, then the model's limits.
    void installLimits(const QString& model);
    // Zeta family: maximum range 5 for units 1..3, the Zeta scale and log texts, and the
    // limits of the named model (PX-9100, PX-9120, PX-9130).
    void installZeta(const QString& model);
};

// Names a Sigma model from the characterisation replies (resps[k] holds the reply to
// characterisation step k). Returns an empty name when no rule fits; singleAxis tells whether
// the matching rule reads the probe as a single axis.
QString FindProbeType(const std::array<QByteArray, 33>& resps, bool* singleAxis);

// The units number (1..3) that a units code stands for in the model's units order, or 0.
int RestoreUnitsNumber(const QString& model, const QByteArray& unitsCode);

// The translation of a 3-character units code of a Sigma data reply.
struct UnitsLookup {
    QString text;              // the units text (empty when unknown)
    int fieldKind = -1;        // new field kind, or -1 to keep it
    float downFactor = -1.0f;  // new down-range factor, or -1 to keep it
    float currentMult = -1.0f; // new current-range multiplier (PX-2100 range 0), or -1
    QString message;           // message to show, or empty
};
UnitsLookup UnitsCodeToText(const QByteArray& code, const QString& model, int protocolState,
                            int range);

// The Kappa translation; unitsIndex is 0 when the code is unknown (the index is kept).
struct KappaUnitsLookup {
    QString text;
    int unitsIndex = 0;
    QString message;
};
KappaUnitsLookup UnitsCodeToTextKappa(const QByteArray& code);

// What the window offers for one field-reporting model beyond the common set-up.
struct ModelSetUp {
    const char* model;
    std::array<QString, 3> units{}; // captions of units entries 1..3; empty keeps the default
    bool zero = false;              // the probe accepts the zero command
    bool hideUnits3 = false;
    bool hideRange4 = false;
    // PX-2100 and PX-2200: a fifth range, no temperature, no automatic range, no "Max" rate.
    bool basicLine = false;
    bool kappa = false;
};
// Every field-reporting model the program knows, one row each.
const std::array<ModelSetUp, 16>& ModelSetUps();
// The row of a model; null for a model the program does not know.
const ModelSetUp* FindModelSetUp(const QString& model);
// Every model the program reads, by family: Sigma, Zeta, Kappa.
QStringList KnownModels();
// The family of a model the program knows (StateSigma, StateZeta, StateKappa); StateIdentifying
// for any other name.
int ModelFamily(const QString& model);

// "0.0#####" below 10, plain decimal text from 10 to 9999, "#,###,###" above.
QString FormatRangeValue(float x);

} // namespace probe

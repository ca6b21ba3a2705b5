#pragma once
// One reading: what a sample of any probe family comes to, built once and handed to everything
// that shows or keeps it (readouts, time-series graph, bar graph, log table).
#include "measure/ClsZeta.h"

#include <QString>
#include <array>
#include <vector>

namespace probe {
class clsProbe;
}

namespace measure {

enum class Family { Sigma, Zeta, Kappa };

// Index into the values of a reading; the order of the readouts, bars and log columns.
enum Axis : int { Total = 0, X = 1, Y = 2, Z = 3 };
using AxisValues = std::array<float, 4>;

struct Reading {
    Family family = Family::Sigma;
    float dayFraction = 0.0f; // when it was taken, as a fraction of the day
    AxisValues value{};       // as shown, plotted and logged (after averaging)
    AxisValues instant{};     // the sample's own values, before averaging: the bars
    AxisValues peak{};        // the peak holds
    // The total as the live graph plots it for a probe read as a whole (to the thousandth).
    float plottedTotal = 0.0f;
    int percentOfScale = 0; // Sigma and Kappa: share of the range, 0..100; -1 not known
    // X, Y and Z carry values: always for a Zeta probe, for a Sigma probe read axis by axis.
    bool axesReported = false;
    // A Sigma probe read axis by axis reports one axis a reply (1..3); 0 otherwise.
    int axis = 0;
    // The reading closes a sample: always, but in an axis-by-axis read only the Z reply that
    // ends a whole X, Y, Z cycle does.
    bool completesSample = true;
    ClsZeta::Unit zetaUnits = ClsZeta::UnitVm; // Zeta: the unit of the values
    QString units;     // the units of the values, as they are shown and logged ("V/m", "mW/cm²")
    int range = 0;     // Sigma and Kappa: the range the probe reads in (0 for a Zeta probe)
    QString probeText; // Kappa: the total as the probe wrote it
};

// The reading of a field-reporting probe (Sigma or Kappa) after its reply was parsed.
Reading ReadingOf(const probe::clsProbe& session, float dayFraction);
// The reading of a Zeta probe after ClsZeta took its sample.
Reading ReadingOf(const ClsZeta& zeta, float dayFraction);

// A row of a log as the reading its probe gave: the row's values (total, X, Y, Z) in the log's
// units, the peaks so far, and the axes only where the log has them. The peaks of a probe that
// reports its own are held to the digits it reports.
Reading ReadingOfRow(Family family, const QString& units, bool axes, float dayFraction,
                     const AxisValues& row, const AxisValues& peaks);

// Whatever takes readings.
class ReadingSink {
public:
    virtual ~ReadingSink() = default;
    virtual void TakeReading(const Reading& reading) = 0;
};

// Hands each reading to every sink added, in the order they were added.
class ReadingFanOut : public ReadingSink {
public:
    void Add(ReadingSink& sink) { m_sinks.push_back(&sink); }
    void TakeReading(const Reading& reading) override {
        for (ReadingSink* sink : m_sinks)
            sink->TakeReading(reading);
    }

private:
    std::vector<ReadingSink*> m_sinks;
};

} // namespace measure

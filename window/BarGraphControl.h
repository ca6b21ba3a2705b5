#pragma once
// The main window's side of the bar graph on Picture3: the scale from the vertical-scale text,
// the bars fed with every reading, and the click that clears the peaks.
#include "graph/ClsBarGraph.h"
#include "measure/Reading.h"
#include "measure/RecordTable.h"
#include "platform/SurfaceWidget.h"

#include <QString>
#include <functional>
#include <memory>

class QObject;

namespace window {

class BarGraphControl : public measure::ReadingSink {
public:
    // scaleInForce gives the vertical-scale text the graphs show; clearHolds clears the peak
    // holds of the probe's readings. Connects the click on the picture and redraws the scale
    // whenever the picture changes size.
    BarGraphControl(graph::ClsBarGraph& bars, platform::SurfaceWidget* Picture3,
                    const measure::RecordTable& records, std::function<QString()> scaleInForce,
                    std::function<void()> clearHolds);
    ~BarGraphControl() override;

    void SetUpBarGraph();
    // The bars of every reading while the bar graph is on.
    void TakeReading(const measure::Reading& reading) override;
    void BarGraphSigma(const measure::Reading& reading);
    void BarGraphZeta(const measure::Reading& reading);
    // The four bars at the values of one sample: total, X, Y, Z.
    void DrawBars(const measure::AxisValues& values);
    // All four bars at 0, or only the three axes.
    void ZeroBars();
    void ZeroAxisBars();
    // Clears the bar peaks and the maximum holds; nothing while recording.
    void Picture3_Click();
    // The bars erased and their peaks forgotten; the maximum holds stay.
    void ClearBarPeaks() { m_bars.ClearPeak(); }

    bool BarGraphOn() const { return m_on; }
    void SetBarGraphOn(bool on) { m_on = on; }
    QString BarScaleStr() const { return m_scaleText; }

private:
    graph::ClsBarGraph& m_bars;
    const measure::RecordTable& m_records;
    std::function<QString()> m_scaleInForce;
    std::function<void()> m_clearHolds;
    std::unique_ptr<QObject> m_resizeWatch;
    QString m_scaleText;
    bool m_on = true;
};

} // namespace window

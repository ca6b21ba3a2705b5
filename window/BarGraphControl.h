#pragma once
// The main window's side of the bar graph on Picture3: the scale from the vertical-scale text,
// the bars fed with every reading, and the click that clears the peaks.
#include <QString>
#include <memory>

class QObject;

namespace app {
class frmMain;
}

namespace window {

class BarGraphControl {
public:
    explicit BarGraphControl(app::frmMain& main);
    ~BarGraphControl();
    // The click on Picture3, and a new scale whenever Picture3 changes size.
    void connectControls();

    void SetUpBarGraph();
    void BarGraphSigma();
    void BarGraphZeta();
    // All four bars at 0.
    void ZeroBars();
    // Clears the bar peaks and the probe's maximum holds; nothing while recording.
    void Picture3_Click();

    QString BarScaleStr;

private:
    app::frmMain& m_main;
    std::unique_ptr<QObject> m_resizeWatch;
};

} // namespace window

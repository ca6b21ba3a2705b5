#pragma once
// The main window's layout in twips: the re-layout on resize, the bar graph's place, the switch
// between the Sigma and Zeta layouts, the readouts' text colour, the toolbar and the view menus
// of the toolbar and status bar.
#include "platform/DrawSurface.h"

#include <QString>

class QAction;

namespace app {
class frmMain;
}

namespace window {

class MainLayout {
public:
    explicit MainLayout(app::frmMain& main);
    void connectControls();

    void ResizeForm();
    void AdjustPicture3();
    void ChangeDisplay();
    void SetXYZLabVisible();
    void ChangeTextColor(platform::Colour colour);
    // The axis box is shown while it holds axis readouts or sensor switches.
    void UpdateAxisBox();
    // "True" shows the moving-average panel, "False" hides it.
    void ToggleExposure(const QString& show);
    void tbToolBar_ButtonClick(const QString& key);
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewExposure_Click();
    // Positions of the controls at the default size; called once by the window.
    void PlaceControls();

    int SkipNextResize = 0;
    int ZetaLayoutShown = 2;

private:
    void placePeaks(bool exposureShown);
    double innerWidth() const;
    double innerHeight() const;
    app::frmMain& m_main;
};

} // namespace window

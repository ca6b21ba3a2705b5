#include "window/MainLayout.h"

#include "app/frmMain.h"
#include "measure/RecordTable.h"
#include "window/BarGraphControl.h"
#include "window/GraphControl.h"
#include "window/ProbeSetup.h"
#include "window/SampleProcessing.h"

#include <QFontDatabase>

namespace window {

using platform::SetTwipsGeometry;

namespace {

// Where the readout area's controls stand, in twips of the form area.
constexpr double BoxTop = 60, BoxHeight = 1710;
constexpr double StripTop = 1860, StripHeight = 330;
constexpr double GraphTop = 2280;
constexpr double PeakLeft = 4800, PeakAxisLeft = 4920;                 // without the average
constexpr double PeakLeftExposure = 6480, PeakAxisLeftExposure = 6600; // with it
constexpr double AxisRowTop[] = {180, 560, 940};

QFont readoutFont(const QWidget* w, double points, bool bold) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    font.setBold(bold);
    Q_UNUSED(w);
    return font;
}

QFont captionFont(const QWidget* w, double points, bool bold = false) {
    QFont font = w->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

MainLayout::MainLayout(app::frmMain& main) : m_main(main) {}

void MainLayout::connectControls() {
    MainControls& u = m_main.ui();
    QObject::connect(u.mnuViewToolbar, &QAction::triggered, [this] { mnuViewToolbar_Click(); });
    QObject::connect(u.mnuViewStatusBar, &QAction::triggered, [this] { mnuViewStatusBar_Click(); });
    QObject::connect(u.mnuViewExposure, &QAction::triggered, [this] { mnuViewExposure_Click(); });
    QObject::connect(u.tbToolBar, &QToolBar::actionTriggered,
                     [this](QAction* action) { tbToolBar_ButtonClick(action->data().toString()); });
}

void MainLayout::PlaceControls() {
    MainControls& u = m_main.ui();
    QWidget* form = m_main.centralWidget();

    // Total field box: caption, the large total, units, range, share of the range, and a side
    // column with temperature, sample rate and the battery gauge.
    SetTwipsGeometry(u.ShaMain[1], 60, BoxTop, 3240, BoxHeight);
    SetTwipsGeometry(u.LabXYZLab, 150, 110, 1300, 260);
    SetTwipsGeometry(u.LabOverRange, 1250, 110, 1250, 260);
    SetTwipsGeometry(u.LabUnderRange, 1250, 110, 1250, 260);
    SetTwipsGeometry(u.LabXYZField, 90, 380, 2300, 700);
    SetTwipsGeometry(u.LabUnits, 150, 1110, 1300, 320);
    SetTwipsGeometry(u.LabRange, 1380, 1110, 1090, 320);
    SetTwipsGeometry(u.LabBarGraph, 150, 1430, 620, 280);
    SetTwipsGeometry(u.LabPercentOfRange, 790, 1430, 1300, 280);
    SetTwipsGeometry(u.LabTempLab, 2420, 110, 860, 260);
    SetTwipsGeometry(u.LabTemp, 2420, 350, 860, 280);
    SetTwipsGeometry(u.LabSamRateLab, 2420, 660, 860, 260);
    SetTwipsGeometry(u.LabSamRate, 2420, 900, 860, 280);
    SetTwipsGeometry(u.ShapeBatFrame, 2550, 1185, 190, 525);
    SetTwipsGeometry(u.ShapeBatLevel, 2570, 1200, 150, 495);
    SetTwipsGeometry(u.LabBattery, 2770, 1420, 520, 280);

    // Axis box: colour mark, axis name and reading per axis; the sensor switches below.
    SetTwipsGeometry(u.ShaMain[2], 3340, BoxTop, 1360, BoxHeight);
    QLabel* names[] = {u.LabXLab, u.LabYLab, u.LabZLab};
    QLabel* fields[] = {u.LabXField, u.LabYField, u.LabZField};
    platform::Shape* marks[] = {u.ShapeX, u.ShapeY, u.ShapeZ};
    platform::ClickLabel* switches[] = {u.LabXAxis, u.LabYAxis, u.LabZAxis};
    for (int i = 0; i < 3; ++i) {
        SetTwipsGeometry(marks[i], 3410, AxisRowTop[i] + 50, 75, 240);
        SetTwipsGeometry(names[i], 3530, AxisRowTop[i], 230, 340);
        SetTwipsGeometry(fields[i], 3750, AxisRowTop[i], 900, 340);
        SetTwipsGeometry(switches[i], 3560 + i * 370, 1360, 300, 300);
    }

    // Peak box (moves right when the moving average is shown, see ToggleExposure).
    SetTwipsGeometry(u.ShaExposure, 4740, BoxTop, 1660, BoxHeight);
    SetTwipsGeometry(u.LabExposure1, 4800, 110, 1550, 260);
    SetTwipsGeometry(u.LabMinAver, 4800, 420, 1550, 260);
    SetTwipsGeometry(u.LabExposure, 4800, 680, 1500, 420);
    SetTwipsGeometry(u.LabElasedTime, 4800, 1200, 1500, 300);
    placePeaks(false);

    // The strip of lists and the log indicator between the readouts and the graph.
    SetTwipsGeometry(u.ShapeFormColor[3], 60, StripTop - 45, 11280, StripHeight + 90);
    SetTwipsGeometry(u.LabVerticalScaleLab, 150, StripTop, 1190, StripHeight);
    SetTwipsGeometry(u.CmbVerticalScale, 1400, StripTop, 1900, StripHeight);
    SetTwipsGeometry(u.LabSamPerDivLab, 3550, StripTop, 1090, StripHeight);
    SetTwipsGeometry(u.cmbSamPerDiv, 4700, StripTop, 900, StripHeight);
    SetTwipsGeometry(u.LabSampleRateLab, 5850, StripTop, 1090, StripHeight);
    SetTwipsGeometry(u.CmbSampleRate, 7000, StripTop, 850, StripHeight);
    SetTwipsGeometry(u.ShapeRecordInd, 8100, StripTop + 15, 700, StripHeight - 30);
    SetTwipsGeometry(u.LabRecord, 8100, StripTop + 15, 700, StripHeight - 30);
    SetTwipsGeometry(u.LabRecordCntLab, 8950, StripTop, 800, StripHeight);
    SetTwipsGeometry(u.LabRecordCnt, 9750, StripTop, 1100, StripHeight);

    SetTwipsGeometry(u.Picture1, 120, GraphTop, 11160, 4000);
    SetTwipsGeometry(u.Picture3, 6360, BoxTop, 4980, BoxHeight);

    // Stacking: background panels at the back, boxes over them, everything else on top.
    for (int i = 1; i <= 4; ++i)
        u.ShapeFormColor[i]->lower();
    for (platform::Shape* box : {u.ShaMain[1], u.ShaMain[2], u.ShaPeak, u.ShaExposure})
        box->stackUnder(u.LabXYZField);
    u.ShapeRecordInd->stackUnder(u.LabRecord);
    u.ShapeBatFrame->stackUnder(u.ShapeBatLevel);
    u.LstHeader->raise();

    // Type: large fixed-width digits for the readings, small captions.
    u.LabXYZField->setFont(readoutFont(form, 26, true));
    u.LabXYZField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    u.LabMaxXYZ->setFont(readoutFont(form, 14, true));
    u.LabExposure->setFont(readoutFont(form, 14, true));
    for (QLabel* l : {u.LabXField, u.LabYField, u.LabZField}) {
        l->setFont(readoutFont(form, 12, true));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    for (QLabel* l : {u.LabMaxX, u.LabMaxY, u.LabMaxZ, u.LabMaxXYZ, u.LabExposure}) {
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (l != u.LabMaxXYZ && l != u.LabExposure) l->setFont(readoutFont(form, 10, false));
    }
    for (QLabel* l : {u.LabXLab, u.LabYLab, u.LabZLab})
        l->setFont(captionFont(form, 12, true));
    for (QLabel* l : std::initializer_list<QLabel*>{u.LabXAxis, u.LabYAxis, u.LabZAxis}) {
        l->setFont(captionFont(form, 9, true));
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Box);
    }
    u.LabUnits->setFont(captionFont(form, 13, true));
    u.LabRange->setFont(captionFont(form, 10, true));
    u.LabRange->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    u.LabBarGraph->setFont(readoutFont(form, 10, true));
    u.LabBarGraph->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    u.LabTemp->setFont(readoutFont(form, 10, true));
    u.LabSamRate->setFont(readoutFont(form, 10, true));
    u.LabBattery->setFont(readoutFont(form, 9, true));
    for (QLabel* l : std::initializer_list<QLabel*>{u.LabXYZLab, u.LabPercentOfRange, u.LabTempLab,
                                                    u.LabSamRateLab, u.LabPeak, u.LabExposure1,
                                                    u.LabMinAver, u.LabElasedTime})
        l->setFont(captionFont(form, 8));
    for (QLabel* l : {u.LabVerticalScaleLab, u.LabSamPerDivLab, u.LabSampleRateLab})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {u.LabOverRange, u.LabUnderRange}) {
        l->setFont(captionFont(form, 8.5, true));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        platform::SetForeColor(l, 0x4040FF);
        l->setVisible(false);
    }
    u.LabRecord->setAlignment(Qt::AlignCenter);
    u.LabRecord->setFont(captionFont(form, 9, true));
    u.ShapeBatFrame->setFillColor(0);
    u.ShapeBatFrame->setBorderVisible(true);
    u.ShapeBatFrame->setBorderColor(0x808080);
    u.ShapeBatLevel->setFillColor(0xFFFF00);
    u.ShapeX->setRadius(2);
    u.ShapeY->setRadius(2);
    u.ShapeZ->setRadius(2);
    for (int i = 1; i <= 4; ++i) {
        u.ShapeFormColor[i]->setBorderVisible(true);
        u.ShapeFormColor[i]->setVisible(i == 3);
    }
    ToggleExposure(u.mnuViewExposure->isChecked() ? QStringLiteral("True")
                                                  : QStringLiteral("False"));
}

void MainLayout::placePeaks(bool exposureShown) {
    MainControls& u = m_main.ui();
    const double left = exposureShown ? PeakLeftExposure : PeakLeft;
    const double axisLeft = exposureShown ? PeakAxisLeftExposure : PeakAxisLeft;
    SetTwipsGeometry(u.ShaPeak, left - 60, BoxTop, 1560, BoxHeight);
    SetTwipsGeometry(u.LabPeak, left, 110, 1400, 260);
    SetTwipsGeometry(u.LabMaxXYZ, left, 380, 1420, 450);
    QLabel* peaks[] = {u.LabMaxX, u.LabMaxY, u.LabMaxZ};
    for (int i = 0; i < 3; ++i)
        SetTwipsGeometry(peaks[i], axisLeft, 880 + 270 * i, left + 1420 - axisLeft, 280);
}

void MainLayout::ToggleExposure(const QString& show) {
    MainControls& u = m_main.ui();
    const bool on = show == QStringLiteral("True");
    u.ShaExposure->setVisible(on);
    for (QLabel* l : {u.LabExposure, u.LabMinAver, u.LabElasedTime, u.LabExposure1})
        l->setVisible(on);
    placePeaks(on);
}

void MainLayout::mnuViewExposure_Click() {
    MainControls& u = m_main.ui();
    if (m_main.records().Recording == measure::RecordTable::ExposureLogging) {
        u.mnuViewExposure->setChecked(true); // cannot be switched off while it records
        return;
    }
    // The action has already flipped its own tick.
    ToggleExposure(u.mnuViewExposure->isChecked() ? QStringLiteral("True")
                                                  : QStringLiteral("False"));
    AdjustPicture3();
}

double MainLayout::innerWidth() const {
    return platform::ToTwips(m_main.centralWidget(), m_main.centralWidget()->width());
}

double MainLayout::innerHeight() const {
    return platform::ToTwips(m_main.centralWidget(), m_main.centralWidget()->height());
}

void MainLayout::ResizeForm() {
    MainControls& u = m_main.ui();
    if (m_main.isMinimized()) return;
    if (SkipNextResize == 1) {
        SkipNextResize = 0;
        return;
    }
    const double width = innerWidth();
    const double height = innerHeight();
    const QRectF picture = platform::TwipsGeometry(u.Picture1);
    const double pictureWidth = std::max(600.0, width - 240);
    double pictureHeight = picture.height();
    // The form area already ends above the status bar, so the bar's room is not taken again.
    if (picture.top() + 1500 < height) {
        u.Picture1->setVisible(u.mnuViewScatterGraph->isChecked());
        pictureHeight = height - picture.top() - 120;
    } else {
        u.Picture1->setVisible(false);
    }
    SetTwipsGeometry(u.Picture1, picture.left(), picture.top(), pictureWidth, pictureHeight);
    u.Picture1->Cls();
    AdjustPicture3();
    m_main.graphControl().SweepIndex = 1;

    // The lists strip stretches with the window.
    SetTwipsGeometry(u.ShapeFormColor[3], 60, StripTop - 45, std::max(0.0, width - 120),
                     StripHeight + 90);

    graph::clsGraph& g = m_main.graph();
    g.SetLeft(100);
    g.SetTop(100);
    g.SetWidth(int(pictureWidth - 100));
    g.SetHeight(int(pictureHeight - 100));

    // The header list sits at the right of the graph, as tall as the graph allows.
    const double listHeight = std::max(2400.0, pictureHeight - 800);
    SetTwipsGeometry(u.LstHeader, std::max(120.0, picture.left() + pictureWidth - 3400),
                     picture.top() + 400, 3200, listHeight);

    g.Clear();
    if (m_main.graphControl().ScatterGraphOn) {
        g.Graph(1);
    } else {
        g.Graph(0);
        g.DrawLines();
    }
    u.sbStatusBar->setVisible(u.mnuViewStatusBar->isChecked());
}

void MainLayout::AdjustPicture3() {
    MainControls& u = m_main.ui();
    double left = 6360;
    if (u.mnuViewExposure->isChecked()) {
        left = 8040;
    } else {
        ToggleExposure(QStringLiteral("False"));
    }
    const QRectF picture = platform::TwipsGeometry(u.Picture3);
    if (!m_main.graphControl().BarGraphOn) return;
    const double width = innerWidth() - left - 120;
    if (width >= 1200) {
        SetTwipsGeometry(u.Picture3, left, picture.top(), width, picture.height());
        u.Picture3->setVisible(true);
    } else {
        u.Picture3->setVisible(false);
    }
}

void MainLayout::ChangeDisplay() {
    MainControls& u = m_main.ui();
    window::SampleProcessing& processing = m_main.processing();
    processing.LayoutPending = 0;
    const bool sigma = processing.ZetaFamily != 1;
    if (!sigma) {
        ZetaLayoutShown = 1;
        SetXYZLabVisible();
        m_main.setup().SetUpZeta();
        processing.AllAxisDisplayed();
    } else {
        ZetaLayoutShown = 0;
        processing.AllAxisDisplayed();
        if (m_main.probe().MultiplexOn() != 1) SetXYZLabVisible();
    }
    u.LabPercentOfRange->setVisible(sigma);
    u.LabBarGraph->setVisible(sigma);
    u.LabRange->setVisible(sigma);
    u.mnuProbe3AxisData->setEnabled(sigma);
    u.mnuProbeRangeTop->setEnabled(sigma);
    u.mnuProbeUnitsSigma->menuAction()->setVisible(sigma);
    u.mnuProbeUnitsZeta->menuAction()->setVisible(!sigma);
    u.mnuCommBaud[2]->setEnabled(!sigma);
    u.LabXAxis->setVisible(sigma);
    u.LabYAxis->setVisible(sigma);
    u.LabZAxis->setVisible(sigma);
    u.mnuCommASCII->setEnabled(sigma);
    u.mnuCommARM->setEnabled(sigma);
    u.mnuCommARProbe->setEnabled(sigma);
    UpdateAxisBox();
    AdjustPicture3();
}

void MainLayout::SetXYZLabVisible() {
    MainControls& u = m_main.ui();
    const bool multiplex = m_main.probe().GetMultiplexAvail() == 1;
    if (multiplex && m_main.probe().TypeZeta() != probe::StateSigma) return;
    for (QLabel* l : std::initializer_list<QLabel*>{u.LabXAxis, u.LabYAxis, u.LabZAxis})
        l->setVisible(multiplex);
    UpdateAxisBox();
}

void MainLayout::UpdateAxisBox() {
    MainControls& u = m_main.ui();
    QWidget* form = m_main.centralWidget();
    u.ShaMain[2]->setVisible(u.LabXField->isVisibleTo(form) || u.LabXAxis->isVisibleTo(form) ||
                             u.LabYAxis->isVisibleTo(form) || u.LabZAxis->isVisibleTo(form));
}

void MainLayout::ChangeTextColor(platform::Colour colour) {
    using Widgets = std::initializer_list<QWidget*>;
    MainControls& u = m_main.ui();
    for (QWidget* w : Widgets{u.LabXYZField, u.LabXField, u.LabYField, u.LabZField, u.LabBarGraph,
                              u.LabRecordCnt, u.LabUnits, u.LabRange, u.LabSamRate, u.LabTemp,
                              u.LabBattery, u.LabMaxX, u.LabMaxY, u.LabMaxZ, u.LabMaxXYZ})
        platform::SetForeColor(w, colour);
    u.Picture3->SetForeColor(colour);
    const platform::Colour grey = platform::PaletteColour(7);
    for (QWidget* w : Widgets{u.LabXAxis, u.LabYAxis, u.LabZAxis}) {
        if (platform::ForeColor(w) != grey) platform::SetForeColor(w, colour);
    }
    for (QWidget* w : Widgets{u.LabMinAver, u.LabElasedTime, u.LabExposure})
        platform::SetForeColor(w, colour);
    // Captions inside the readout boxes follow, a shade dimmer.
    const platform::Colour dim = platform::FromQColor(platform::ToQColor(colour).darker(135));
    for (QWidget* w : Widgets{u.LabXYZLab, u.LabPercentOfRange, u.LabTempLab, u.LabSamRateLab,
                              u.LabPeak, u.LabExposure1, u.LabXLab, u.LabYLab, u.LabZLab})
        platform::SetForeColor(w, dim);
}

void MainLayout::tbToolBar_ButtonClick(const QString& key) {
    MainControls& u = m_main.ui();
    if (key == QStringLiteral("BarGraph")) {
        u.mnuViewBarGraph->toggle();
        m_main.graphControl().mnuViewBarGraph_Click();
    } else if (key == QStringLiteral("Scatter")) {
        u.mnuViewScatterLive->toggle();
        m_main.graphControl().mnuViewScatterLive_Click();
    } else if (key == QStringLiteral("ZoomIn")) {
        if (!m_main.graphControl().ScatterGraphOn) {
            m_main.graph().SetZoomCnt(1);
            m_main.SetStatusPanel(
                1, QStringLiteral(
                       "Click on graph, hold button while moving mouse to the right and down."));
        }
    }
    // "Open", "Save", "Properties", "ZoomOut", "Record" and "RecordPause" run the file, options,
    // stored-view and logging commands; those arrive with their own parts of the window.
}

void MainLayout::mnuViewToolbar_Click() {
    MainControls& u = m_main.ui();
    u.tbToolBar->setVisible(u.mnuViewToolbar->isChecked());
}

void MainLayout::mnuViewStatusBar_Click() {
    MainControls& u = m_main.ui();
    u.sbStatusBar->setVisible(u.mnuViewStatusBar->isChecked());
    u.sbStatusBar->repaint();
    ResizeForm();
}

} // namespace window

#include "window/MainLayout.h"

#include "window/BarGraphControl.h"
#include "window/GraphControl.h"
#include "window/LinkControl.h"
#include "window/ProbeSetup.h"
#include "window/Readouts.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMainWindow>
#include <functional>

namespace window {

using platform::SetTwipsGeometry;

namespace {

// Calls back when a widget is shown or hidden.
class VisibilityWatch : public QObject {
public:
    VisibilityWatch(QWidget* watched, std::function<void()> changed)
        : QObject(watched), m_changed(std::move(changed)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            m_changed();
        return false;
    }

private:
    std::function<void()> m_changed;
};

// Where the readout area's controls stand, in twips of the form area.
constexpr double BoxTop = 60, BoxHeight = 1710;
constexpr double StripTop = 1860, StripHeight = 330;
constexpr double GraphTop = 2280;
constexpr double PeakLeft = 4800, PeakAxisLeft = 4920;                 // without the average
constexpr double PeakLeftExposure = 6480, PeakAxisLeftExposure = 6600; // with it
// The moving-average frame beside the axis box, and folded away where the peaks then stand.
// What moves left into the axis box's place when a probe has no axis readouts.
constexpr double AxisBoxRoom = 1400;
const QRectF ExposureFrameShown(4740, BoxTop, 1660, BoxHeight);
const QRectF ExposureFrameHidden(4740, BoxTop, 0, BoxHeight);
// The limit panel takes this much of the bar graph's room.
constexpr double LimitRoom = 1700;
constexpr double AxisRowTop[] = {180, 560, 940};

QFont readoutFont(const QWidget* w, double points, bool bold) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    font.setBold(bold);
    Q_UNUSED(w);
    return font;
}

// The readout font of at most `points` in which the widest text the label shows fits its width,
// so that no digit or caption is cut.
QFont fittedFont(const QLabel* label, double points, const QString& widest) {
    QFont font = readoutFont(label, points, true);
    const int room = label->width() - 2;
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(widest) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

QFont captionFont(const QWidget* w, double points, bool bold = false) {
    QFont font = w->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

MainLayout::MainLayout(MainControls& controls, QMainWindow& window, graph::clsGraph& graph,
                       const Parts& parts, const measure::RecordTable& records)
    : m_ui(controls), m_window(window), m_graph(graph), m_parts(parts), m_records(records) {
    FrameControls& f = m_ui.frame;
    QObject::connect(f.mnuViewToolbar, &QAction::triggered, [this] { mnuViewToolbar_Click(); });
    QObject::connect(f.mnuViewStatusBar, &QAction::triggered, [this] { mnuViewStatusBar_Click(); });
    QObject::connect(m_ui.exposure.mnuViewExposure, &QAction::triggered,
                     [this] { mnuViewExposure_Click(); });
    // The axis box shown or hidden: what stands to its right moves with it.
    new VisibilityWatch(m_ui.readouts.ShaMain2, [this] {
        ToggleExposure(m_exposureShown);
        AdjustPicture3();
    });
    // The menu entry and the toolbar button both switch the bar graph; its tick follows.
    for (QAction* barGraph : {m_ui.graphs.mnuViewBarGraph, m_ui.graphs.tbBarGraph})
        QObject::connect(barGraph, &QAction::triggered, [this] { mnuViewBarGraph_Click(); });
}

void MainLayout::PlaceControls() {
    MainControls& u = m_ui;
    QWidget* form = m_window.centralWidget();

    // Total field box: caption, the large total, units, range, share of the range, and a side
    // column with temperature, sample rate and the battery gauge.
    SetTwipsGeometry(u.frame.ShaMain1, 60, BoxTop, 3240, BoxHeight);
    SetTwipsGeometry(u.frame.LabXYZLab, 150, 110, 1300, 260);
    // The range flags end short of the temperature's caption.
    SetTwipsGeometry(u.readouts.LabOverRange, 950, 110, 1400, 260);
    SetTwipsGeometry(u.readouts.LabUnderRange, 950, 110, 1400, 260);
    SetTwipsGeometry(u.readouts.LabXYZField, 90, 380, 2300, 700);
    SetTwipsGeometry(u.probe.LabUnits, 150, 1110, 1300, 320);
    SetTwipsGeometry(u.probe.LabRange, 1380, 1110, 1090, 320);
    SetTwipsGeometry(u.readouts.LabBarGraph, 150, 1430, 620, 280);
    SetTwipsGeometry(u.readouts.LabPercentOfRange, 790, 1430, 1300, 280);
    SetTwipsGeometry(u.battery.LabTempLab, 2420, 110, 860, 260);
    SetTwipsGeometry(u.battery.LabTemp, 2420, 350, 860, 280);
    SetTwipsGeometry(u.frame.LabSamRateLab, 2420, 660, 860, 260);
    SetTwipsGeometry(u.readouts.LabSamRate, 2420, 900, 860, 280);
    SetTwipsGeometry(u.battery.ShapeBatFrame, 2550, 1185, 190, 525);
    SetTwipsGeometry(u.battery.ShapeBatLevel, 2570, 1200, 150, 495);
    SetTwipsGeometry(u.battery.LabBattery, 2770, 1420, 520, 280);

    // Axis box: colour mark, axis name and reading per axis; the sensor switches below.
    SetTwipsGeometry(u.readouts.ShaMain2, 3340, BoxTop, 1360, BoxHeight);
    QLabel* names[] = {u.readouts.LabXLab, u.readouts.LabYLab, u.readouts.LabZLab};
    QLabel* fields[] = {u.readouts.LabXField, u.readouts.LabYField, u.readouts.LabZField};
    platform::Shape* marks[] = {u.readouts.ShapeX, u.readouts.ShapeY, u.readouts.ShapeZ};
    platform::ClickLabel* switches[] = {u.readouts.LabXAxis, u.readouts.LabYAxis,
                                        u.readouts.LabZAxis};
    for (int i = 0; i < 3; ++i) {
        SetTwipsGeometry(marks[i], 3410, AxisRowTop[i] + 50, 75, 240);
        SetTwipsGeometry(names[i], 3530, AxisRowTop[i], 230, 340);
        SetTwipsGeometry(fields[i], 3750, AxisRowTop[i], 900, 340);
        SetTwipsGeometry(switches[i], 3560 + i * 370, 1360, 300, 300);
    }

    // Moving-average panel; the peak box moves right when it is shown (see ToggleExposure).
    placePeaks(false);

    // The strip of lists and the log indicator between the readouts and the graph.
    SetTwipsGeometry(u.frame.ShapeFormColor[3], 60, StripTop - 45, 11280, StripHeight + 90);
    SetTwipsGeometry(u.frame.LabVerticalScaleLab, 150, StripTop, 1190, StripHeight);
    SetTwipsGeometry(u.graphs.CmbVerticalScale, 1400, StripTop, 1900, StripHeight);
    SetTwipsGeometry(u.frame.LabSamPerDivLab, 3550, StripTop, 1090, StripHeight);
    SetTwipsGeometry(u.graphs.cmbSamPerDiv, 4700, StripTop, 900, StripHeight);
    SetTwipsGeometry(u.frame.LabSampleRateLab, 5850, StripTop, 1090, StripHeight);
    SetTwipsGeometry(u.link.CmbSampleRate, 7000, StripTop, 850, StripHeight);
    SetTwipsGeometry(u.record.ShapeRecordInd, 8100, StripTop + 15, 700, StripHeight - 30);
    SetTwipsGeometry(u.record.LabRecord, 8100, StripTop + 15, 700, StripHeight - 30);
    SetTwipsGeometry(u.record.LabRecordCntLab, 8950, StripTop, 800, StripHeight);
    SetTwipsGeometry(u.record.LabRecordCnt, 9750, StripTop, 1100, StripHeight);

    SetTwipsGeometry(u.graphs.Picture1, 120, GraphTop, 11160, 4000);
    SetTwipsGeometry(u.graphs.Picture3, 6360, BoxTop, 4980, BoxHeight);

    // Stacking: background panels at the back, boxes over them, everything else on top.
    for (int i = 1; i <= 4; ++i)
        u.frame.ShapeFormColor[i]->lower();
    for (platform::Shape* box : {u.frame.ShaMain1, u.readouts.ShaMain2, u.frame.ShaPeak,
                                 u.exposure.ShaExposure, u.limit.ShaLimit})
        box->stackUnder(u.readouts.LabXYZField);
    u.record.ShapeRecordInd->stackUnder(u.record.LabRecord);
    u.battery.ShapeBatFrame->stackUnder(u.battery.ShapeBatLevel);
    u.frame.LstHeader->raise();

    // Type: large fixed-width digits for the readings, small captions.
    // The widest texts: "No Probe", and eight characters of a power density ("0.000000").
    u.readouts.LabXYZField->setFont(fittedFont(u.readouts.LabXYZField, 26, "No Probe"));
    u.readouts.LabXYZField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    u.readouts.LabMaxXYZ->setFont(readoutFont(form, 14, true));
    u.exposure.LabExposure->setFont(readoutFont(form, 14, true));
    u.limit.LabLimit->setFont(readoutFont(form, 14, true));
    u.limit.LabLimitAvg->setFont(readoutFont(form, 11, true));
    for (QLabel* l : {static_cast<QLabel*>(u.limit.LabLimit), u.limit.LabLimitAvg})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {u.readouts.LabXField, u.readouts.LabYField, u.readouts.LabZField}) {
        l->setFont(fittedFont(l, 12, QStringLiteral("0.000000")));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    for (QLabel* l : {u.readouts.LabMaxX, u.readouts.LabMaxY, u.readouts.LabMaxZ,
                      u.readouts.LabMaxXYZ, u.exposure.LabExposure}) {
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (l != u.readouts.LabMaxXYZ && l != u.exposure.LabExposure)
            l->setFont(readoutFont(form, 10, false));
    }
    for (QLabel* l : {u.readouts.LabXLab, u.readouts.LabYLab, u.readouts.LabZLab})
        l->setFont(captionFont(form, 12, true));
    for (QLabel* l : std::initializer_list<QLabel*>{u.readouts.LabXAxis, u.readouts.LabYAxis,
                                                    u.readouts.LabZAxis}) {
        l->setFont(captionFont(form, 9, true));
        l->setAlignment(Qt::AlignCenter);
        l->setFrameShape(QFrame::Box);
    }
    u.probe.LabUnits->setFont(captionFont(form, 13, true));
    u.probe.LabRange->setFont(captionFont(form, 10, true));
    u.probe.LabRange->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    u.readouts.LabBarGraph->setFont(readoutFont(form, 10, true));
    u.readouts.LabBarGraph->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    u.battery.LabTemp->setFont(readoutFont(form, 10, true));
    u.readouts.LabSamRate->setFont(readoutFont(form, 10, true));
    u.battery.LabBattery->setFont(readoutFont(form, 9, true));
    for (QLabel* l : std::initializer_list<QLabel*>{
             u.frame.LabXYZLab, u.readouts.LabPercentOfRange, u.battery.LabTempLab,
             u.frame.LabSamRateLab, u.readouts.LabPeak, u.exposure.LabExposure1,
             u.exposure.LabMinAver, u.exposure.LabElasedTime, u.limit.LabLimitLab,
             u.limit.LabLimitAvgLab, u.limit.LabLimitCovered})
        l->setFont(captionFont(form, 8));
    for (QLabel* l :
         {u.frame.LabVerticalScaleLab, u.frame.LabSamPerDivLab, u.frame.LabSampleRateLab})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {u.readouts.LabOverRange, u.readouts.LabUnderRange}) {
        QFont flag = captionFont(form, 8.5, true);
        while (flag.pointSizeF() > 6 &&
               QFontMetrics(flag).horizontalAdvance(QStringLiteral("UNDER RANGE")) > l->width() - 2)
            flag.setPointSizeF(flag.pointSizeF() - 0.5);
        l->setFont(flag);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        platform::SetForeColor(l, 0x4040FF);
        l->setVisible(false);
    }
    u.record.LabRecord->setAlignment(Qt::AlignCenter);
    u.record.LabRecord->setFont(captionFont(form, 9, true));
    u.battery.ShapeBatFrame->setFillColor(0);
    u.battery.ShapeBatFrame->setBorderVisible(true);
    u.battery.ShapeBatFrame->setBorderColor(0x808080);
    u.battery.ShapeBatLevel->setFillColor(0xFFFF00);
    u.readouts.ShapeX->setRadius(2);
    u.readouts.ShapeY->setRadius(2);
    u.readouts.ShapeZ->setRadius(2);
    for (int i = 1; i <= 4; ++i) {
        u.frame.ShapeFormColor[i]->setBorderVisible(true);
        u.frame.ShapeFormColor[i]->setVisible(i == 3);
    }
    ToggleExposure(m_exposureShown);
}

double MainLayout::axisBoxGap() const {
    const QWidget* box = m_ui.readouts.ShaMain2;
    return box->isVisibleTo(box->parentWidget()) ? 0.0 : AxisBoxRoom;
}

void MainLayout::placePeaks(bool exposureShown) {
    MainControls& u = m_ui;
    const double gap = axisBoxGap();
    const double left = (exposureShown ? PeakLeftExposure : PeakLeft) - gap;
    const double axisLeft = (exposureShown ? PeakAxisLeftExposure : PeakAxisLeft) - gap;
    SetTwipsGeometry(u.frame.ShaPeak, left - 60, BoxTop, 1560, BoxHeight);
    SetTwipsGeometry(u.readouts.LabPeak, left, 110, 1400, 260);
    SetTwipsGeometry(u.readouts.LabMaxXYZ, left, 380, 1420, 450);
    QLabel* peaks[] = {u.readouts.LabMaxX, u.readouts.LabMaxY, u.readouts.LabMaxZ};
    for (int i = 0; i < 3; ++i)
        SetTwipsGeometry(peaks[i], axisLeft, 880 + 270 * i, left + 1420 - axisLeft, 280);
}

void MainLayout::ToggleExposure(bool on) {
    m_exposureShown = on;
    ExposureControls& e = m_ui.exposure;
    e.mnuViewExposure->setChecked(on);
    const QRectF& frame = on ? ExposureFrameShown : ExposureFrameHidden;
    const double gap = axisBoxGap();
    SetTwipsGeometry(e.ShaExposure, frame.left() - gap, frame.top(), frame.width(), frame.height());
    SetTwipsGeometry(e.LabExposure1, 4800 - gap, 110, 1550, 260);
    SetTwipsGeometry(e.LabMinAver, 4800 - gap, 420, 1550, 260);
    SetTwipsGeometry(e.LabExposure, 4800 - gap, 680, 1500, 420);
    SetTwipsGeometry(e.LabElasedTime, 4800 - gap, 1200, 1500, 300);
    e.ShaExposure->setVisible(on);
    for (QLabel* l : {e.LabExposure, e.LabMinAver, e.LabElasedTime, e.LabExposure1})
        l->setVisible(on);
    placePeaks(on);
}

void MainLayout::mnuViewExposure_Click() {
    QAction* entry = m_ui.exposure.mnuViewExposure;
    if (m_records.Recording() == measure::RecordTable::ExposureLogging) {
        entry->setChecked(m_exposureShown); // cannot be switched off while it records
        return;
    }
    ToggleExposure(!m_exposureShown);
    AdjustPicture3();
}

void MainLayout::mnuViewBarGraph_Click() {
    const bool on = !m_parts.bars.BarGraphOn();
    m_parts.bars.SetBarGraphOn(on);
    m_ui.graphs.mnuViewBarGraph->setChecked(on);
    if (on)
        AdjustPicture3();
    else
        m_ui.graphs.Picture3->setVisible(false);
}

double MainLayout::innerWidth() const {
    return platform::ToTwips(m_window.centralWidget(), m_window.centralWidget()->width());
}

double MainLayout::innerHeight() const {
    return platform::ToTwips(m_window.centralWidget(), m_window.centralWidget()->height());
}

void MainLayout::ResizeForm() {
    MainControls& u = m_ui;
    if (m_window.isMinimized()) return;
    if (m_skipNextResize) {
        m_skipNextResize = false;
        return;
    }
    const double width = innerWidth();
    const double height = innerHeight();
    platform::SurfaceWidget* picture1 = u.graphs.Picture1;
    const QRectF picture = platform::TwipsGeometry(picture1);
    const double pictureWidth = std::max(600.0, width - 240);
    double pictureHeight = picture.height();
    // The form area already ends above the status bar, so the bar's room is not taken again.
    if (picture.top() + 1500 < height) {
        picture1->setVisible(u.graphs.mnuViewScatterGraph->isChecked());
        pictureHeight = height - picture.top() - 120;
    } else {
        picture1->setVisible(false);
    }
    SetTwipsGeometry(picture1, picture.left(), picture.top(), pictureWidth, pictureHeight);
    picture1->Cls();
    AdjustPicture3();

    // The lists strip stretches with the window.
    SetTwipsGeometry(u.frame.ShapeFormColor[3], 60, StripTop - 45, std::max(0.0, width - 120),
                     StripHeight + 90);

    m_graph.SetLeft(100);
    m_graph.SetTop(100);
    m_graph.SetWidth(int(pictureWidth - 100));
    m_graph.SetHeight(int(pictureHeight - 100));

    // The header list sits at the right of the graph, as tall as the graph allows.
    const double listHeight = std::max(2400.0, pictureHeight - 800);
    SetTwipsGeometry(u.frame.LstHeader, std::max(120.0, picture.left() + pictureWidth - 3400),
                     picture.top() + 400, 3200, listHeight);

    m_parts.graphs.RedrawFrame();
    u.frame.sbStatusBar->setVisible(m_statusBarShown);
}

void MainLayout::AdjustPicture3() {
    double left = 6360 - axisBoxGap();
    if (m_exposureShown) {
        left = 8040 - axisBoxGap();
    } else {
        ToggleExposure(false);
    }
    const LimitControls& l = m_ui.limit;
    SetTwipsGeometry(l.ShaLimit, left, BoxTop, LimitRoom - 40, BoxHeight);
    SetTwipsGeometry(l.LabLimitLab, left + 60, 110, 1550, 260);
    SetTwipsGeometry(l.LabLimit, left + 60, 380, 1520, 450);
    SetTwipsGeometry(l.LabLimitAvgLab, left + 60, 880, 1550, 260);
    SetTwipsGeometry(l.LabLimitAvg, left + 60, 1120, 1520, 320);
    SetTwipsGeometry(l.LabLimitCovered, left + 60, 1430, 1550, 260);
    for (QWidget* w :
         std::initializer_list<QWidget*>{l.ShaLimit, l.LabLimitLab, l.LabLimit, l.LabLimitAvgLab,
                                         l.LabLimitAvg, l.LabLimitCovered})
        w->setVisible(m_limitShown);
    if (m_limitShown) left += LimitRoom;
    platform::SurfaceWidget* picture3 = m_ui.graphs.Picture3;
    const QRectF picture = platform::TwipsGeometry(picture3);
    if (!m_parts.bars.BarGraphOn()) return;
    const double width = innerWidth() - left - 120;
    if (width >= 1200) {
        SetTwipsGeometry(picture3, left, picture.top(), width, picture.height());
        picture3->setVisible(true);
    } else {
        picture3->setVisible(false);
    }
}

void MainLayout::ShowLimitPanel(bool shown) {
    m_limitShown = shown;
    AdjustPicture3();
}

void MainLayout::ShowFamilyLayout() {
    if (m_shown != (m_zetaFamily ? ZetaLayout : SigmaLayout)) ChangeDisplay();
}

void MainLayout::ChangeDisplayIfPending() {
    if (m_layoutPending) ChangeDisplay();
}

void MainLayout::ChangeDisplay() {
    m_layoutPending = false;
    const bool sigma = !m_zetaFamily;
    Readouts& readouts = m_parts.readouts;
    if (!sigma) {
        m_shown = ZetaLayout;
        readouts.SetXYZLabVisible();
        m_parts.setup.SetUpZeta();
        readouts.AllAxisDisplayed();
    } else {
        m_shown = SigmaLayout;
        if (!readouts.AllAxisDisplayed()) readouts.SetXYZLabVisible();
    }
    readouts.ShowSigmaReadouts(sigma);
    m_parts.setup.ShowFamily(sigma);
    m_parts.link.ShowFamily(sigma);
    readouts.UpdateAxisBox();
    AdjustPicture3();
}

void MainLayout::ChangeTextColor(platform::Colour colour) {
    using Widgets = std::initializer_list<QWidget*>;
    const ReadoutControls& r = m_ui.readouts;
    const BatteryControls& b = m_ui.battery;
    const ExposureControls& e = m_ui.exposure;
    const FrameControls& f = m_ui.frame;
    for (QWidget* w :
         Widgets{r.LabXYZField, r.LabXField, r.LabYField, r.LabZField, r.LabBarGraph,
                 m_ui.record.LabRecordCnt, m_ui.probe.LabUnits, m_ui.probe.LabRange, r.LabSamRate,
                 b.LabTemp, b.LabBattery, r.LabMaxX, r.LabMaxY, r.LabMaxZ, r.LabMaxXYZ})
        platform::SetForeColor(w, colour);
    m_ui.graphs.Picture3->SetForeColor(colour);
    // An axis switched on later takes this colour too, not the one of the start.
    m_parts.readouts.SetAxisOnColor(colour);
    const platform::Colour grey = platform::PaletteColour(7);
    for (QWidget* w : Widgets{r.LabXAxis, r.LabYAxis, r.LabZAxis}) {
        if (platform::ForeColor(w) != grey) platform::SetForeColor(w, colour);
    }
    for (QWidget* w : Widgets{e.LabMinAver, e.LabElasedTime, e.LabExposure, m_ui.limit.LabLimit,
                              m_ui.limit.LabLimitAvg, m_ui.limit.LabLimitCovered})
        platform::SetForeColor(w, colour);
    // Captions inside the readout boxes follow, a shade dimmer.
    const platform::Colour dim = platform::FromQColor(platform::ToQColor(colour).darker(135));
    for (QWidget* w : Widgets{f.LabXYZLab, r.LabPercentOfRange, b.LabTempLab, f.LabSamRateLab,
                              r.LabPeak, e.LabExposure1, r.LabXLab, r.LabYLab, r.LabZLab,
                              m_ui.limit.LabLimitLab, m_ui.limit.LabLimitAvgLab})
        platform::SetForeColor(w, dim);
}

void MainLayout::mnuViewToolbar_Click() {
    m_ui.frame.tbToolBar->setVisible(m_ui.frame.mnuViewToolbar->isChecked());
}

void MainLayout::mnuViewStatusBar_Click() {
    // The entry has flipped its own tick.
    ShowStatusBar(m_ui.frame.mnuViewStatusBar->isChecked());
    m_ui.frame.sbStatusBar->repaint();
    ResizeForm();
}

void MainLayout::ShowStatusBar(bool shown) {
    m_statusBarShown = shown;
    m_ui.frame.mnuViewStatusBar->setChecked(shown);
    m_ui.frame.sbStatusBar->setVisible(shown);
}

} // namespace window

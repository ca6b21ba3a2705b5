// The main window's controls: menus, toolbar, status bar, readout labels, shapes, lists and the
// two graph surfaces. Every control carries its program name as objectName. Positions are set
// by MainLayout::PlaceControls; this file only creates and names.
#include "window/MainControls.h"

#include <QMainWindow>

#include <QActionGroup>
#include <QApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace window {

namespace {

const QChar Sup2(0xB2);

template <typename T> T* named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}

QAction* item(QMenu* menu, const QString& name, const QString& caption, bool checkable = false) {
    QAction* action = named(menu->addAction(caption), name);
    action->setCheckable(checkable);
    return action;
}

// Toolbar pictures, drawn so that they look the same on every platform and scale.
enum class Glyph { Open, Save, Options, Scatter, Bars, ZoomIn, ZoomOut, Record, Pause };

QIcon glyphIcon(Glyph glyph) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 24.0, size / 24.0);
        const QColor ink(0x33, 0x3d, 0x4a);
        QPen pen(ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        switch (glyph) {
        case Glyph::Open: {
            p.setBrush(QColor(0xf2, 0xc2, 0x4f));
            QPainterPath path;
            path.moveTo(2.5, 6);
            path.lineTo(9, 6);
            path.lineTo(11, 8);
            path.lineTo(21.5, 8);
            path.lineTo(21.5, 19.5);
            path.lineTo(2.5, 19.5);
            path.closeSubpath();
            p.drawPath(path);
            break;
        }
        case Glyph::Save:
            p.setBrush(QColor(0x4a, 0x7f, 0xc1));
            p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(7, 3, 10, 6));
            p.drawRect(QRectF(6, 13, 12, 8));
            break;
        case Glyph::Options:
            p.setBrush(QColor(0x9a, 0xa5, 0xb1));
            p.drawEllipse(QPointF(12, 12), 7.5, 7.5);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(12, 12), 3, 3);
            for (int i = 0; i < 8; ++i) {
                p.save();
                p.translate(12, 12);
                p.rotate(45.0 * i);
                p.drawLine(QPointF(0, -7.5), QPointF(0, -10.5));
                p.restore();
            }
            break;
        case Glyph::Scatter: {
            p.setBrush(Qt::NoBrush);
            p.drawLine(QPointF(3, 3), QPointF(3, 21));
            p.drawLine(QPointF(3, 21), QPointF(21, 21));
            p.setPen(QPen(QColor(0xd6, 0x3b, 0x3b), 2, Qt::SolidLine, Qt::RoundCap));
            QPainterPath wave;
            wave.moveTo(4, 15);
            wave.cubicTo(8, 4, 11, 4, 13, 12);
            wave.cubicTo(15, 19, 18, 17, 21, 7);
            p.drawPath(wave);
            break;
        }
        case Glyph::Bars:
            p.setBrush(QColor(0x2a, 0xb5, 0xc8));
            p.drawRect(QRectF(3, 4, 16, 3.5));
            p.drawRect(QRectF(3, 10, 11, 3.5));
            p.drawRect(QRectF(3, 16, 7, 3.5));
            break;
        case Glyph::ZoomIn:
        case Glyph::ZoomOut:
            p.setBrush(QColor(0xe8, 0xf1, 0xfb));
            p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
            p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(15, 15), QPointF(21, 21));
            p.setPen(pen);
            p.drawLine(QPointF(7, 10), QPointF(13, 10));
            if (glyph == Glyph::ZoomIn) p.drawLine(QPointF(10, 7), QPointF(10, 13));
            break;
        case Glyph::Record:
            p.setBrush(QColor(0xd9, 0x2b, 0x2b));
            p.drawEllipse(QPointF(12, 12), 8, 8);
            break;
        case Glyph::Pause:
            p.setBrush(QColor(0xe0, 0xa8, 0x00));
            p.drawRoundedRect(QRectF(5, 4, 5, 16), 1, 1);
            p.drawRoundedRect(QRectF(14, 4, 5, 16), 1, 1);
            break;
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

MainControls BuildMainControls(QMainWindow& window) {
    MainControls u;
    window.setObjectName(QStringLiteral("frmMain"));

    // --- menus ------------------------------------------------------------------------------
    QMenuBar* bar = window.menuBar();
    QMenu* file = named(bar->addMenu(QStringLiteral("&File")), QStringLiteral("mnuFile"));
    u.frame.mnuFileOpen = item(file, QStringLiteral("mnuFileOpen"), QStringLiteral("&Open..."));
    u.record.mnuFileSaveAs =
        item(file, QStringLiteral("mnuFileSaveAs"), QStringLiteral("&Save as..."));
    u.frame.mnuFileExport =
        item(file, QStringLiteral("mnuFileExport"), QStringLiteral("&Export graph picture..."));
    u.frame.mnuFileReport =
        item(file, QStringLiteral("mnuFileReport"), QStringLiteral("Export &Report..."));
    file->addSeparator();
    u.frame.mnuFileExit = item(file, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"));

    QMenu* view = named(bar->addMenu(QStringLiteral("&View")), QStringLiteral("mnuView"));
    u.frame.mnuViewToolbar =
        item(view, QStringLiteral("mnuViewToolbar"), QStringLiteral("&Toolbar"), true);
    u.frame.mnuViewStatusBar =
        item(view, QStringLiteral("mnuViewStatusBar"), QStringLiteral("Status &Bar"), true);
    view->addSeparator();
    u.graphs.mnuViewScatterGraph =
        item(view, QStringLiteral("mnuViewScatterGraph"), QStringLiteral("&Scatter Graph"), true);
    u.graphs.mnuViewScatterLive = item(view, QStringLiteral("mnuViewScatterLive"),
                                       QStringLiteral("Scatter Graph &Live"), true);
    u.graphs.mnuViewBarGraph =
        item(view, QStringLiteral("mnuViewBarGraph"), QStringLiteral("B&ar Graph"), true);
    u.exposure.mnuViewExposure = item(view, QStringLiteral("mnuViewExposure"),
                                      QStringLiteral("Moving Average (Human &Exposure)"), true);
    u.frame.mnuViewHeaderNotes =
        item(view, QStringLiteral("mnuViewHeaderNotes"), QStringLiteral("Header Notes"), true);
    view->addSeparator();
    u.frame.mnuViewOptions =
        item(view, QStringLiteral("mnuViewOptions"), QStringLiteral("&Options..."));

    QMenu* probeMenu = named(bar->addMenu(QStringLiteral("&Probe")), QStringLiteral("mnuProbe"));
    u.record.mnuProbeRecord =
        item(probeMenu, QStringLiteral("mnuProbeRecord"), QStringLiteral("&Log Data"), true);
    u.record.mnuProbeRecordPause =
        item(probeMenu, QStringLiteral("mnuProbeRecordPause"), QStringLiteral("L&og Pause"), true);
    u.graphs.mnuProbePlay =
        item(probeMenu, QStringLiteral("mnuProbePlay"), QStringLiteral("P&lay"));
    probeMenu->addSeparator();
    u.probe.mnuProbeUnitsSigma =
        named(probeMenu->addMenu(QStringLiteral("&Units")), QStringLiteral("mnuProbeUnitsSigma"));
    const QString unitCaptions[] = {QString(), QStringLiteral("V/m"), QStringLiteral("V/m") + Sup2,
                                    QStringLiteral("mW/cm") + Sup2};
    for (int i = 1; i <= 3; ++i) {
        u.probe.mnuProbeUnitsOld[i] =
            item(u.probe.mnuProbeUnitsSigma, QStringLiteral("mnuProbeUnitsOld%1").arg(i),
                 unitCaptions[i], true);
    }
    u.probe.mnuProbeUnitsZeta =
        named(probeMenu->addMenu(QStringLiteral("&Units")), QStringLiteral("mnuProbeUnitsZeta"));
    u.probe.mnuProbeUnitsVPM = item(u.probe.mnuProbeUnitsZeta, QStringLiteral("mnuProbeUnitsVPM"),
                                    QStringLiteral("V/m"), true);
    u.probe.mnuProbeUnitsV2M2 = item(u.probe.mnuProbeUnitsZeta, QStringLiteral("mnuProbeUnitsV2M2"),
                                     QStringLiteral("(V/m)") + Sup2, true);
    u.probe.mnuProbeUnitsMWPCM =
        item(u.probe.mnuProbeUnitsZeta, QStringLiteral("mnuProbeUnitsMWPCM"),
             QStringLiteral("mW/cm") + Sup2, true);
    u.probe.mnuProbeUnitsZeta->menuAction()->setVisible(false);
    u.probe.mnuProbeRangeTop =
        named(probeMenu->addMenu(QStringLiteral("&Range")), QStringLiteral("mnuProbeRangeTop"));
    u.probe.mnuProbeRange[0] = item(u.probe.mnuProbeRangeTop, QStringLiteral("mnuProbeRange0"),
                                    QStringLiteral("&Auto Range"), true);
    for (int i = 1; i <= 5; ++i) {
        u.probe.mnuProbeRange[i] =
            item(u.probe.mnuProbeRangeTop, QStringLiteral("mnuProbeRange%1").arg(i),
                 QStringLiteral("Range &%1").arg(i), true);
    }
    u.probe.mnuProbe3AxisData =
        item(probeMenu, QStringLiteral("mnuProbe3AxisData"), QStringLiteral("&3 Axis Data"), true);
    u.graphs.mnuProbePlotComposite = item(probeMenu, QStringLiteral("mnuProbePlotComposite"),
                                          QStringLiteral("Plot Total Field &Strength"), true);
    probeMenu->addSeparator();
    u.probe.mnuProbeZero =
        item(probeMenu, QStringLiteral("mnuProbeZero"), QStringLiteral("&Zero Probe"));
    u.probe.mnuProbeClearPeak =
        item(probeMenu, QStringLiteral("mnuProbeClearPeak"), QStringLiteral("&Clear Peak"));
    u.probe.mnuprobeAlarm =
        item(probeMenu, QStringLiteral("mnuprobeAlarm"), QStringLiteral("Al&arm"), true);
    u.probe.mnuprobeAlarmSet = item(probeMenu, QStringLiteral("mnuprobeAlarmSet"),
                                    QStringLiteral("Set Alarm Value ...       Value = 25"));
    probeMenu->addSeparator();
    u.battery.mnuProbeUpdateNow = item(probeMenu, QStringLiteral("mnuProbeUpdateNow"),
                                       QStringLiteral("Update &Battery / Temperature"));
    u.battery.mnuProbeUpdateProbeBatt =
        named(probeMenu->addMenu(QStringLiteral("Auto Update &Interval")),
              QStringLiteral("mnuProbeUpdateProbeBatt"));
    u.battery.mnuProbeUpdateoff =
        item(u.battery.mnuProbeUpdateProbeBatt, QStringLiteral("mnuProbeUpdateoff"),
             QStringLiteral("&Off"), true);
    u.battery.mnuProbeUpdate5 =
        item(u.battery.mnuProbeUpdateProbeBatt, QStringLiteral("mnuProbeUpdate5"),
             QStringLiteral("&5 Minutes"), true);
    u.battery.mnuProbeUpdate30 =
        item(u.battery.mnuProbeUpdateProbeBatt, QStringLiteral("mnuProbeUpdate30"),
             QStringLiteral("&30 Minutes"), true);
    u.battery.mnuProbeUpdate60 =
        item(u.battery.mnuProbeUpdateProbeBatt, QStringLiteral("mnuProbeUpdate60"),
             QStringLiteral("&60 Minutes"), true);
    QMenu* temperature = named(probeMenu->addMenu(QStringLiteral("&Temperature Units")),
                               QStringLiteral("mnuProbeTemp"));
    u.battery.mnuProbeTempCels =
        item(temperature, QStringLiteral("mnuProbeTempCels"), QStringLiteral("&Celsius"), true);
    u.battery.mnuProbeTempFahr =
        item(temperature, QStringLiteral("mnuProbeTempFahr"), QStringLiteral("&Fahrenheit"), true);

    QMenu* comm = named(bar->addMenu(QStringLiteral("&Comm")), QStringLiteral("mnuComm"));
    for (int i = 1; i <= 5; ++i) {
        u.link.mnucommcomm[i] = item(comm, QStringLiteral("mnucommcomm%1").arg(i),
                                     QStringLiteral("Comm &%1").arg(i), true);
    }
    comm->addSeparator();
    const QString baudCaptions[] = {QString(),
                                    QStringLiteral("9&600 Baud"),
                                    QStringLiteral("1&9.2 kBaud"),
                                    QStringLiteral("&38.4 kBaud"),
                                    QStringLiteral("&57.6 kBaud"),
                                    QStringLiteral("&115.2 kBaud")};
    QMenu* speed =
        named(comm->addMenu(QStringLiteral("Link &Speed")), QStringLiteral("mnuCommSpeed"));
    for (int i = 1; i <= 5; ++i) {
        u.link.mnuCommBaud[i] =
            item(speed, QStringLiteral("mnuCommBaud%1").arg(i), baudCaptions[i], true);
    }
    comm->addSeparator();
    u.link.mnuCommARProbe =
        item(comm, QStringLiteral("mnuCommARProbe"), QStringLiteral("Corvane Probe"), true);
    u.link.mnuCommARM = item(comm, QStringLiteral("mnuCommARM"), QStringLiteral("Set to Corvane"));
    u.link.mnuCommASCII =
        item(comm, QStringLiteral("mnuCommASCII"), QStringLiteral("Set to ASCII"));

    QMenu* help = named(bar->addMenu(QStringLiteral("&Help")), QStringLiteral("mnuHelp"));
    u.frame.mnuHelpAbout = item(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About"));

    // The platform's keys for the commands that have one.
    u.frame.mnuFileOpen->setShortcut(QKeySequence::Open);
    u.record.mnuFileSaveAs->setShortcut(QKeySequence::Save);
    u.frame.mnuFileExit->setShortcut(QKeySequence::Quit);
    u.frame.mnuHelpAbout->setShortcut(QKeySequence::HelpContents);

    // Start-up ticks that no setting changes.
    u.frame.mnuViewToolbar->setChecked(true);
    u.frame.mnuViewStatusBar->setChecked(true);
    u.graphs.mnuViewScatterGraph->setChecked(true);
    u.graphs.mnuViewScatterLive->setChecked(true);
    u.graphs.mnuViewBarGraph->setChecked(true);
    u.record.mnuProbeRecordPause->setEnabled(false);
    u.graphs.mnuProbePlay->setEnabled(false);
    for (int i = 3; i <= 5; ++i)
        u.link.mnuCommBaud[i]->setEnabled(false);

    // --- toolbar ----------------------------------------------------------------------------
    u.frame.tbToolBar =
        named(window.addToolBar(QStringLiteral("Toolbar")), QStringLiteral("tbToolBar"));
    u.frame.tbToolBar->setMovable(false);
    u.frame.tbToolBar->setIconSize(QSize(22, 22));
    auto button = [&](const QString& key, const QString& tip, Glyph glyph) {
        QAction* action = u.frame.tbToolBar->addAction(glyphIcon(glyph), tip);
        action->setObjectName(QStringLiteral("tb") + key);
        action->setData(key);
        action->setToolTip(tip);
        return action;
    };
    u.frame.tbOpen = button(QStringLiteral("Open"), QStringLiteral("Open"), Glyph::Open);
    u.record.tbSave = button(QStringLiteral("Save"), QStringLiteral("Save"), Glyph::Save);
    u.frame.tbToolBar->addSeparator();
    u.frame.tbProperties =
        button(QStringLiteral("Properties"), QStringLiteral("Options"), Glyph::Options);
    u.frame.tbToolBar->addSeparator();
    u.graphs.tbScatter =
        button(QStringLiteral("Scatter"), QStringLiteral("Scatter Graph Live"), Glyph::Scatter);
    u.graphs.tbBarGraph =
        button(QStringLiteral("BarGraph"), QStringLiteral("Bar Graph"), Glyph::Bars);
    u.frame.tbToolBar->addSeparator();
    u.graphs.tbZoomIn = button(QStringLiteral("ZoomIn"), QStringLiteral("Zoom In"), Glyph::ZoomIn);
    u.graphs.tbZoomOut =
        button(QStringLiteral("ZoomOut"), QStringLiteral("Zoom Out"), Glyph::ZoomOut);
    u.frame.tbToolBar->addSeparator();
    u.record.tbRecord =
        button(QStringLiteral("Record"), QStringLiteral("Log (On / Off)"), Glyph::Record);
    u.record.tbRecordPause =
        button(QStringLiteral("RecordPause"), QStringLiteral("Log Pause"), Glyph::Pause);
    u.record.tbRecordPause->setCheckable(true);

    // --- status bar -------------------------------------------------------------------------
    u.frame.sbStatusBar = named(new QStatusBar(&window), QStringLiteral("sbStatusBar"));
    window.setStatusBar(u.frame.sbStatusBar);
    u.frame.sbStatusBar->setSizeGripEnabled(true);
    for (int i = 1; i <= 4; ++i) {
        auto* panel = named(new QLabel(u.frame.sbStatusBar), QStringLiteral("sbPanel%1").arg(i));
        panel->setMargin(2);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        u.frame.sbPanel[i] = panel;
    }
    u.graphs.ProgressBar1 =
        named(new QProgressBar(u.frame.sbStatusBar), QStringLiteral("ProgressBar1"));
    u.graphs.ProgressBar1->setMaximumWidth(160);
    u.graphs.ProgressBar1->setVisible(false);
    u.frame.sbStatusBar->addWidget(u.frame.sbPanel[1], 1);
    u.link.sbLineHealth = named(new QLabel(u.frame.sbStatusBar), QStringLiteral("sbLineHealth"));
    u.link.sbLineHealth->setMargin(2);
    u.link.sbLineHealth->setFrameShape(QFrame::StyledPanel);
    u.link.sbLineHealth->setFrameShadow(QFrame::Sunken);
    u.link.sbLineHealth->setVisible(false);
    // The exposure level reached, in a panel of its own: other messages do not hide it.
    u.limit.sbLimit = named(new QLabel(u.frame.sbStatusBar), QStringLiteral("sbLimit"));
    u.limit.sbLimit->setMargin(2);
    u.limit.sbLimit->setFrameShape(QFrame::StyledPanel);
    u.limit.sbLimit->setFrameShadow(QFrame::Sunken);
    u.limit.sbLimit->setVisible(false);
    u.frame.sbStatusBar->addPermanentWidget(u.limit.sbLimit);
    u.frame.sbStatusBar->addPermanentWidget(u.graphs.ProgressBar1);
    u.frame.sbStatusBar->addPermanentWidget(u.link.sbLineHealth);
    u.frame.sbStatusBar->addPermanentWidget(u.frame.sbPanel[2]);
    u.frame.sbStatusBar->addPermanentWidget(u.frame.sbPanel[3]);
    u.frame.sbStatusBar->addPermanentWidget(u.frame.sbPanel[4]);
    u.frame.sbPanel[2]->setMinimumWidth(90);
    u.frame.sbPanel[2]->setText(QStringLiteral("9600 Baud"));

    // --- the form area ----------------------------------------------------------------------
    auto* form = named(new QWidget(&window), QStringLiteral("FormArea"));
    window.setCentralWidget(form);

    for (int i = 1; i <= 4; ++i) {
        u.frame.ShapeFormColor[i] =
            named(new platform::Shape(form), QStringLiteral("ShapeFormColor%1").arg(i));
        u.frame.ShapeFormColor[i]->setRadius(6);
    }
    u.frame.ShaMain1 = named(new platform::Shape(form), QStringLiteral("ShaMain1"));
    u.frame.ShaMain1->setRadius(6);
    u.readouts.ShaMain2 = named(new platform::Shape(form), QStringLiteral("ShaMain2"));
    u.readouts.ShaMain2->setRadius(6);
    u.frame.ShaPeak = named(new platform::Shape(form), QStringLiteral("ShaPeak"));
    u.frame.ShaPeak->setRadius(6);
    u.exposure.ShaExposure = named(new platform::Shape(form), QStringLiteral("ShaExposure"));
    u.exposure.ShaExposure->setRadius(6);
    u.limit.ShaLimit = named(new platform::Shape(form), QStringLiteral("ShaLimit"));
    u.limit.ShaLimit->setRadius(6);

    auto label = [&](const QString& name, const QString& text = QString()) {
        auto* l = named(new QLabel(text, form), name);
        return l;
    };
    auto clickLabel = [&](const QString& name, const QString& text, const QString& tip) {
        auto* l = named(new platform::ClickLabel(form), name);
        l->setText(text);
        l->setClickTip(tip);
        return l;
    };

    u.frame.LabXYZLab = label(QStringLiteral("LabXYZLab"), QStringLiteral("Total field"));
    u.readouts.LabXYZField = label(QStringLiteral("LabXYZField"), QStringLiteral("No Probe"));
    u.readouts.LabXLab = label(QStringLiteral("LabXLab"), QStringLiteral("X"));
    u.readouts.LabYLab = label(QStringLiteral("LabYLab"), QStringLiteral("Y"));
    u.readouts.LabZLab = label(QStringLiteral("LabZLab"), QStringLiteral("Z"));
    u.readouts.ShapeX = named(new platform::Shape(form), QStringLiteral("ShapeX"));
    u.readouts.ShapeY = named(new platform::Shape(form), QStringLiteral("ShapeY"));
    u.readouts.ShapeZ = named(new platform::Shape(form), QStringLiteral("ShapeZ"));
    u.readouts.LabXField = label(QStringLiteral("LabXField"));
    u.readouts.LabYField = label(QStringLiteral("LabYField"));
    u.readouts.LabZField = label(QStringLiteral("LabZField"));
    u.readouts.LabPeak = clickLabel(QStringLiteral("LabPeak"), QStringLiteral("Peak"),
                                    QStringLiteral("Click to clear peak."));
    u.readouts.LabMaxXYZ = label(QStringLiteral("LabMaxXYZ"), QStringLiteral("0.0"));
    u.readouts.LabMaxX = label(QStringLiteral("LabMaxX"), QStringLiteral("0.0"));
    u.readouts.LabMaxY = label(QStringLiteral("LabMaxY"), QStringLiteral("0.0"));
    u.readouts.LabMaxZ = label(QStringLiteral("LabMaxZ"), QStringLiteral("0.0"));
    u.readouts.LabXAxis = clickLabel(QStringLiteral("LabXAxis"), QStringLiteral("X"),
                                     QStringLiteral("Click to switch the X sensor on or off"));
    u.readouts.LabYAxis = clickLabel(QStringLiteral("LabYAxis"), QStringLiteral("Y"),
                                     QStringLiteral("Click to switch the Y sensor on or off"));
    u.readouts.LabZAxis = clickLabel(QStringLiteral("LabZAxis"), QStringLiteral("Z"),
                                     QStringLiteral("Click to switch the Z sensor on or off"));

    u.probe.LabUnits = clickLabel(QStringLiteral("LabUnits"), QStringLiteral("units"),
                                  QStringLiteral("Click to change units"));
    u.probe.LabRange =
        clickLabel(QStringLiteral("LabRange"), QString(), QStringLiteral("Click to change range"));
    u.readouts.LabOverRange = label(QStringLiteral("LabOverRange"), QStringLiteral("OVER RANGE"));
    u.readouts.LabUnderRange =
        label(QStringLiteral("LabUnderRange"), QStringLiteral("UNDER RANGE"));
    u.readouts.LabBarGraph = label(QStringLiteral("LabBarGraph"));
    u.readouts.LabPercentOfRange =
        label(QStringLiteral("LabPercentOfRange"), QStringLiteral("of range"));
    u.battery.ShapeBatFrame = named(new platform::Shape(form), QStringLiteral("ShapeBatFrame"));
    u.battery.ShapeBatLevel = named(new platform::Shape(form), QStringLiteral("ShapeBatLevel"));
    u.battery.LabBattery = label(QStringLiteral("LabBattery"));
    u.battery.LabTempLab = clickLabel(QStringLiteral("LabTempLab"), QStringLiteral("Temp."),
                                      QStringLiteral("Click to update batt - temp"));
    u.battery.LabTemp = label(QStringLiteral("LabTemp"));
    u.frame.LabSamRateLab = label(QStringLiteral("LabSamRateLab"), QStringLiteral("Samples/s"));
    u.readouts.LabSamRate = label(QStringLiteral("LabSamRate"));
    u.link.LabInString = label(QStringLiteral("LabInString"));
    u.link.LabInString->setVisible(false);

    u.record.ShapeRecordInd = named(new platform::Shape(form), QStringLiteral("ShapeRecordInd"));
    u.record.LabRecord = clickLabel(QStringLiteral("LabRecord"), QStringLiteral("Log"),
                                    QStringLiteral("Click to toggle log"));
    u.record.LabRecordCntLab =
        clickLabel(QStringLiteral("LabRecordCntLab"), QStringLiteral("Records"),
                   QStringLiteral("Click to erase data"));
    u.record.LabRecordCnt = label(QStringLiteral("LabRecordCnt"), QStringLiteral("0"));

    u.exposure.LabExposure1 =
        label(QStringLiteral("LabExposure1"), QStringLiteral("Moving Average"));
    u.exposure.LabMinAver = label(QStringLiteral("LabMinAver"), QStringLiteral(" Exposure:"));
    u.exposure.LabElasedTime = label(QStringLiteral("LabElasedTime"));
    u.exposure.LabExposure = label(QStringLiteral("LabExposure"));
    u.limit.LabLimitLab = label(QStringLiteral("LabLimitLab"), QStringLiteral("% of limit"));
    u.limit.LabLimit = clickLabel(QStringLiteral("LabLimit"), QString(), QString());
    u.limit.LabLimitAvgLab =
        label(QStringLiteral("LabLimitAvgLab"), QStringLiteral("% of limit (30 min)"));
    u.limit.LabLimitAvg = label(QStringLiteral("LabLimitAvg"));
    u.limit.LabLimitCovered = label(QStringLiteral("LabLimitCovered"));

    u.frame.LabVerticalScaleLab =
        label(QStringLiteral("LabVerticalScaleLab"), QStringLiteral("Vertical scale"));
    u.frame.LabSamPerDivLab =
        label(QStringLiteral("LabSamPerDivLab"), QStringLiteral("Samples/div"));
    u.frame.LabSampleRateLab =
        label(QStringLiteral("LabSampleRateLab"), QStringLiteral("Sample rate"));
    u.graphs.CmbVerticalScale = named(new QComboBox(form), QStringLiteral("CmbVerticalScale"));
    u.graphs.CmbVerticalScale->setToolTip(QStringLiteral("Vertical Scale"));
    u.graphs.cmbSamPerDiv = named(new QComboBox(form), QStringLiteral("cmbSamPerDiv"));
    u.graphs.cmbSamPerDiv->setToolTip(QStringLiteral("Samples Per Divison"));
    u.link.CmbSampleRate = named(new QComboBox(form), QStringLiteral("CmbSampleRate"));
    u.link.CmbSampleRate->setToolTip(QStringLiteral("Samples per second"));
    for (QComboBox* box :
         {u.graphs.CmbVerticalScale, u.graphs.cmbSamPerDiv, u.link.CmbSampleRate}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        box->setMaxVisibleItems(16);
    }

    u.graphs.Picture1 = named(new platform::SurfaceWidget(form), QStringLiteral("Picture1"));
    u.graphs.Picture3 = named(new platform::SurfaceWidget(form), QStringLiteral("Picture3"));
    u.graphs.Picture3->setToolTip(QStringLiteral("Click to clear peak."));
    u.frame.LstHeader = named(new QListWidget(form), QStringLiteral("LstHeader"));
    u.frame.LstHeader->setVisible(false);
    // Until a log is loaded the list says what it is for.
    auto* placeholder = new QListWidgetItem(
        QStringLiteral("The header and notes of a\nloaded log appear here."), u.frame.LstHeader);
    placeholder->setFlags(Qt::NoItemFlags);
    u.frame.Command1 = named(new QPushButton(form), QStringLiteral("Command1"));
    u.frame.Command1->setGeometry(0, 0, 0, 0);
    u.frame.Command1->setFlat(true);
    return u;
}

} // namespace window

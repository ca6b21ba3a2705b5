#include "window/frmOptions.h"

#include "engine/ProbeEngine.h"

#include "measure/MovingAverage.h"

#include "platform/ImageSurface.h"
#include "window/BarGraphControl.h"
#include "window/DisplayTimers.h"
#include "window/Exposure.h"
#include "window/GraphControl.h"
#include "window/LimitsTab.h"
#include "window/MainLayout.h"
#include "window/Readouts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace window {

using graph::clsGraph;

const std::array<platform::Colour, frmOptions::Slots> frmOptions::DefaultColours{
    0x00FF00, 0xFF00FF, 0x00FFFF, 0x0000FF, 4194304, 5197647, 16776960, 0, 11455198, 3092271};

const QStringList frmOptions::Periods = measure::MovingAverage::Periods();

namespace {

const char* const SlotCaptions[] = {"X Axis",     "Y Axis",        "Z Axis",     "XYZ",
                                    "BackColor",  "Grid Lines",    "Text Color", "Box Color",
                                    "Background", "Grid Lines Min"};
const char* const SlotNames[] = {
    "cmdXaxisColor", "cmdYaxisColor", "cmdZaxisColor", "cmdXYZAxisColor", "cmdBackColor",
    "CmdGridLines",  "CmdTextColor",  "CmdBoxColors",  "frmBackground",   "CmdGridLinesMin"};

template <typename W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

frmOptions::frmOptions(Targets targets, platform::UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_t(std::move(targets)), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    auto* outer = new QVBoxLayout(this);
    SSTab1 = Named(new QTabWidget(this), "SSTab1");
    outer->addWidget(SSTab1);

    // Misc
    auto* misc = new QWidget;
    auto* m = new QGridLayout(misc);
    TxtDisplayUpdate = Named(new QLineEdit, "TxtDisplayUpdate");
    m->addWidget(new QLabel(QStringLiteral("Text update rate (per second)")), 0, 0);
    m->addWidget(TxtDisplayUpdate, 0, 1);
    CmbAveraging = Named(new QComboBox, "CmbAveraging");
    CmbAveraging->setEditable(true);
    CmbAveraging->addItems({"1", "5", "10", "15", "20", "30", "35", "45", "50"});
    m->addWidget(new QLabel(QStringLiteral("Moving Average\n(Sample based)")), 1, 0);
    m->addWidget(CmbAveraging, 1, 1);
    ChkHorizonalLines =
        Named(new QCheckBox(QStringLiteral("Horizonal Graph Lines")), "ChkHorizonalLines");
    ChkMinDivOn =
        Named(new QCheckBox(QStringLiteral("Minor Divisions (Log Scale)")), "ChkMinDivOn");
    CmndEditPrompts =
        Named(new QPushButton(QStringLiteral("Edit Note Prompts")), "CmndEditPrompts");
    m->addWidget(ChkHorizonalLines, 2, 0, 1, 2);
    m->addWidget(ChkMinDivOn, 3, 0, 1, 2);
    m->addWidget(CmndEditPrompts, 4, 0);
    m->setRowStretch(5, 1);
    SSTab1->addTab(misc, QStringLiteral("Misc"));

    // Human Exposure
    auto* exposure = new QWidget;
    auto* e = new QGridLayout(exposure);
    ListMinAver = Named(new QListWidget, "ListMinAver");
    ListMinAver->addItems(Periods);
    e->addWidget(new QLabel(QStringLiteral("Moving Average\n(Time based)")), 0, 0);
    e->addWidget(ListMinAver, 1, 0);
    auto* periodic = Named(new QGroupBox(QStringLiteral("Periodic Logging")), "FraPeroidic");
    auto* p = new QGridLayout(periodic);
    ChkPeriodic = Named(new QCheckBox(QStringLiteral("Enabled")), "ChkPeriodic");
    CmbPeriod = Named(new QComboBox, "CmbPeriod");
    CmbPeriod->setEditable(true);
    Label7 = Named(new QLabel(QStringLiteral("6 Min.")), "Label7");
    Label1 = Named(new QLabel(QStringLiteral("60 Min.")), "Label1");
    p->addWidget(ChkPeriodic, 0, 0);
    p->addWidget(new QLabel(QStringLiteral("Period Minutes")), 1, 0);
    p->addWidget(CmbPeriod, 1, 1);
    p->addWidget(Label7, 2, 0);
    p->addWidget(Label1, 2, 1, Qt::AlignRight);
    auto* note = new QLabel(QStringLiteral("When Periodic Logging is enabled, Moving Average data "
                                           "will be logged at the start of each period."));
    note->setWordWrap(true);
    p->addWidget(note, 3, 0, 1, 2);
    e->addWidget(periodic, 1, 1);
    SSTab1->addTab(exposure, QStringLiteral("Human Exposure"));

    Limits = new LimitsTab;
    SSTab1->addTab(Limits, QStringLiteral("Limits"));

    // Colors
    auto* colours = new QWidget;
    auto* c = new QGridLayout(colours);
    auto* graphColours = Named(new QGroupBox(QStringLiteral("Graph Colors")), "FraColors");
    auto* g = new QGridLayout(graphColours);
    int cell = 0;
    for (int slot = 0; slot < Slots; ++slot) {
        auto* button = Named(new QPushButton(QLatin1String(SlotCaptions[slot])), SlotNames[slot]);
        ColorButtons[std::size_t(slot)] = button;
        connect(button, &QPushButton::clicked, this, [this, slot] { SelectColor(slot); });
        if (slot <= GridLines || slot == GridLinesMin) {
            g->addWidget(button, cell / 2, cell % 2);
            ++cell;
        }
    }
    ChkMatchColorBar =
        Named(new QCheckBox(QStringLiteral("Match Graph Colors")), "ChkMatchColorBar");
    cmdDefaultColors = Named(new QPushButton(QStringLiteral("Default Colors")), "cmdDefaultColors");
    c->addWidget(graphColours, 0, 0, 1, 3);
    c->addWidget(ChkMatchColorBar, 1, 0, 1, 3);
    c->addWidget(ColorButtons[Text], 2, 0);
    c->addWidget(ColorButtons[Box], 2, 1);
    c->addWidget(ColorButtons[Background], 2, 2);
    c->addWidget(cmdDefaultColors, 3, 0);
    SSTab1->addTab(colours, QStringLiteral("Colors"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    CmdApply = Named(new QPushButton(QStringLiteral("Apply")), "CmdApply");
    cmdOK = Named(new QPushButton(QStringLiteral("Close")), "cmdOK");
    buttons->addWidget(CmdApply);
    buttons->addWidget(cmdOK);
    outer->addLayout(buttons);

    connect(CmdApply, &QPushButton::clicked, this, [this] { CmdApply_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdDefaultColors, &QPushButton::clicked, this, [this] { cmdDefaultColors_Click(); });
    connect(CmndEditPrompts, &QPushButton::clicked, this, [this] { m_t.editNotes(); });
    connect(ListMinAver, &QListWidget::currentRowChanged, this, [this] { ListMinAver_Click(); });
    connect(CmbPeriod, &QComboBox::currentTextChanged, this, [this] { CmbPeriod_Click(); });

    // The box colour is the one in force from the start.
    m_slots = DefaultColours;
    m_slots[Box] = platform::Colour(m_t.config.BoxColor);
}

void frmOptions::Form_Load() {
    const files::Config& c = m_t.config;
    const clsGraph& g = m_t.graph;
    TxtDisplayUpdate->setText(QString::number(c.TextUpdatePerSecond));
    const auto listed = ListMinAver->findItems(c.Exposure, Qt::MatchExactly);
    ListMinAver->setCurrentRow(listed.isEmpty() ? Periods.indexOf("6 Minute")
                                                : ListMinAver->row(listed.first()));
    ListMinAver_Click();
    ChkHorizonalLines->setChecked(g.DisHorLines() == 1);
    ChkMatchColorBar->setChecked(c.MatchBarGraphToScatt == 1);
    ChkMinDivOn->setChecked(g.LogScaleMinOn() == 1);
    ChkPeriodic->setChecked(c.PeriodicIntervalEnabled == 1);
    CmbAveraging->setCurrentText(QString::number(c.Averaging));

    m_slots[XAxis] = g.GetChanLineColour(clsGraph::TraceX);
    m_slots[YAxis] = g.GetChanLineColour(clsGraph::TraceY);
    m_slots[ZAxis] = g.GetChanLineColour(clsGraph::TraceZ);
    m_slots[XYZ] = g.GetChanLineColour(clsGraph::TraceTotal);
    m_slots[Back] = g.BackGround();
    m_slots[GridLines] = g.GridLineColor();
    m_slots[Text] = platform::Colour(c.GraphTextColor);
    m_slots[Background] = platform::Colour(c.FormBackColor);
    m_slots[GridLinesMin] = g.MinLineColor();
    for (int slot = 0; slot < Slots; ++slot)
        showSlot(slot);
    m_coloursChanged = false;
    if (m_t.limits) Limits->Show(m_t.limits());
    for (QWidget* field :
         std::initializer_list<QWidget*>{TxtDisplayUpdate, CmbAveraging, CmbPeriod})
        bounded(field, QStringLiteral("1"), 1, 1, 1); // unmarked
}

void frmOptions::ListMinAver_Click() {
    const QString t = ListMinAver->currentItem() ? ListMinAver->currentItem()->text() : QString();
    if (t.isEmpty()) return;
    const int digits = t.at(1) == QLatin1Char(' ') ? 1 : 2;
    Label7->setText(t.left(digits + 4) + QLatin1Char('.'));
    const int n = t.left(digits).toInt();
    const QSignalBlocker quiet(CmbPeriod);
    CmbPeriod->clear();
    for (int minutes = n + 1; minutes <= 180; ++minutes)
        CmbPeriod->addItem(QString::number(minutes));
    CmbPeriod->setCurrentText(QString::number(m_t.config.PeriodicInterval));
    CmbPeriod_Click();
}

void frmOptions::CmbPeriod_Click() {
    Label1->setText(CmbPeriod->currentText() + QStringLiteral(" Min."));
}

void frmOptions::SelectColor(int slot) {
    const std::optional<platform::Colour> chosen =
        m_dialogs.chooseColour(m_slots[std::size_t(slot)], QLatin1String(SlotCaptions[slot]));
    if (!chosen) return; // cancelled, or no dialog could be shown: the slot stays
    m_slots[std::size_t(slot)] = *chosen;
    showSlot(slot);
    if (slot == Back || slot == GridLines || slot == Text || slot == Box) m_coloursChanged = true;
}

void frmOptions::cmdDefaultColors_Click() {
    m_slots = DefaultColours;
    for (int slot = 0; slot < Slots; ++slot)
        showSlot(slot);
    m_coloursChanged = true;
}

void frmOptions::showSlot(int slot) {
    // The slot's colour as a swatch on its button.
    QPixmap swatch(28, 14);
    swatch.fill(platform::ToQColor(m_slots[std::size_t(slot)]));
    QPushButton* button = ColorButtons[std::size_t(slot)];
    button->setIcon(QIcon(swatch));
    button->setIconSize(swatch.size());
}

int frmOptions::bounded(QWidget* field, const QString& text, int lo, int hi, int inForce) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    const bool good = ok && v >= lo && v <= hi;
    field->setStyleSheet(good ? QString() : QStringLiteral("border: 2px solid #e03030;"));
    field->setToolTip(good ? QString()
                           : QStringLiteral("Not a number from %1 to %2: %3 stays in force.")
                                 .arg(lo)
                                 .arg(hi)
                                 .arg(inForce));
    return good ? int(std::lround(v)) : inForce;
}

void frmOptions::CmdApply_Click() {
    files::Config& c = m_t.config;
    clsGraph& g = m_t.graph;
    m_t.reloadNotes();

    if (ChkHorizonalLines->isChecked()) {
        g.SetDisHorLines(1);
        g.SetLogScaleMinOn(ChkMinDivOn->isChecked() ? 1 : 0);
    } else {
        g.SetLogScaleMinOn(0);
        g.SetDisHorLines(2); // tick marks only
    }
    c.HorizontalLinesOn = g.DisHorLines();
    c.LogScaleMinDivOn = g.LogScaleMinOn();

    c.PeriodicInterval = bounded(CmbPeriod, CmbPeriod->currentText(), 1, 180, c.PeriodicInterval);
    c.PeriodicIntervalEnabled = ChkPeriodic->isChecked() ? 1 : 0;

    const int rate = bounded(TxtDisplayUpdate, TxtDisplayUpdate->text(), 1,
                             DisplayTimers::MaxTextUpdateRate, c.TextUpdatePerSecond);
    c.TextUpdatePerSecond = m_t.timers.SetTextUpdateTimer(rate);
    TxtDisplayUpdate->setText(QString::number(c.TextUpdatePerSecond));

    // 50 is the most samples averaged; more is taken as 50.
    QString typed = CmbAveraging->currentText();
    bool number = false;
    if (typed.trimmed().toDouble(&number) > 50 && number) typed = QStringLiteral("50");
    c.Averaging = bounded(CmbAveraging, typed, 1, 50, c.Averaging);
    m_t.engine.SetAveraging(c.Averaging);
    CmbAveraging->setCurrentText(QString::number(c.Averaging));

    if (ListMinAver->currentItem())
        m_t.exposure.SetMinuteAverTime(ListMinAver->currentItem()->text());
    if (m_t.limits && m_t.applyLimits) m_t.applyLimits(Limits->Settings(m_t.limits()));

    g.SetChanLineColour(clsGraph::TraceTotal, m_slots[XYZ]);
    g.SetChanLineColour(clsGraph::TraceX, m_slots[XAxis]);
    g.SetChanLineColour(clsGraph::TraceY, m_slots[YAxis]);
    g.SetChanLineColour(clsGraph::TraceZ, m_slots[ZAxis]);
    m_t.readouts.ChanColorIndicator();
    c.GraphTextColor = qint32(m_slots[Text]);
    m_t.layout.ChangeTextColor(m_slots[Text]);
    c.MatchBarGraphToScatt = ChkMatchColorBar->isChecked() ? 1 : 0;
    c.FormBackColor = qint32(m_slots[Background]);
    g.SetMinLineColor(m_slots[GridLinesMin]);

    if (m_coloursChanged) {
        g.SetBackGround(m_slots[Back]);
        g.SetGridLineColor(m_slots[GridLines]);
        c.BoxColor = qint32(m_slots[Box]);
    }
    // Bars, boxes, surfaces and the form take their colours from the settings.
    m_t.applyFormColours();
    if (m_coloursChanged) {
        m_t.graphs.SetUpGraphScale();
        m_t.graphs.RedrawFrame();
        m_t.bars.SetUpBarGraph();
        m_coloursChanged = false;
    }
}

} // namespace window

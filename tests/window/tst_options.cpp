// The options dialog on the test doubles: Apply against what the window, the graphs, the probe
// objects and the settings hold afterwards; the moving-average periods; the colour slots.
#include "files/HeaderNotes.h"
#include "measure/ClsZeta.h"
#include "platform/SurfaceWidget.h"
#include "tests/support/WindowKit.h"
#include "window/LimitMonitor.h"
#include "window/LimitsTab.h"
#include "window/Readouts.h"
#include "window/frmOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

using window::frmOptions;

class tst_Options : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig;

    // The window started, its options opened from the toolbar (the modal runner closes them
    // at once; the dialog is kept for the next opening).
    frmOptions& opened() {
        app::frmMain& w = rig->start();
        w.ui().frame.tbProperties->trigger();
        return *w.options();
    }

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // Numbers are bounded; one that is not a number, or out of bounds, keeps the value in force
    // and marks its field.
    void numbersAreChecked_data() {
        QTest::addColumn<int>("field"); // averaging, rate, period
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("applied"); // the setting afterwards
        QTest::addColumn<bool>("marked");
        const std::tuple<int, const char*, int, bool> rows[] = {
            {0, "75", 50, false}, {0, "5", 5, false},   {0, "abc", 1, true},  {0, "0", 1, true},
            {1, "20", 20, false}, {1, "1e12", 7, true}, {2, "90", 90, false}, {2, "500", 60, true}};
        for (const auto& [field, typed, applied, marked] : rows)
            QTest::addRow("%s %s", std::array{"averaging", "rate", "period"}[field], typed)
                << field << QString(typed) << applied << marked;
    }
    void numbersAreChecked() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        frmOptions& o = opened();
        app::frmMain& w = rig->window();
        QWidget* const edited[] = {o.CmbAveraging, o.TxtDisplayUpdate, o.CmbPeriod};
        edited[field]->setProperty(field == 1 ? "text" : "currentText", typed);
        o.CmdApply_Click();
        const files::Config& c = w.config();
        const int applied =
            std::array{c.Averaging, c.TextUpdatePerSecond, c.PeriodicInterval}[field];
        QTEST(applied, "applied");
        QTEST(!edited[field]->styleSheet().isEmpty(), "marked");
        if (field == 0)
            QCOMPARE((QList<int>{w.zeta().Averaging(), w.probe().Average(),
                                 o.CmbAveraging->currentText().toInt()}),
                     (QList<int>(3, applied)));
    }

    // The period chosen sets the periods offered and the timeline's captions.
    void periodsOffered_data() {
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("expected"); // first period offered, the two captions
        for (const auto& [period, expected] : {std::pair{"10 Second", "11 10 Sec. 60 Min."},
                                               {"30 Second", "31 30 Sec. 60 Min."},
                                               {"6 Minute", "7 6 Min. 60 Min."},
                                               {"30 Minute", "31 30 Min. 60 Min."}})
            QTest::newRow(period) << QString(period) << QString(expected);
    }
    void periodsOffered() {
        QFETCH(QString, period);
        frmOptions& o = opened();
        o.ListMinAver->setCurrentRow(frmOptions::Periods.indexOf(period));
        QTEST(QStringList({o.CmbPeriod->itemText(0), o.Label7->text(), o.Label1->text()}).join(' '),
              "expected");
        o.CmdApply_Click();
        QCOMPARE(rig->window().config().Exposure, period);
        QVERIFY(rig->boxes.texts().isEmpty()); // every period offered is one the average knows
    }

    // Colours: an axis colour alone recolours the traces without a repaint; a cancelled or
    // failed colour dialog leaves its slot; the box colour is the one in force; with the bars
    // unmatched they take the text colour, as do the axis switches; "Default Colors" brings back
    // all ten.
    void colours() {
        rig->config.BoxColor = 0x123456;
        frmOptions& o = opened();
        app::frmMain& w = rig->window();
        graph::clsGraph& g = w.graph();
        const QImage before = w.ui().graphs.Picture1->image();
        rig->dialogs.queueColour(0x0000AA);
        o.SelectColor(frmOptions::XAxis);
        rig->dialogs.queueColour(std::nullopt);
        o.SelectColor(frmOptions::YAxis);
        o.ChkMatchColorBar->setChecked(false);
        o.CmdApply_Click();
        QCOMPARE((QList<platform::Colour>{g.GetChanLineColour(graph::clsGraph::TraceX),
                                          g.GetChanLineColour(graph::clsGraph::TraceY),
                                          platform::Colour(w.config().BoxColor),
                                          w.barGraph().BarColor(graph::ClsBarGraph::BarAxisX)}),
                 (QList<platform::Colour>{0x0000AA, frmOptions::DefaultColours[1], 0x123456,
                                          platform::Colour(w.config().GraphTextColor)}));
        QVERIFY(w.ui().graphs.Picture1->image() == before);
        // The first change that repaints keeps the boxes in their colour.
        rig->dialogs.queueColour(0x202020);
        o.SelectColor(frmOptions::Back);
        o.CmdApply_Click();
        QCOMPARE((QList<platform::Colour>{g.BackGround(), platform::Colour(w.config().BoxColor)}),
                 (QList<platform::Colour>{0x202020, 0x123456}));
        // A new text colour is also the colour of an axis switched on afterwards.
        rig->dialogs.queueColour(0x00AA00);
        o.SelectColor(frmOptions::Text);
        o.CmdApply_Click();
        w.readouts().UpDateAxis();
        QCOMPARE(platform::ForeColor(w.ui().readouts.LabXAxis), platform::Colour(0x00AA00));

        o.cmdDefaultColors_Click();
        o.ChkMatchColorBar->setChecked(true);
        o.CmdApply_Click();
        QCOMPARE((QList<platform::Colour>{g.BackGround(), g.GridLineColor(), g.MinLineColor(),
                                          platform::Colour(w.config().BoxColor),
                                          platform::Colour(w.config().FormBackColor),
                                          w.barGraph().BarColor(graph::ClsBarGraph::BarAxisX)}),
                 (QList<platform::Colour>{4194304, 5197647, 3092271, 0, 11455198, 0x00FF00}));
        QVERIFY(w.ui().graphs.Picture1->image() != before);
    }

    // Grid lines off leaves tick marks, which the next start keeps; the notes entered this
    // session survive Apply and the editor, which gets a file even when there was none.
    void gridAndNotes() {
        frmOptions& o = opened();
        app::frmMain& w = rig->window();
        w.notes().NoteCount = 1;
        w.notes().HeaderNotes[1] = {"1", "Site", "Hall 3"};
        o.ChkHorizonalLines->setChecked(false);
        o.CmdApply_Click();
        QCOMPARE((QList<int>{w.graph().DisHorLines(), w.graph().LogScaleMinOn()}),
                 (QList<int>{2, 0}));
        QCOMPARE(w.notes().HeaderNotes[1].value, QString("Hall 3"));
        o.CmndEditPrompts->click();
        const QString notes = rig->dir.filePath(files::HeaderNotes::FileName);
        QCOMPARE(rig->dialogs.edited, QStringList{notes});
        QVERIFY(QFile::exists(notes));

        rig->close();
        rig->writeConfig = false;
        QCOMPARE(rig->start().graph().DisHorLines(), 2);
    }

    // The limit chosen on its page is kept in the settings and watched at once; "None" hides
    // the panel. A frequency or level not understood keeps the one in force, its field marked.
    void limitsAreApplied_data() {
        QTest::addColumn<int>("standard"); // 0: None, 1..6 the standards in their order
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QStringList>("stored"); // Standard, Frequency, Warning
        QTest::addColumn<bool>("marked");
        QTest::newRow("ICNIRP 1998 public at 2.45 GHz")
            << 3 << "2.45 GHz"
            << "60" << QStringList{"icnirp1998-public", "2.45 GHz", "60"} << false;
        QTest::newRow("FCC occupational at 150 kHz, in Hz")
            << 6 << "150000Hz"
            << "50" << QStringList{"fcc-occupational", "150 kHz", "50"} << false;
        QTest::newRow("none") << 0 << "900 MHz"
                              << "50" << QStringList{"none", "900 MHz", "50"} << false;
        QTest::newRow("frequency not understood")
            << 1 << "fast"
            << "50" << QStringList{"icnirp2020-public", "unknown", "50"} << true;
        QTest::newRow("warning out of bounds")
            << 2 << "27.12 MHz"
            << "0" << QStringList{"icnirp2020-occupational", "27.12 MHz", "50"} << true;
    }
    void limitsAreApplied() {
        QFETCH(int, standard);
        QFETCH(QString, frequency);
        QFETCH(QString, warning);
        frmOptions& o = opened();
        app::frmMain& w = rig->window();
        window::LimitsTab& l = *o.Limits;
        l.CmbLimitStandard->setCurrentIndex(standard);
        l.ChkFrequencyUnknown->setChecked(false);
        l.TxtFrequency->setText(frequency);
        l.TxtWarning->setText(warning);
        o.CmdApply_Click();
        QStringList stored;
        for (const char* key : {"Standard", "Frequency", "Warning"})
            stored << rig->settings.GetSetting("Varnex", "Limits", key);
        QTEST(stored, "stored");
        QTEST(!l.TxtFrequency->styleSheet().isEmpty() || !l.TxtWarning->styleSheet().isEmpty(),
              "marked");
        QCOMPARE(w.limit().Settings().on, standard > 0);
        QCOMPARE(w.ui().limit.LabLimit->isVisibleTo(&w), standard > 0);
        QCOMPARE(files::ReadLimitSettings(rig->settings, "Varnex").levels.warningPercent,
                 w.limit().Settings().levels.warningPercent);
    }
};

QTEST_MAIN(tst_Options)
#include "tst_options.moc"

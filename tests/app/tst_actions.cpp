// Every command of the window, in each state it can be in: the menu entries, toolbar buttons and
// clickable labels enabled are the ones the state allows, and each enabled one does something a
// user can see (a dead entry would leave the window as it was, but for its own tick).
#include "platform/Controls.h"
#include "platform/SurfaceWidget.h"
#include "tests/support/WindowKit.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolBar>

namespace {

enum class State { SigmaIdle, SigmaLogging, Zeta, Kappa, Stored };

std::unique_ptr<kit::WindowRig> Enter(State state) {
    auto r = std::make_unique<kit::WindowRig>();
    const QString model = state == State::Zeta    ? QStringLiteral("PX-9100")
                          : state == State::Kappa ? QStringLiteral("E310")
                                                  : QStringLiteral("PX-5100");
    // A falling field, so that the peaks stand above the readings and clearing them shows.
    probesim::FieldPlan plan = kit::WindowRig::DefaultPlan();
    for (auto& axis : plan.axes) {
        axis.kind = probesim::AxisPattern::Kind::Ramp;
        axis.level += 6;
        axis.swing = -6;
        axis.period = 60;
    }
    r->useProbe(model, plan);
    r->config.AlarmValue = 5; // below the field, so switching the alarm shows
    r->start();
    if (!r->runUntil([&] { return r->window().probe().GetModel() == model; })) return {};
    // A Kappa probe settles for 1.5 s after it is named.
    r->run(state == State::Zeta ? 3000 : state == State::Kappa ? 2500 : 1000);
    if (state == State::SigmaLogging || state == State::Stored) {
        r->window().findChild<QAction*>("tbRecord")->trigger();
        r->run(1500);
    }
    if (state == State::Stored) {
        r->window().findChild<QAction*>("tbRecord")->trigger(); // the log stops and is shown whole
        r->run(200);
        r->window().findChild<QAction*>("mnuViewScatterLive")->trigger();
        r->run(200);
    }
    return r;
}

// What a user can see of the window, and what it asked or sent; the tick of the entry named
// `own` is left out, since Qt ticks a checkable entry before its handler runs.
QStringList Seen(kit::WindowRig& r, const QString& own) {
    QStringList seen;
    QWidget& w = r.window();
    seen << w.windowTitle() << QString::number(w.isVisible());
    for (const QAction* a : w.findChildren<QAction*>()) {
        if (a->objectName().isEmpty()) continue;
        seen << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(a->objectName(), a->text())
                    .arg(a->isEnabled())
                    .arg(a->objectName() == own ? -1 : int(a->isChecked()))
                    .arg(a->isVisible());
    }
    for (const QWidget* c : w.findChildren<QWidget*>()) {
        const QString name = c->objectName();
        if (name.isEmpty() || name == u"sbPanel3" || name == u"sbPanel4") continue;
        QString s = name + u' ' + QString::number(c->isVisibleTo(&w)) + u' ' +
                    c->palette().color(c->foregroundRole()).name() + u' ' +
                    c->palette().color(c->backgroundRole()).name();
        if (auto* l = qobject_cast<const QLabel*>(c)) s += u' ' + l->text() + u' ' + l->toolTip();
        if (auto* b = qobject_cast<const QComboBox*>(c))
            s += u' ' + b->currentText() + u' ' + kit::Items(b).join(u'|');
        if (auto* p = qobject_cast<const platform::SurfaceWidget*>(c))
            s +=
                u' ' + QString::number(qHashBits(p->image().constBits(), p->image().sizeInBytes()));
        seen << s;
    }
    seen << QStringLiteral("boxes %1").arg(r.boxes.texts().join(u'|'));
    seen << QStringLiteral("asked %1 edited %2 dialogs %3 beeps %4")
                .arg(r.dialogs.asked.size())
                .arg(r.dialogs.edited.size())
                .arg(r.modal.shown.join(u' '))
                .arg(r.beeper.beeps);
    seen << r.sentSince(0).join(u' ');
    return seen;
}

// The entries and labels a user can reach: visible, with a name, not a submenu, in menus that
// open.
QList<QObject*> Commands(QWidget& w) {
    const auto reachable = [](const QAction* a) {
        if (a->objectName().isEmpty() || a->menu() || a->isSeparator() || !a->isVisible())
            return false;
        for (auto* m = qobject_cast<const QMenu*>(a->parent()); m;
             m = qobject_cast<const QMenu*>(m->parent()))
            if (!m->isEnabled() || !m->menuAction()->isEnabled() || !m->menuAction()->isVisible())
                return false;
        return true;
    };
    QList<QObject*> commands;
    for (QAction* a : w.findChildren<QAction*>())
        if (reachable(a)) commands << a;
    for (platform::ClickLabel* l : w.findChildren<platform::ClickLabel*>())
        if (l->isVisibleTo(&w) && l->isClickable()) commands << l;
    return commands;
}

} // namespace

class tst_Actions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyEnabledCommandDoesSomething_data() {
        QTest::addColumn<State>("state");
        QTest::addColumn<QStringList>("disabled"); // of the commands shown
        QTest::addColumn<QStringList>("idle");     // enabled, with nothing to do in this state
        const auto names = [](const char* text) { return QString(text).split(' '); };
        const QStringList atStart = names("mnuFileSaveAs mnuProbeRecordPause mnuProbePlay tbSave "
                                          "tbZoomIn tbZoomOut tbRecordPause"),
                          fast = names("mnuCommBaud3 mnuCommBaud4 mnuCommBaud5");
        // Nothing to erase before a log; the search mode takes effect when the probe is next
        // looked for; the total is plotted apart only beside the axes of a live sweep or a
        // replay, not in a stored view or beside a probe that reads one axis.
        const QStringList noRows{"LabRecordCntLab"}, search{"mnuCommARProbe"},
            total{"mnuProbePlotComposite"};
        QTest::newRow("Sigma") << State::SigmaIdle << atStart + fast + names("mnuCommBaud2")
                               << search + noRows;
        QTest::newRow("Sigma, logging")
            << State::SigmaLogging
            << fast + names("mnuFileSaveAs mnuViewExposure mnuProbePlay mnuProbeZero "
                            "mnuProbeClearPeak mnuCommBaud2 tbSave tbZoomIn tbZoomOut")
            << search;
        QTest::newRow("Zeta") << State::Zeta
                              << atStart + names("mnuProbe3AxisData mnuProbeZero mnuCommARProbe "
                                                 "mnuCommARM mnuCommASCII")
                              << noRows;
        QTest::newRow("Kappa") << State::Kappa
                               << atStart + fast + names("mnuProbe3AxisData mnuProbeZero")
                               << total + noRows;
        QTest::newRow("a log shown")
            << State::Stored
            << fast + names("mnuProbeRecordPause mnuProbePlay mnuCommBaud2 tbZoomIn tbRecordPause")
            << total + search;
    }
    void everyEnabledCommandDoesSomething() {
        QFETCH(State, state);
        QFETCH(QStringList, disabled);
        QStringList names, off;
        {
            auto r = Enter(state);
            QVERIFY(r);
            for (QObject* c : Commands(r->window())) {
                auto* a = qobject_cast<QAction*>(c);
                if (a ? a->isEnabled() : qobject_cast<QWidget*>(c)->isEnabled())
                    names << c->objectName();
                else
                    off << c->objectName();
            }
        }
        disabled.sort();
        off.sort();
        QCOMPARE(off, disabled);
        QStringList didNothing;
        for (const QString& name : names) {
            auto still = Enter(state);
            still->run(500);
            auto used = Enter(state);
            auto* a = used->window().findChild<QAction*>(name);
            const bool wasChecked = a && a->isChecked();
            kit::Use(used->window(), name);
            used->run(500);
            if (Seen(*used, name) != Seen(*still, name)) continue;
            // A choice made again (a ticked entry of a group) leaves everything as it was; Qt
            // alone would have taken the tick off.
            if (a && wasChecked && a->isChecked() && !a->actionGroup()) continue;
            didNothing << name;
        }
        QTEST(didNothing, "idle");
    }

    void tips() {
        kit::WindowRig rig;
        QWidget& w = rig.startOn("PX-5100");
        QStringList shown;
        for (const char* name :
             {"tbOpen", "tbSave", "tbProperties", "tbScatter", "tbBarGraph", "tbZoomIn",
              "tbZoomOut", "tbRecord", "tbRecordPause", "cmbSamPerDiv", "CmbVerticalScale",
              "Picture3", "LabRecord", "LabRecordCntLab", "LabTempLab"}) {
            const QObject* o = w.findChild<QObject*>(QString::fromLatin1(name));
            QVERIFY2(o, name);
            shown << o->property("toolTip").toString();
        }
        QCOMPARE(shown, (QStringList{"Open", "Save", "Options", "Scatter Graph Live", "Bar Graph",
                                     "Zoom In", "Zoom Out", "Log (On / Off)", "Log Pause",
                                     "Samples Per Divison", "Vertical Scale",
                                     "Click to clear peak.", "Click to toggle log",
                                     "Click to erase data", "Click to update batt - temp"}));
    }
};

QTEST_MAIN(tst_Actions)
#include "tst_actions.moc"

// The port dialog, driven without showing it: the numbers and the system names behind them,
// a choice reported at once, names kept in the settings store, Continue closing the dialog.
#include "platform/fake/MemorySettingsStore.h"
#include "window/frmPort.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using platform::PortTable;
using window::frmPort;

class FrmPortTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void choosesAtOnceAndContinueCloses() {
        platform::MemorySettingsStore store;
        PortTable ports(store);
        QList<int> chosen;
        frmPort d(ports, 2, [&](int n) { chosen << n; });
        QCOMPARE(d.objectName(), QStringLiteral("frmPort"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Select a Comm Port"));
        auto* frame = d.findChild<QGroupBox*>();
        QCOMPARE(frame->title(), QStringLiteral("Port Number"));
        const QStringList available = PortTable::availablePorts();
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(d.option(n)->text(), QStringLiteral("Comm%1").arg(n));
            QVERIFY(frame->isAncestorOf(d.option(n)));
            QCOMPARE(d.option(n)->isChecked(), n == 2);
            QCOMPARE(d.portNameBox(n)->currentText(), ports.portName(n));
            for (const QString& port : available)
                QVERIFY(d.portNameBox(n)->findText(port) >= 0);
        }
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QPoint off = d.frameGeometry().center() - screen->availableGeometry().center();
        QVERIFY2(off.manhattanLength() <= 4, "centred on the screen");

        QVERIFY(chosen.isEmpty()); // opening chooses nothing
        d.option(4)->click();
        QCOMPARE(chosen, QList<int>{4});
        d.option(1)->click();
        QVERIFY(d.option(1)->isChecked() && !d.option(4)->isChecked());
        QCOMPARE(d.result(), int(QDialog::Rejected)); // still open
        d.continueButton()->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(chosen, (QList<int>{4, 1}));
        QVERIFY(store.values().isEmpty()); // no name was changed
    }

    void aChangedNameIsStoredBehindItsNumber() {
        platform::MemorySettingsStore store;
        PortTable ports(store);
        ports.setRunOverride(2, QStringLiteral("/tmp/probe-line"));
        frmPort d(ports, 1, {});
        d.portNameBox(1)->setEditText(QStringLiteral(" /dev/ttyUSB7 "));
        QCOMPARE(ports.portName(1), QStringLiteral("/dev/ttyUSB7"));
        // Clearing the box keeps the last name: a number never stands for no port.
        d.portNameBox(1)->setEditText(QString());
        QCOMPARE(ports.portName(1), QStringLiteral("/dev/ttyUSB7"));
        // A name given for this run only is shown but cannot be changed here.
        QCOMPARE(d.portNameBox(2)->currentText(), QStringLiteral("/tmp/probe-line"));
        QVERIFY(!d.portNameBox(2)->isEnabled());
        d.option(3)->click(); // nobody to tell: nothing happens
        QCOMPARE(store.values().keys(), QStringList{"Varnex/Ports/Comm1"});
    }
};

QTEST_MAIN(FrmPortTest)
#include "tst_frmport.moc"

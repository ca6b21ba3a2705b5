// Message boxes and the settings store on Qt.
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

using namespace platform;

namespace {

QMessageBox* boxShowing(const QString& text) {
    const auto widgets = QApplication::topLevelWidgets();
    for (QWidget* w : widgets) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box && box->isVisible() && box->text() == text) return box;
    }
    return nullptr;
}

} // namespace

class TestQtPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void informOpensEachTextOnce() {
        QtMessageBoxes boxes;
        boxes.inform(MsgIcon::Exclamation, "Probe not found");
        QMessageBox* box = boxShowing("Probe not found");
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QString("Varnex"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        boxes.inform(MsgIcon::Exclamation, "Probe not found");
        QCOMPARE(boxes.openCount(), 1);
        boxes.inform(MsgIcon::Critical, "Battery low", "Probe");
        QCOMPARE(boxes.openCount(), 2);
        QCOMPARE(boxShowing("Battery low")->windowTitle(), QString("Probe"));

        box->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(!boxShowing("Probe not found"));
        QCOMPARE(boxes.openCount(), 1);
        boxes.inform(MsgIcon::Exclamation, "Probe not found");
        QCOMPARE(boxes.openCount(), 2);
    }

    void askYesNoReturnsTheAnswer() {
        for (const auto button : {QMessageBox::Yes, QMessageBox::No}) {
            QtMessageBoxes boxes;
            QTimer::singleShot(0, this, [&] {
                QMessageBox* box = boxShowing("Save the log?");
                QVERIFY(box && box->isModal());
                box->button(button)->click();
            });
            QCOMPARE(boxes.askYesNo(MsgIcon::Question, "Save the log?"),
                     button == QMessageBox::Yes);
        }
    }

    void settingsRoundTrip() {
        QtSettingsStore store;
        const QString app = QStringLiteral("VarnexTest");
        QSettings(QtSettingsStore::Organisation, app).clear();
        QCOMPARE(store.GetSetting(app, "Ports", "Comm1", "/dev/ttyUSB0"), QString("/dev/ttyUSB0"));
        store.SaveSetting(app, "Ports", "Comm1", "/dev/ttyS3");
        store.SaveSetting(app, "Log", "Comm1", "other section");
        QCOMPARE(store.GetSetting(app, "Ports", "Comm1", "/dev/ttyUSB0"), QString("/dev/ttyS3"));
        QCOMPARE(store.GetSetting(app, "Log", "Comm1"), QString("other section"));
        QCOMPARE(QSettings("Varnex", app).value("Ports/Comm1").toString(), QString("/dev/ttyS3"));
        QSettings(QtSettingsStore::Organisation, app).clear();
    }
};

QTEST_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"

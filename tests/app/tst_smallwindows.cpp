#include "app/frmAbout.h"
#include "app/frmSplash.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace app;

class TestSmallWindows : public QObject {
    Q_OBJECT

    static QLabel* label(const QWidget& window, const QString& name) {
        return window.findChild<QLabel*>(name);
    }

private Q_SLOTS:
    void splash() {
        QCOMPARE(frmSplash::VersionLine(), QStringLiteral("Rev " VARNEX_VERSION)); // x.y.z build
        frmSplash splash;
        QCOMPARE(splash.objectName(), QStringLiteral("frmSplash"));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        splash.show();
        const QPoint off =
            splash.geometry().center() - splash.screen()->availableGeometry().center();
        QVERIFY(off.manhattanLength() <= 2);
    }

    void about_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("identity");
        for (const char* m : {"PX-9120", "PX-9130", "E310", "H420", "PX-9100"})
            QTest::newRow(m) << QString(m) << true;
        for (const char* m : {"PX-9110", "px-9120", ""})
            QTest::newRow(*m ? m : "no probe") << QString(m) << false;
    }

    void about() {
        QFETCH(QString, model);
        QFETCH(bool, identity);
        frmAbout about(QStringLiteral("Varnex"), {model, "2.07", "03/14/2023", "41077"});
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("About Varnex"));
        QCOMPARE(label(about, "lblVersion")->text(), QStringLiteral("Version " VARNEX_VERSION));
        QCOMPARE(label(about, "LabModel")->text(), model);
        for (const char* name :
             {"Label1", "Label2", "Label3", "LabProbeCalDate", "LabProbeSerialNo"})
            QCOMPARE(label(about, name)->isVisible(), identity);
        QCOMPARE(label(about, "LabProbeSerialNo")->text(), identity ? "41077" : "");

        // Without the identity lines the box closes up.
        frmAbout full(QStringLiteral("Varnex"), {QStringLiteral("E310"), {}, {}, {}});
        full.show();
        QCOMPARE(about.height() < full.height(), !identity);

        // The mark follows the title without covering it.
        const QLabel* title = label(about, "lblTitle");
        QVERIFY(label(about, "Label5")->x() >=
                title->x() + title->fontMetrics().horizontalAdvance(QStringLiteral("Varnex")));

        about.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(TestSmallWindows)
#include "tst_smallwindows.moc"

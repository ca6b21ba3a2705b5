// The platform beside the serial line: timer, clock, message boxes, dialogs, settings and
// drawing surfaces (on a QImage, exact pixels; on the widget at a device pixel ratio of 2, as
// this test runs).
#include "platform/ImageSurface.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtUserDialogs.h"
#include "platform/SurfaceWidget.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>
#include <functional>

using namespace platform;

using Draw = std::function<void(DrawSurface&)>;
using Points = QList<QPoint>;
Q_DECLARE_METATYPE(Draw)

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

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The interval is whole milliseconds, rounded. The first tick restarts its timer and
    // serves events while the next ticks fall due; none arrives after the timer is disabled.
    void ticksArriveAndAreNotReentered() {
        QtHiResTimer timer;
        for (const auto& [requested, expected] : {std::pair{0.2, 1.0}, {66.4, 66.0}, {2.5, 3.0}}) {
            timer.setInterval(requested);
            QCOMPARE(timer.interval(), expected);
        }
        int ticks = 0, depth = 0, deepest = 0;
        timer.setOnTimer([&] {
            deepest = std::max(deepest, ++depth);
            if (++ticks == 1) {
                timer.setEnabled(true);
                for (int i = 0; i < 5; ++i) {
                    QThread::msleep(3);
                    QCoreApplication::processEvents();
                }
            }
            --depth;
        });
        timer.setInterval(1);
        timer.setEnabled(true);
        QTRY_VERIFY(ticks >= 3);
        timer.setEnabled(false);
        QCOMPARE(deepest, 1);

        // Disabled by the caller while overdue, or by its own handler: anything still on its
        // way arrives before a later timer's tick.
        for (const bool fromHandler : {false, true}) {
            QtHiResTimer overdue, later;
            int overdueTicks = 0;
            bool laterTicked = false;
            overdue.setOnTimer([&] {
                ++overdueTicks;
                if (fromHandler) overdue.setEnabled(false);
            });
            later.setOnTimer([&] { laterTicked = true; });
            overdue.setInterval(1);
            later.setInterval(20);
            overdue.setEnabled(true);
            if (fromHandler) QTRY_COMPARE(overdueTicks, 1);
            QThread::msleep(10); // the period runs out while no events are served
            overdue.setEnabled(false);
            later.setEnabled(true);
            QTRY_VERIFY(laterTicked);
            QCOMPARE(overdueTicks, fromHandler ? 1 : 0);
        }
    }

    // The delay serves events and waits; the time of day is the local clock's.
    void clock() {
        QtClock clock;
        for (const double ms : {0.0, 20.0}) {
            bool served = false;
            QMetaObject::invokeMethod(
                this, [&] { served = true; }, Qt::QueuedConnection);
            const qint64 before = clock.monotonicMs();
            clock.delay(ms);
            QVERIFY(served);
            QVERIFY(clock.monotonicMs() - before >= qint64(ms));
        }
#ifndef Q_OS_WIN // a Windows program takes its zone from the system, never from TZ
        // In a zone well away from UTC, so that a missing offset cannot pass unseen: five hours
        // 45 minutes east, no zone database needed.
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "XST-5:45");
        QtClock east;
        for (int i = 0; i < 2; ++i) { // the looked-up offset, then the kept one
            const double local = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
            const double seen = east.secondsSinceMidnight();
            QVERIFY2(std::abs(seen - local) < 1.0 || std::abs(seen - local) > 86399.0,
                     qPrintable(QString("%1 against %2").arg(seen).arg(local)));
        }
        qputenv("TZ", zone);
#endif
    }

    // A message opens once while it shows; a question is modal and returns the answer.
    void messageBoxes() {
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
        for (const auto button : {QMessageBox::Yes, QMessageBox::No}) {
            QTimer::singleShot(0, this, [&] {
                QMessageBox* question = boxShowing("Save the log?");
                QVERIFY(question && question->isModal());
                question->button(button)->click();
            });
            QCOMPARE(boxes.askYesNo(MsgIcon::Question, "Save the log?"),
                     button == QMessageBox::Yes);
        }
    }

    // The user's answers come back as given: each button of the save question, the text of
    // an input box or nothing when it is cancelled.
    void userDialogs() {
        QtUserDialogs dialogs;
        const auto answer = [this](auto act) {
            QTimer::singleShot(0, this, [act] {
                QWidget* shown = QApplication::activeModalWidget();
                QVERIFY(shown);
                act(shown);
            });
        };
        for (const auto& [button, choice] : {std::pair{QMessageBox::Save, SaveChoice::Save},
                                             std::pair{QMessageBox::Discard, SaveChoice::Discard},
                                             std::pair{QMessageBox::Cancel, SaveChoice::Cancel}}) {
            answer(
                [button](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(button)->click(); });
            QCOMPARE(dialogs.askSaveDiscardCancel("The log was not saved.", "Varnex"), choice);
        }
        answer([](QWidget* w) {
            auto* input = qobject_cast<QInputDialog*>(w);
            QCOMPARE((QStringList{input->windowTitle(), input->labelText(), input->textValue()}),
                     (QStringList{"Test Conditions", "Operator", "Ann"}));
            input->setTextValue("Bo");
            input->accept();
        });
        QCOMPARE(dialogs.inputBox("Operator", "Test Conditions", "Ann"),
                 std::optional<QString>("Bo"));
        answer([](QWidget* w) { qobject_cast<QInputDialog*>(w)->reject(); });
        QCOMPARE(dialogs.inputBox("Operator", "Test Conditions", "Ann"), std::nullopt);
    }

    void settingsRoundTrip() {
        QtSettingsStore store;
        const QString app = QStringLiteral("VarnexTest");
        QSettings(QtSettingsStore::Organisation, app).clear();
        QCOMPARE(store.GetSetting(app, "Ports", "Comm1", "/dev/ttyUSB0"), QString("/dev/ttyUSB0"));
        store.SaveSetting(app, "Ports", "Comm1", "/dev/ttyS3");
        QCOMPARE(store.GetSetting(app, "Ports", "Comm1", "/dev/ttyUSB0"), QString("/dev/ttyS3"));
        QCOMPARE(QSettings("Varnex", app).value("Ports/Comm1").toString(), QString("/dev/ttyS3"));
        QSettings(QtSettingsStore::Organisation, app).clear();
    }

    // 15 twips a pixel, in blue (0x0000FF is red in the image).
    void primitivesHitExactPixels_data() {
        QTest::addColumn<Draw>("draw");
        QTest::addColumn<Points>("drawn");
        QTest::addColumn<Points>("untouched");
        const Colour c = 0x0000FF;
        QTest::newRow("line includes both ends")
            << Draw([c](DrawSurface& s) { s.Line(150, 150, 300, 150, c); })
            << Points{{10, 10}, {15, 10}, {20, 10}} << Points{{9, 10}, {21, 10}};
        QTest::newRow("diagonal line") << Draw([c](DrawSurface& s) { s.Line(0, 0, 75, 75, c); })
                                       << Points{{0, 0}, {2, 2}, {5, 5}} << Points{{1, 0}, {6, 6}};
        QTest::newRow("box is an outline")
            << Draw([c](DrawSurface& s) { s.Box(300, 150, 150, 300, c); })
            << Points{{10, 10}, {20, 20}, {10, 15}, {15, 20}} << Points{{15, 15}, {21, 21}};
        QTest::newRow("filled box, corners either way")
            << Draw([c](DrawSurface& s) { s.FilledBox(300, 300, 150, 150, c); })
            << Points{{10, 10}, {15, 15}, {20, 20}} << Points{{9, 15}, {21, 15}};
        QTest::newRow("a pixel is floor(twips / 15), one wide")
            << Draw([c](DrawSurface& s) { s.PSet(29.99, 30, c); }) << Points{{1, 2}}
            << Points{{2, 2}, {1, 1}, {1, 3}};
        QTest::newRow("left of the image")
            << Draw([c](DrawSurface& s) { s.PSet(-1, 15, c); }) << Points{} << Points{{0, 1}};
        QTest::newRow("circle ring")
            << Draw([c](DrawSurface& s) { s.Circle(300, 300, 75, c); })
            << Points{{25, 20}, {15, 20}, {20, 15}, {20, 25}} << Points{{20, 20}, {26, 20}};
        QTest::newRow("line from far outside is clipped")
            << Draw([c](DrawSurface& s) { s.Line(-1e12, 150, 1e12, 150, c); })
            << Points{{0, 10}, {39, 10}} << Points{{0, 9}};
        QTest::newRow("not a number draws nothing")
            << Draw([c](DrawSurface& s) { s.Line(qQNaN(), 0, 150, 150, c); }) << Points{}
            << Points{{10, 10}, {0, 0}};
    }
    void primitivesHitExactPixels() {
        QFETCH(Draw, draw);
        QFETCH(Points, drawn);
        QFETCH(Points, untouched);
        ImageSurface s(QSize(40, 40));
        s.SetBackColor(0);
        s.Cls();
        draw(s);
        for (const QPoint& p : drawn + untouched)
            QVERIFY2(s.image().pixel(p) == (drawn.contains(p) ? qRgb(255, 0, 0) : qRgb(0, 0, 0)),
                     qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    }

    // 0x00BBGGRR up to the image: the palette, a background, a pixel read back (none outside).
    void coloursAreBgrAtTheBoundaryOnly() {
        ImageSurface s(QSize(10, 10));
        s.SetBackColor(0x123456);
        s.Cls();
        QCOMPARE(
            (QList<Colour>{PaletteColour(1), PaletteColour(12), FromQColor(s.image().pixel(3, 3)),
                           s.pixelAt(45, 45), s.pixelAt(150, 0)}),
            (QList<Colour>{0x800000, 0x0000FF, 0x123456, 0x123456, NoColour}));
        QCOMPARE(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
    }

    // Text lands inside its measured box, below and right of the point, in the fore colour.
    void textIsMeasuredInTwipsWhateverTheDensity() {
        ImageSurface normal(QSize(200, 50), 15.0);
        ImageSurface dense(QSize(400, 100), 7.5);
        const QString text = QStringLiteral("0.25m");
        QVERIFY(normal.TextHeight(text) > 100.0);
        QVERIFY(qAbs(dense.TextWidth(text) - normal.TextWidth(text)) <
                0.1 * normal.TextWidth(text));
        normal.SetBackColor(0);
        normal.SetForeColor(0xFFFFFF);
        normal.Cls();
        normal.Print(300, 150, text);
        const QRect box = QRectF(20, 10, normal.TextWidth(text) / 15, normal.TextHeight(text) / 15)
                              .toAlignedRect()
                              .adjusted(-1, -1, 1, 1);
        int inside = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 200; ++x)
                if (normal.image().pixel(x, y) != qRgb(0, 0, 0)) {
                    QVERIFY2(box.contains(x, y), "text outside its box");
                    ++inside;
                }
        QVERIFY(inside > 10);
    }

    // Logical pixel 10 is device pixel 20, drawn with a pen of 2. What the screen shows is the
    // backing image, also after a repaint and a resize; a press is reported in twips.
    void widgetKeepsDrawingAtDevicePixels() {
        SurfaceWidget w;
        w.resize(100, 60);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.image().size(), QSize(200, 120));
        QCOMPARE(w.ScaleWidth(), 1500.0);
        w.SetBackColor(0);
        w.Cls();
        w.Line(150, 150, 600, 150, 0x00FF00);
        QCOMPARE(w.image().pixel(20, 21), qRgb(0, 255, 0));
        QCOMPARE(w.image().pixel(20, 22), qRgb(0, 0, 0));
        w.repaint();
        QTRY_COMPARE(w.grab().toImage().pixel(30, 20), qRgb(0, 255, 0));
        w.resize(120, 80);
        QCOMPARE(w.image().size(), QSize(240, 160));
        QCOMPARE(w.image().pixel(30, 20), qRgb(0, 255, 0));
        QCOMPARE(w.image().pixel(230, 150), qRgb(0, 0, 0));
        QSignalSpy pressed(&w, &SurfaceWidget::mousePressed);
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(10, 20));
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(QPointF(pressed[0][2].toDouble(), pressed[0][3].toDouble()), QPointF(150, 300));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"

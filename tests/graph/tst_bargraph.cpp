#include "graph/ClsBarGraph.h"
#include "platform/ImageSurface.h"

#include <QTest>

using graph::ClsBarGraph;
using platform::PaletteColour;

namespace {

// A picture of 6600 x 1500 twips: the scale ends at 6300 and a full bar is 6000 long. It keeps
// what is printed on it.
class Picture : public platform::ImageSurface {
public:
    explicit Picture(int pixelsPerPixel = 1)
        : ImageSurface(QSize(440, 100) * pixelsPerPixel, 15.0 / pixelsPerPixel) {}
    struct Text {
        double x, y;
        QString text;
    };
    QList<Text> texts;
    void Print(double x, double y, const QString& text) override {
        texts.append({x, y, text});
        ImageSurface::Print(x, y, text);
    }
    void Cls() override {
        texts.clear();
        ImageSurface::Cls();
    }
};

// bottom, units per division, divisions, type: the arguments of DrawScale.
using Scale = QList<double>;

void Apply(ClsBarGraph& bars, const Scale& s) {
    bars.DrawScale(float(s[0]), float(s[1]), int(s[2]), int(s[3]));
}

} // namespace

class TestBarGraph : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void labelText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        const std::pair<double, const char*> rows[] = {
            {0, "0"},         {-5, "-5"},       {0.0001, "0.0001"},
            {0.05, "0.05"},   {0.999, "0.999"}, {1, "1.0"},
            {2.25, "2.3"},    {10, "10"},       {1000, "1.0k"},
            {2500, "2.5k"},   {9999, "10.0k"},  {10000, "10k"},
            {12500, "12.5k"}, {1e6, "1.0M"},    {1e7 * double(0.001f), "10k"}};
        for (const auto& [value, text] : rows)
            QTest::addRow("%.10g", value) << value << QString(text);
    }

    void labelText() {
        QFETCH(double, value);
        QTEST(ClsBarGraph::LabelText(value), "text");
    }

    void log10() {
        QCOMPARE(ClsBarGraph::log10(0.001).value_or(0), -3.0);
        QVERIFY(!ClsBarGraph::log10(0) && !ClsBarGraph::log10(-10));
    }

    // Without a surface the scale keeps its default right end: 6200, full bar length 5900.
    void calBarLenght_data() {
        QTest::addColumn<Scale>("scale");
        QTest::addColumn<float>("value");
        QTest::addColumn<double>("length");
        const Scale lin{0, 50, 7, 0};
        const Scale log{0.1, 1, 4, 1};
        QTest::newRow("linear below bottom") << lin << -3.0f << 0.0;
        QTest::newRow("linear at bottom") << lin << 0.0f << 0.0;
        QTest::newRow("linear half way") << lin << 175.0f << 2950.0;
        QTest::newRow("linear above top") << lin << 1e6f << 5900.0;
        QTest::newRow("linear counts from 0") << Scale{10, 10, 5, 0} << 30.0f << 2950.0;
        QTest::newRow("log at bottom") << log << 0.1f << 0.0;
        QTest::newRow("log of 0") << log << 0.0f << 0.0;
        QTest::newRow("log 2.5 decades") << log << 31.622777f << 3687.5;
        QTest::newRow("log above top") << log << 5000.0f << 5900.0;
        QTest::newRow("log 8 decades, 738 each") << Scale{1e-5, 1, 8, 1} << 1e-3f << 1476.0;
    }

    void calBarLenght() {
        QFETCH(Scale, scale);
        QFETCH(float, value);
        QFETCH(double, length);
        ClsBarGraph bars;
        Apply(bars, scale);
        QVERIFY2(qAbs(bars.CalBarLenght(value) - length) < 0.05,
                 qPrintable(QString::number(bars.CalBarLenght(value))));
    }

    void scaleLabels_data() {
        QTest::addColumn<Scale>("scale");
        QTest::addColumn<QString>("labels");
        const auto row = [](const char* name, const Scale& scale, const char* labels) {
            QTest::newRow(name) << scale << QString::fromLatin1(labels);
        };
        row("0-350", {0, 50, 7, 0}, "0 50 100 150 200 250 300 350");
        row("0-40k", {0, 5000, 8, 0}, "0 5.0k 10k 15k 20k 25k 30k 35k 40k");
        row("Log 0.01m-1000", {1e-5, 1, 8, 1}, "0.00001 0.0001 0.001 0.01 0.1 1.0 10 100 1.0k");
        row("Log 1-1M", {1, 1, 6, 1}, "1.0 10 100 1.0k 10k 100k 1.0M");
    }

    // Labels sit centred on their ticks, even positions above the bars and odd ones below.
    void scaleLabels() {
        QFETCH(Scale, scale);
        QFETCH(QString, labels);
        Picture picture;
        ClsBarGraph bars;
        bars.SetOutputObj(&picture);
        Apply(bars, scale);
        const QStringList expected = labels.split(u' ');
        QCOMPARE(picture.texts.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const auto& t = picture.texts[i];
            QCOMPARE(t.text, expected[i]);
            QCOMPARE(t.y, i % 2 == 0 ? 100.0 : 1275.0);
            const double tick = 300 + i * std::nearbyint(6000.0 / scale[2]);
            QCOMPARE(t.x + picture.TextWidth(t.text) / 2, tick);
        }
    }

    // Steps run on the total-field bar of a 0-10 scale: a number is a value, "clear" clears the
    // peaks and "scale20" rescales to 0-20. Each probe is a value on the final scale and what the
    // bar shows there: c bar colour, g grey, b background. The picture has two device pixels per
    // pixel, so that a stray column of one device pixel shows.
    void bars_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("probes");
        const auto row = [](const char* name, const char* steps, const char* probes) {
            QTest::newRow(name) << QString::fromLatin1(steps) << QString::fromLatin1(probes);
        };
        row("at bottom: no bar", "0", "0b 0.1b");
        row("below bottom: no bar", "-2", "0b 0.1b");
        row("rising", "2 6", "0.1c 5.9c 6.1b");
        row("above top: full length", "25", "9.98c");
        row("falling leaves grey", "8 3", "2.9c 3.1g 7.9g 8.1b");
        row("rising into the grey", "8 3 5", "4.9c 5.1g 7.9g 8.1b");
        row("falling to the bottom", "8 0", "0.1g 7.9g 8.1b");
        row("rescale redraws the peak", "2 8 3 scale20", "0.1g 7.9g 8.1b");
        row("rescale, then lower", "8 3 scale20 2", "1.9c 2.1g 7.9g 8.1b");
        row("clear", "8 3 clear", "0.1b 2.9b 7.9b");
        row("clear after full length", "25 clear", "9.98b 10b");
        row("clear, then lower", "8 3 clear 2", "1.9c 2.1b 7.9b");
        row("clear forgets the peak", "8 3 clear scale20", "0.1b 7.9b");
    }

    void bars() {
        QFETCH(QString, steps);
        QFETCH(QString, probes);
        Picture picture(2);
        ClsBarGraph bars;
        bars.SetOutputObj(&picture);
        bars.DrawScale(0, 1, 10, 0);
        for (const QString& step : steps.split(u' ')) {
            if (step == u"clear")
                bars.ClearPeak();
            else if (step == u"scale20")
                bars.DrawScale(0, 2, 10, 0);
            else
                bars.DrawBarXYZ(step.toFloat());
        }
        const QHash<QChar, platform::Colour> shows{
            {u'c', PaletteColour(11)}, {u'g', PaletteColour(7)}, {u'b', PaletteColour(15)}};
        for (const QString& probe : probes.split(u' ')) {
            const double x = 310 + probe.chopped(1).toDouble() * 6000 / bars.TopOfScale();
            QVERIFY2(picture.pixelAt(x, 500) == shows[probe.back()], qPrintable(probe));
        }
    }

    // All four bars with peaks on "Log 0.1-1000"; the picture goes into the build folder.
    void picture() {
        Picture picture;
        picture.SetBackColor(PaletteColour(0));
        picture.SetForeColor(PaletteColour(15));
        ClsBarGraph bars;
        bars.SetOutputObj(&picture);
        const std::array<int, 4> colours{12, 10, 13, 14};
        bars.SetBarXYZColor(PaletteColour(colours[0]));
        bars.SetBarXColor(PaletteColour(colours[1]));
        bars.SetBarYColor(PaletteColour(colours[2]));
        bars.SetBarZColor(PaletteColour(colours[3]));
        bars.DrawScale(0.1f, 1, 4, 1);
        const std::array draw{&ClsBarGraph::DrawBarXYZ, &ClsBarGraph::DrawBarX,
                              &ClsBarGraph::DrawBarY, &ClsBarGraph::DrawBarZ};
        const std::array<double, 4> rowMiddle{500, 725, 900, 1075};
        for (int bar = 0; bar < 4; ++bar) {
            // Up to 10^(2.5 - bar/2), then down by one decade; 1500 twips a decade from 0.1.
            (bars.*draw[bar])(std::pow(10.0f, 2.5f - bar * 0.5f));
            (bars.*draw[bar])(std::pow(10.0f, 1.5f - bar * 0.5f));
            const double peak = 310 + (3.5 - bar * 0.5) * 1500;
            QCOMPARE(picture.pixelAt(peak - 1520, rowMiddle[bar]), PaletteColour(colours[bar]));
            QCOMPARE(picture.pixelAt(peak - 1480, rowMiddle[bar]), PaletteColour(7));
            QCOMPARE(picture.pixelAt(peak - 20, rowMiddle[bar]), PaletteColour(7));
            QCOMPARE(picture.pixelAt(peak + 20, rowMiddle[bar]), PaletteColour(0));
        }
        const QString path = QCoreApplication::applicationDirPath() + "/bargraph.png";
        QVERIFY(picture.save(path));
        QCOMPARE(QImage(path).size(), QSize(440, 100));
    }
};

QTEST_MAIN(TestBarGraph)
#include "tst_bargraph.moc"

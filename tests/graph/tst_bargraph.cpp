#include "graph/ClsBarGraph.h"
#include "platform/ImageSurface.h"

#include <QTest>

using graph::ClsBarGraph;
using platform::PaletteColour;

namespace {

// A picture of 6600 x 1500 twips: the scale ends at 6300 and a full bar is 6000 long. It keeps
// each text printed on it with the point its width is centred on.
class Picture : public platform::ImageSurface {
public:
    explicit Picture(int pixelsPerPixel = 1)
        : ImageSurface(QSize(440, 100) * pixelsPerPixel, 15.0 / pixelsPerPixel) {}
    QStringList texts;
    void Print(double x, double y, const QString& text) override {
        texts << QString("%1 at %2,%3").arg(text).arg(x + TextWidth(text) / 2).arg(y);
        ImageSurface::Print(x, y, text);
    }
};

// A bar graph drawing on its own picture.
struct Bars : ClsBarGraph {
    Picture picture;
    explicit Bars(int pixelsPerPixel = 1) : picture(pixelsPerPixel) { SetOutputObj(&picture); }
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
    void labelTextAndLog() {
        QStringList texts;
        for (double value : {0.0, -5.0, 0.0001, 0.05, 0.999, 1.0, 2.25, 10.0, 1000.0, 2500.0,
                             9999.0, 10000.0, 12500.0, 1e6, 1e7 * double(0.001f)})
            texts << ClsBarGraph::LabelText(value);
        QCOMPARE(texts, QStringList({"0", "-5", "0.0001", "0.05", "0.999", "1.0", "2.3", "10",
                                     "1.0k", "2.5k", "10.0k", "10k", "12.5k", "1.0M", "10k"}));
        QCOMPARE(ClsBarGraph::log10(0.001).value_or(0), -3.0);
        QVERIFY(!ClsBarGraph::log10(0) && !ClsBarGraph::log10(-10));
    }

    // Without a surface the scale keeps its default right end: 6200, full bar length 5900. A
    // linear bar is measured from 0, a logarithmic one from the bottom of the scale.
    void calBarLenght() {
        const auto lengths = [](const Scale& scale, const QList<float>& values) {
            ClsBarGraph bars;
            Apply(bars, scale);
            QList<double> result;
            for (float value : values)
                result << std::round(bars.CalBarLenght(value) * 10) / 10;
            return result;
        };
        QCOMPARE(lengths({0, 50, 7, 0}, {-3, 0, 175, 1e6f}), QList<double>({0, 0, 2950, 5900}));
        QCOMPARE(lengths({10, 10, 5, 0}, {30}), QList<double>({2950}));
        QCOMPARE(lengths({0.1, 1, 4, 1}, {0.1f, 0, 31.622777f, 500, 5000}),
                 QList<double>({0, 0, 3687.5, 5456, 5900}));
        QCOMPARE(lengths({1e-5, 1, 8, 1}, {1e-3f}), QList<double>({1476})); // 738 a decade
    }

    // Labels sit centred on their ticks, even positions above the bars and odd ones below.
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

    void scaleLabels() {
        QFETCH(Scale, scale);
        QFETCH(QString, labels);
        Bars bars;
        Apply(bars, scale);
        const QStringList texts = labels.split(u' ');
        QStringList expected;
        for (int i = 0; i < texts.size(); ++i)
            expected << QString("%1 at %2,%3")
                            .arg(texts[i])
                            .arg(300 + i * std::nearbyint(6000.0 / scale[2]))
                            .arg(i % 2 == 0 ? 100 : 1275);
        QCOMPARE(bars.picture.texts, expected);
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
        Bars bars(2);
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
            QVERIFY2(bars.picture.pixelAt(x, 500) == shows[probe.back()], qPrintable(probe));
        }
    }

    // All four bars in their own colours on "Log 0.1-1000", 1500 twips a decade: each rises to
    // 10^(2.5 - bar/2) and falls a decade, leaving a decade of grey.
    void fourBarsWithPeaks() {
        Bars bars;
        bars.SetBarXYZColor(PaletteColour(12));
        bars.SetBarXColor(PaletteColour(10));
        bars.SetBarYColor(PaletteColour(13));
        bars.SetBarZColor(PaletteColour(14));
        bars.DrawScale(0.1f, 1, 4, 1);
        const std::array draw{&ClsBarGraph::DrawBarXYZ, &ClsBarGraph::DrawBarX,
                              &ClsBarGraph::DrawBarY, &ClsBarGraph::DrawBarZ};
        const std::array<double, 4> rowMiddle{500, 725, 900, 1075};
        QList<platform::Colour> shown, expected;
        for (int bar = 0; bar < 4; ++bar) {
            (bars.*draw[bar])(std::pow(10.0f, 2.5f - bar * 0.5f));
            (bars.*draw[bar])(std::pow(10.0f, 1.5f - bar * 0.5f));
            const double peak = 310 + (3.5 - bar * 0.5) * 1500;
            for (double x : {peak - 1520, peak - 1480, peak - 20, peak + 20})
                shown << bars.picture.pixelAt(x, rowMiddle[bar]);
            expected << PaletteColour(std::array{12, 10, 13, 14}[bar]) << PaletteColour(7)
                     << PaletteColour(7) << PaletteColour(15);
        }
        QCOMPARE(shown, expected);
    }
};

QTEST_MAIN(TestBarGraph)
#include "tst_bargraph.moc"

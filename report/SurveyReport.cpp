#include "report/SurveyReport.h"

#include "files/LogFile.h"
#include "graph/VerticalScale.h"
#include "graph/clsGraph.h"
#include "platform/ImageSurface.h"
#include "platform/PainterSurface.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace report {

namespace {

// The page in twips: the PDF is written at 1440 dots an inch, so that the graph's twips are
// the painter's units.
constexpr int Dpi = 1440;
constexpr double PageWidth = 11906.0; // A4, 210 mm
constexpr double PageHeight = 16838.0;
constexpr double Margin = 1000.0;
constexpr double Right = PageWidth - Margin;
constexpr double Bottom = PageHeight - 1150.0; // the footer goes below
constexpr double ContentWidth = Right - Margin;
constexpr double GraphHeight = 6300.0;
constexpr int MaxPages = 3;

const QString FontFamily = QStringLiteral("DejaVu Sans");
constexpr QRgb Ink = 0x202020;
constexpr QRgb Rule = 0x909090;

// The window's trace colours (red, green, magenta, yellow for the total, X, Y and Z), darker
// so that they read on paper.
constexpr platform::Colour TraceColours[] = {0x0000C8, 0x00A000, 0xB400B4, 0x0090C0};

QFont Font(double points, bool bold = false) {
    QFont font(FontFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// At most the graph's 32000 samples of the rows: a longer log is drawn a bucket of rows a
// sample, each with the time of its first row and the highest value of each column, so that
// no peak is lost from the picture.
class GraphRows : public graph::StoredSamples {
public:
    explicit GraphRows(const std::vector<Row>& rows) : m_rows(rows) {
        const std::size_t count = rows.size();
        const std::size_t max = graph::clsGraph::MaxSamples;
        if (count <= max) return;
        const std::size_t bucket = (count + max - 1) / max;
        for (std::size_t first = 0; first < count; first += bucket) {
            Row sample = rows[first];
            for (std::size_t i = first + 1; i < std::min(first + bucket, count); ++i)
                for (std::size_t c = 1; c < sample.size(); ++c)
                    sample[c] = std::max(sample[c], rows[i][c]);
            m_buckets.push_back(sample);
        }
    }
    int Count() const override { return int(m_buckets.empty() ? m_rows.size() : m_buckets.size()); }
    float Value(int sample, int trace) const override {
        const std::vector<Row>& rows = m_buckets.empty() ? m_rows : m_buckets;
        if (sample < 1 || sample > int(rows.size()) || trace < 1 || trace > 5) return 0.0f;
        return rows[std::size_t(sample - 1)][std::size_t(trace - 1)];
    }

private:
    const std::vector<Row>& m_rows;
    std::vector<Row> m_buckets;
};

QString TimeText(float dayFraction) {
    return files::FormatTimeStr(dayFraction);
}

QString EventTime(qint64 epochMs) {
    if (epochMs == 0) return QStringLiteral("lasting");
    return QDateTime::fromMSecsSinceEpoch(epochMs).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString Duration(int seconds) {
    if (seconds % 60 != 0) return QStringLiteral("%1 s").arg(seconds);
    return QStringLiteral("%1 min").arg(seconds / 60);
}

// Lays the report out from the top of page 1 down, a new page when a block does not fit.
// Laid out once without a painter to count the pages, then again to draw them.
class Layout {
public:
    Layout(const SurveyLog& log, const ReportOptions& options, QPaintDevice& device,
           QPdfWriter* writer, QPainter* painter)
        : m_log(log), m_options(options), m_device(device), m_writer(writer), m_painter(painter) {}

    int Run(int pages) {
        m_pages = pages;
        titleBlock();
        graphBlock();
        statisticsBlock();
        limitBlock();
        footer();
        return m_page;
    }

private:
    double lineHeight(const QFont& font) const { return QFontMetricsF(font, &m_device).height(); }
    double width(const QFont& font, const QString& text) const {
        return QFontMetricsF(font, &m_device).horizontalAdvance(text);
    }
    // Text with its top left corner at (x, y); right-aligned to x when `alignRight`.
    void text(double x, double y, const QString& s, const QFont& font, bool alignRight = false,
              QRgb colour = Ink) {
        if (!m_painter) return;
        if (alignRight) x -= width(font, s);
        m_painter->setFont(font);
        m_painter->setPen(QColor(colour));
        m_painter->drawText(QPointF(x, y + QFontMetricsF(font, &m_device).ascent()), s);
    }
    void rule(double y) {
        if (!m_painter) return;
        m_painter->setPen(QPen(QColor(Rule), 10.0));
        m_painter->drawLine(QPointF(Margin, y), QPointF(Right, y));
    }
    // Room for `height` more, on a new page if need be; false when that would be past the last.
    bool need(double height) {
        if (m_y + height <= Bottom) return true;
        if (m_page >= MaxPages) return false;
        footer();
        ++m_page;
        if (m_writer) m_writer->newPage();
        m_y = Margin;
        return true;
    }
    void heading(const QString& s) {
        const QFont font = Font(11.0, true);
        need(lineHeight(font) * 3.0);
        m_y += 200.0;
        text(Margin, m_y, s, font);
        m_y += lineHeight(font) + 40.0;
        rule(m_y);
        m_y += 80.0;
    }

    void titleBlock() {
        const QFont title = Font(17.0, true);
        const QFont small = Font(8.5);
        text(Margin, m_y, QStringLiteral("Survey report"), title);
        const QString made = QStringLiteral("Varnex ") + m_options.version;
        text(Right, m_y + lineHeight(title) - lineHeight(small), made, small, true);
        m_y += lineHeight(title);
        text(Margin, m_y, m_log.sourceFile, Font(10.0));
        m_y += lineHeight(Font(10.0)) + 120.0;
        rule(m_y);
        m_y += 120.0;

        // The log on the left, its test conditions on the right.
        const QFont body = Font(9.0);
        const QFont label = Font(9.0, true);
        const double line = lineHeight(body) + 30.0;
        QList<QPair<QString, QString>> facts;
        facts.append({QStringLiteral("Probe"),
                      m_log.model.isEmpty() ? QStringLiteral("not named") : m_log.model});
        if (m_log.IsZeta() && !m_log.serialNo.isEmpty())
            facts.append({QStringLiteral("Serial number"), m_log.serialNo});
        if (m_log.IsZeta() && !m_log.calibrationDate.isEmpty())
            facts.append({QStringLiteral("Calibrated"), m_log.calibrationDate});
        if (!m_log.date.isEmpty()) facts.append({QStringLiteral("Date"), m_log.date});
        if (!m_log.rows.empty()) {
            facts.append({QStringLiteral("First row"), TimeText(m_log.rows.front()[0])});
            facts.append({QStringLiteral("Last row"), TimeText(m_log.rows.back()[0])});
        }
        facts.append({QStringLiteral("Rows"), QString::number(m_log.rows.size())});
        facts.append({QStringLiteral("Units"), m_log.units});
        double left = m_y;
        for (const auto& [name, value] : facts) {
            text(Margin, left, name, label);
            text(Margin + 1900.0, left, value, body);
            left += line;
        }
        const double column = Margin + ContentWidth / 2.0;
        double right = m_y;
        text(column, right, QStringLiteral("Test Conditions"), label);
        right += line;
        if (m_log.notes.isEmpty()) {
            text(column, right, QStringLiteral("none recorded"), body, false, Rule);
            right += line;
        }
        for (const auto& [name, value] : m_log.notes) {
            text(column, right, name, body, false, 0x505050);
            text(column + 2200.0, right, value.isEmpty() ? QStringLiteral("-") : value, body);
            right += line;
        }
        m_y = std::max(left, right) + 60.0;
    }

    void graphBlock() {
        heading(QStringLiteral("The whole log"));
        const QFont legend = Font(8.5);
        need(GraphHeight + lineHeight(legend) + 100.0);
        if (m_painter) drawGraph(m_y);
        m_y += GraphHeight + 40.0;
        // Which colour is which column.
        double x = Margin + 600.0;
        const QStringList names = m_log.ColumnNames();
        for (int c = 0; c < int(names.size()); ++c) {
            const double mid = m_y + lineHeight(legend) / 2.0;
            if (m_painter) {
                m_painter->setPen(QPen(platform::ToQColor(TraceColours[c]), 40.0));
                m_painter->drawLine(QPointF(x, mid), QPointF(x + 400.0, mid));
            }
            text(x + 500.0, m_y, names[c], legend);
            x += 900.0 + width(legend, names[c]);
        }
        m_y += lineHeight(legend) + 60.0;
    }

    void drawGraph(double top) {
        m_painter->save();
        platform::PainterSurface surface(*m_painter, QSizeF(PageWidth, PageHeight));
        surface.setFont(Font(7.5));
        surface.setPenWidth(9.0);
        surface.SetBackColor(0xFFFFFF);
        surface.SetForeColor(0x202020);
        GraphRows rows(m_log.rows);
        graph::clsGraph g;
        g.SetOutputObj(&surface);
        g.SetStore(&rows);
        g.SetBackGround(0xFFFFFF);
        g.SetGridLineColor(0x707070);
        g.SetConnectPts(1);
        g.SetPixelSize(1);
        g.SetMark1(0.0f);
        g.SetLeft(int(Margin));
        g.SetTop(int(top + 200.0));
        g.SetWidth(int(ContentWidth));
        g.SetHeight(int(GraphHeight - 200.0));
        g.SetDisVerLines(2);
        g.SetDisHorLines(1);
        g.SetNo_VerMinDiv(1);
        g.SetNo_HorMinDiv(1);
        g.SetHorUnitsDesc(QStringLiteral("Time"));
        g.SetVerUnitsDesc(m_log.units);
        const int traces = int(m_log.ColumnNames().size());
        for (int t = 0; t < traces; ++t) {
            g.TraceSet(graph::clsGraph::TraceTotal + t, 1);
            g.SetChanLineColour(graph::clsGraph::TraceTotal + t, TraceColours[t]);
        }
        // The log's own scale, or one that holds its values, as the window shows a loaded log.
        float highest = 0.0f;
        for (const Row& row : m_log.rows)
            for (int c = 1; c <= traces; ++c)
                highest = std::max(highest, row[std::size_t(c)]);
        std::optional<graph::VerticalScale> scale;
        if (m_log.graphScale != QLatin1String("Auto"))
            scale = graph::FindVerticalScale(m_log.graphScale);
        if (!scale) scale = graph::FindVerticalScale(graph::ScaleHolding(highest));
        g.SetNoVerDiv(scale->divisions);
        g.SetGraphType(scale->log ? graph::clsGraph::Logarithmic : graph::clsGraph::Linear);
        if (scale->log) {
            g.SetYAxisLogMax(scale->top);
        } else {
            g.SetVerUnitsPerDiv(scale->unitsPerDiv);
            g.SetVerUnitsOffset(scale->centre);
        }
        g.ZoomOut();
        g.Graph(0);
        g.DrawLines();
        surface.flush();
        m_painter->restore();
    }

    void statisticsBlock() {
        heading(QStringLiteral("Figures of each column (") + m_log.units + QLatin1Char(')'));
        const QFont body = Font(9.0);
        const QFont label = Font(9.0, true);
        const double line = lineHeight(body) + 40.0;
        // Right edges of the number columns.
        const double edges[] = {Margin + 3700.0, Margin + 5100.0, Margin + 6500.0, Margin + 8100.0,
                                Right};
        const QStringList titles{QStringLiteral("Minimum"), QStringLiteral("Maximum"),
                                 QStringLiteral("at"), QStringLiteral("Mean"),
                                 QStringLiteral("RMS")};
        const std::vector<ColumnStats> stats = Statistics(m_log);
        need(line * double(stats.size() + 1));
        text(Margin, m_y, QStringLiteral("Column"), label);
        for (int i = 0; i < 5; ++i)
            text(edges[i], m_y, titles[i], label, true);
        m_y += line;
        for (const ColumnStats& s : stats) {
            text(Margin, m_y, s.name, body);
            if (s.count == 0) {
                text(edges[0], m_y, QStringLiteral("no values"), body, true, Rule);
            } else {
                const QString cells[] = {ValueText(s.minimum), ValueText(s.maximum),
                                         TimeText(s.maximumTime), ValueText(s.mean),
                                         ValueText(s.rms)};
                for (int i = 0; i < 5; ++i)
                    text(edges[i], m_y, cells[i], body, true);
            }
            m_y += line;
        }
    }

    void limitBlock() {
        heading(QStringLiteral("Exposure limit"));
        const QFont body = Font(9.0);
        const QFont label = Font(9.0, true);
        const double line = lineHeight(body) + 40.0;
        if (!m_options.limit) {
            need(line);
            text(Margin, m_y, QStringLiteral("No exposure limit was applied to this log."), body);
            m_y += line;
            return;
        }
        const LimitFigures f = AgainstLimit(m_log, *m_options.limit);
        QList<QPair<QString, QString>> lines;
        lines.append({QStringLiteral("Limit"), f.name});
        if (!f.applies) {
            lines.append({QString(), QStringLiteral("No reference level applies to readings in ") +
                                         m_log.units + QLatin1Char('.')});
        } else {
            lines.append({QStringLiteral("Reference level"),
                          ValueText(f.limit) + QLatin1Char(' ') + m_log.units});
            lines.append({QStringLiteral("Highest instantaneous"),
                          measure::ShareText(f.highestPercent) + QStringLiteral(" of limit at ") +
                              TimeText(f.highestTime) + QStringLiteral(" (") +
                              ValueText(f.highestValue) + QLatin1Char(' ') + m_log.units +
                              QLatin1Char(')')});
            QString averaged = QStringLiteral("none");
            if (f.highestAveraged) {
                averaged = measure::ShareText(*f.highestAveraged) +
                           QStringLiteral(" of limit at ") + TimeText(f.highestAveragedTime);
                if (f.secondsCovered < f.averagingSeconds)
                    averaged +=
                        QStringLiteral(" (over the %1 logged)").arg(Duration(f.secondsCovered));
            }
            lines.append(
                {QStringLiteral("Highest %1 average").arg(Duration(f.averagingSeconds)), averaged});
        }
        need(line * double(lines.size()));
        for (const auto& [name, value] : lines) {
            text(Margin, m_y, name, label);
            text(Margin + 2900.0, m_y, value, body);
            m_y += line;
        }
        eventsBlock(body, label, line);
    }

    void eventsBlock(const QFont& body, const QFont& label, double line) {
        m_y += 120.0;
        need(line * 2.0);
        const std::vector<measure::ExposureEvent>& events = m_options.events;
        if (events.empty()) {
            text(Margin, m_y, QStringLiteral("No warning or alarm level was reached."), body);
            m_y += line;
            return;
        }
        QString title = QStringLiteral("Levels reached");
        if (!m_options.eventsLimitName.isEmpty())
            title +=
                QStringLiteral(" (watched against ") + m_options.eventsLimitName + QLatin1Char(')');
        text(Margin, m_y, title, label);
        m_y += line;
        const double edges[] = {Margin, Margin + 1300.0, Margin + 4300.0, Margin + 8100.0, Right};
        const QStringList titles{QStringLiteral("Level"), QStringLiteral("Start"),
                                 QStringLiteral("End"), QStringLiteral("Peak % of limit"),
                                 QStringLiteral("Peak value")};
        const auto header = [&] {
            for (int i = 0; i < 5; ++i)
                text(edges[i], m_y, titles[i], label, i >= 3);
            m_y += line;
        };
        header();
        for (std::size_t i = 0; i < events.size(); ++i) {
            const int page = m_page;
            // The last line of the last page tells what did not fit.
            if (m_y + 2.0 * line > Bottom && m_page == MaxPages) {
                text(Margin, m_y,
                     QStringLiteral("%1 more events are not listed here: see the events file.")
                         .arg(events.size() - i),
                     body);
                m_y += line;
                return;
            }
            need(line);
            if (page != m_page) header();
            const measure::ExposureEvent& e = events[i];
            const QString cells[] = {
                e.level == measure::ExposureLevel::Alarm ? QStringLiteral("Alarm")
                                                         : QStringLiteral("Warning"),
                EventTime(e.startMs), EventTime(e.endMs), measure::ShareText(e.peakPercent),
                ValueText(e.peakValue) + QLatin1Char(' ') + e.units};
            for (int c = 0; c < 5; ++c)
                text(edges[c], m_y, cells[c], body, c >= 3);
            m_y += line;
        }
    }

    void footer() {
        const QFont small = Font(8.0);
        const double y = PageHeight - 800.0;
        rule(y - 80.0);
        text(Margin, y, QStringLiteral("Made from ") + m_log.sourceFile, small, false, 0x505050);
        text(Right, y, QStringLiteral("Page %1 of %2").arg(m_page).arg(m_pages), small, true,
             0x505050);
    }

    const SurveyLog& m_log;
    const ReportOptions& m_options;
    QPaintDevice& m_device;
    QPdfWriter* m_writer;
    QPainter* m_painter;
    int m_page = 1;
    int m_pages = 1;
    double m_y = Margin;
};

void SetUp(QPdfWriter& writer, const SurveyLog& log) {
    writer.setResolution(Dpi);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(QStringLiteral("Survey report: ") + QFileInfo(log.sourceFile).fileName());
    writer.setCreator(QStringLiteral("Varnex"));
}

} // namespace

int PageCountOf(const SurveyLog& log, const ReportOptions& options) {
    QByteArray nothing;
    QBuffer buffer(&nothing);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    SetUp(writer, log);
    return Layout(log, options, writer, nullptr, nullptr).Run(1);
}

void WriteReport(const SurveyLog& log, const ReportOptions& options, QIODevice& device) {
    QPdfWriter writer(&device);
    SetUp(writer, log);
    const int pages = Layout(log, options, writer, nullptr, nullptr).Run(1);
    QPainter painter(&writer);
    painter.setRenderHint(QPainter::Antialiasing);
    Layout(log, options, writer, &writer, &painter).Run(pages);
    painter.end();
}

bool SaveReport(const SurveyLog& log, const ReportOptions& options, const QString& path,
                QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    WriteReport(log, options, file);
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace report

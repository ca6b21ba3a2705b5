#include "report/ReportCommand.h"

#include "files/LogFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace report {

namespace {

const QString Usage =
    QStringLiteral("usage: varnex-report LOG.csv -o REPORT.pdf [--limit KEY [--frequency F]]\n"
                   "  KEY: %1\n"
                   "  F: the source's frequency, e.g. 900MHz, 2.45GHz (none: the lowest level over "
                   "0.1 MHz - 6 GHz)\n");

// The page count that page 1's header states ("Page,1 of 3"); 0 when it states none.
int StatedPages(const files::LoadedLog& page) {
    for (const auto& [label, value] : page.fields) {
        if (label != QLatin1String("Page")) continue;
        const QStringList parts = value.split(QLatin1String(" of "));
        bool ok = false;
        const int pages = parts.size() == 2 ? parts[1].trimmed().toInt(&ok) : 0;
        return ok && pages > 0 ? pages : 0;
    }
    return 0;
}

} // namespace

bool ParseCommandLine(const QStringList& arguments, CommandLine* line, QString* error) {
    *line = CommandLine{};
    QString limitKey;
    QString frequency;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const auto value = [&](QString* into) {
            if (i + 1 >= arguments.size()) {
                *error = a + QStringLiteral(" needs a value.");
                return false;
            }
            *into = arguments[++i];
            return true;
        };
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (!value(&line->reportPath)) return false;
        } else if (a == QLatin1String("--limit")) {
            if (!value(&limitKey)) return false;
        } else if (a == QLatin1String("--frequency")) {
            if (!value(&frequency)) return false;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            *error = QStringLiteral("unknown option ") + a + u'.';
            return false;
        } else if (line->logPath.isEmpty()) {
            line->logPath = a;
        } else {
            *error = QStringLiteral("one log only: ") + a + QStringLiteral(" is one too many.");
            return false;
        }
    }
    if (line->logPath.isEmpty() || line->reportPath.isEmpty()) {
        *error = QStringLiteral("a log and the report's file (-o) are needed.");
        return false;
    }
    if (limitKey.isEmpty()) {
        if (!frequency.isEmpty()) {
            *error = QStringLiteral("--frequency goes with --limit.");
            return false;
        }
        return true;
    }
    measure::LimitChoice choice;
    if (!measure::SetLimitKey(limitKey, choice)) {
        *error = QStringLiteral("no limit is named ") + limitKey + u'.';
        return false;
    }
    choice.mostRestrictive = frequency.isEmpty();
    if (!frequency.isEmpty()) {
        const std::optional<double> mhz = measure::ParseFrequency(frequency);
        if (!mhz) {
            *error = frequency + QStringLiteral(" is not a frequency.");
            return false;
        }
        choice.frequencyMHz = *mhz;
    }
    line->limit = choice;
    return true;
}

ReadLogResult ReadLogPages(const QString& path) {
    ReadLogResult result;
    std::vector<files::LoadedLog> pages;
    for (int page = 1;; ++page) {
        const QString file = files::PageFileName(path, page);
        const QString shown = QDir::toNativeSeparators(file);
        // Past page 1, the pages the header states, or as many as there are.
        const int stated = pages.empty() ? 0 : StatedPages(pages.front());
        if (page > 1 && stated > 0 && page > stated) break;
        QFile in(file);
        if (!in.exists()) {
            if (page == 1 || stated > 0) {
                result.error = shown + QStringLiteral(": the file is missing.");
                return result;
            }
            break;
        }
        if (!in.open(QIODevice::ReadOnly)) {
            result.error = shown + QStringLiteral(": ") + in.errorString();
            return result;
        }
        const files::LogReadResult read = files::ReadLog(in.readAll());
        if (!read.ok) {
            result.error =
                shown + QStringLiteral(": ") +
                (read.line > 0 ? QStringLiteral("line %1: ").arg(read.line) : QString()) +
                read.error;
            return result;
        }
        for (const QString& warning : read.log.warnings)
            result.warnings << shown + QStringLiteral(": ") + warning;
        pages.push_back(read.log);
    }
    result.log = FromPages(pages, QFileInfo(path).fileName());
    if (result.log.rows.empty()) {
        result.error = QDir::toNativeSeparators(path) + QStringLiteral(": the log holds no rows.");
        return result;
    }
    result.events = files::ReadEventsFile(files::EventsFileName(path));
    result.ok = true;
    return result;
}

int RunReport(const QStringList& arguments, const QString& version, QTextStream& out,
              QTextStream& err) {
    CommandLine line;
    QString error;
    if (!ParseCommandLine(arguments, &line, &error)) {
        err << "varnex-report: " << error << '\n'
            << Usage.arg(measure::LimitKeys().join(QStringLiteral(", ")));
        return BadCommandLine;
    }
    const ReadLogResult read = ReadLogPages(line.logPath);
    if (!read.ok) {
        err << "varnex-report: the log cannot be read: " << read.error
            << "\nNo report was written.\n";
        return LogUnreadable;
    }
    for (const QString& warning : read.warnings)
        err << "varnex-report: " << warning << '\n';
    ReportOptions options;
    options.limit = line.limit;
    options.events = read.events.events;
    options.eventsLimitName = read.events.limitName;
    options.version = version;
    if (!SaveReport(read.log, options, line.reportPath, &error)) {
        err << "varnex-report: the report could not be written to "
            << QDir::toNativeSeparators(line.reportPath) << ": " << error << '\n';
        return NotWritten;
    }
    out << "Report of " << read.log.rows.size() << " rows written to "
        << QDir::toNativeSeparators(line.reportPath) << '\n';
    return Done;
}

} // namespace report

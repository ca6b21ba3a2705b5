#include "files/ExposureEvents.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace files {

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QString TimeText(qint64 epochMs) {
    // A format string, not the locale's: the same digits and separators everywhere.
    return QDateTime::fromMSecsSinceEpoch(epochMs).toString(TimeFormat);
}

// Local time to the second as the file has it; 0 for anything else.
qint64 EpochMs(const QString& text) {
    const QDateTime time = QDateTime::fromString(text.trimmed(), TimeFormat);
    return time.isValid() ? time.toMSecsSinceEpoch() : 0;
}

} // namespace

QString EventsFileName(const QString& pagePath) {
    const QString suffix = QFileInfo(pagePath).suffix();
    const QString stem = suffix.isEmpty() ? pagePath : pagePath.chopped(suffix.size() + 1);
    return stem + QStringLiteral("_events.csv");
}

QByteArray EventsFileText(const QString& limitName,
                          const std::vector<measure::ExposureEvent>& events) {
    const QString eol = QStringLiteral("\r\n");
    QString text = QStringLiteral("Events,") + limitName + eol +
                   QStringLiteral("Level,Start,End,Peak % of limit,Peak value,Units") + eol;
    for (const measure::ExposureEvent& e : events) {
        // QString::number always writes '.', whatever the locale.
        text += (e.level == measure::ExposureLevel::Alarm ? QStringLiteral("Alarm")
                                                          : QStringLiteral("Warning")) +
                u',' + TimeText(e.startMs) + u',' + (e.endMs ? TimeText(e.endMs) : QString()) +
                u',' + QString::number(e.peakPercent, 'f', 1) + u',' +
                QString::number(e.peakValue, 'g', 4) + u',' + e.units + eol;
    }
    return text.toLatin1();
}

EventsFile ParseEventsText(const QByteArray& text) {
    EventsFile file;
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    if (lines.isEmpty() || !lines.front().startsWith("Events,")) return file;
    file.found = true;
    file.limitName = QString::fromLatin1(lines.front().mid(7));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = QString::fromLatin1(lines[i]);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1String("Level,"))) continue;
        // Units are the rest of the line, whatever they hold.
        QStringList fields = line.split(u',');
        if (fields.size() > 6) fields[5] = fields.mid(5).join(u',');
        bool percentOk = false;
        bool valueOk = false;
        measure::ExposureEvent e;
        if (fields.size() >= 6) {
            e.startMs = EpochMs(fields[1]);
            e.endMs = EpochMs(fields[2]);
            e.peakPercent = fields[3].toDouble(&percentOk);
            e.peakValue = fields[4].toDouble(&valueOk);
            e.units = fields[5];
        }
        const bool level =
            fields[0] == QLatin1String("Alarm") || fields[0] == QLatin1String("Warning");
        // A still lasting event has no end; any other end must be a time.
        if (!level || !percentOk || !valueOk || e.startMs == 0 ||
            (e.endMs == 0 && !fields[2].trimmed().isEmpty())) {
            ++file.skipped;
            continue;
        }
        e.level = fields[0] == QLatin1String("Alarm") ? measure::ExposureLevel::Alarm
                                                      : measure::ExposureLevel::Warning;
        file.events.push_back(e);
    }
    return file;
}

EventsFile ReadEventsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return ParseEventsText(file.readAll());
}

} // namespace files

#include "files/ExposureEvents.h"

#include <QDateTime>
#include <QFileInfo>

namespace files {

namespace {

QString TimeText(qint64 epochMs) {
    // A format string, not the locale's: the same digits and separators everywhere.
    return QDateTime::fromMSecsSinceEpoch(epochMs).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
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

} // namespace files

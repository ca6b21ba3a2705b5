#include "files/ConfigFile.h"

#include "measure/ZetaUnits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <optional>

namespace files {
namespace {

const QString FileName = QStringLiteral("Varnex.cfg");

// How a line's value is read: Text up to the next comma, Rest to the end of the line; Short and
// Long are 16- and 32-bit integers, Single a float, Byte 0 to 255, Flag "True"/"False";
// Dropped is read but not kept.
enum class Kind { Text, Rest, Short, Long, Single, Byte, Flag, Dropped };

// The file in order: key as written, how the value is read, and the member that holds it.
// Reading and writing both walk this one list, so they cannot drift apart.
template <class C, class Visit> void eachLine(C& c, Visit&& line) {
    line("ProbeUnits,", Kind::Text, c.ProbeUnits);
    line("GraphScale,", Kind::Text, c.GraphScaleStr);
    line("LogScaleOn,", Kind::Short, c.LogScaleOn);
    line("Averaging,", Kind::Short, c.Averaging);
    line("CommPort,", Kind::Short, c.CommPortNo);
    line("GraphSamplesPerDiv,", Kind::Short, c.SamPerDivSetting);
    line("TextUpdatePerSecond,", Kind::Short, c.TextUpdatePerSecond);
    line("Exposure,", Kind::Text, c.Exposure);
    line("HorizontalLinesOn,", Kind::Short, c.HorizontalLinesOn);
    line("Path,", Kind::Rest, c.Path);
    line("BaudRate,", Kind::Rest, c.BaudRate);
    line("PlotComposite,", Kind::Short, c.PlotComposite);
    line("ExposureFrame,", Kind::Flag, c.ExposureFrame);
    line("StatusBar,", Kind::Flag, c.StatusBar);
    line("MaxSpeed,", Kind::Flag, c.MaxSpeed);
    line("UpdateBattTemp,", Kind::Dropped, c.UpdateBattTempTick);
    line("Multiplex,", Kind::Flag, c.Multiplex);
    line("AutoRange,", Kind::Short, c.AutoRange);
    line("GraphBackGroundColor,", Kind::Long, c.GraphBackGroundColor);
    line("GraphGridLineColor,", Kind::Long, c.GraphGridLineColor);
    line("GraphXYZaxisColor,", Kind::Long, c.GraphXYZaxisColor);
    line("GraphXaxisColor,", Kind::Long, c.GraphXaxisColor);
    line("GraphYaxisColor,", Kind::Long, c.GraphYaxisColor);
    line("GraphZaxisColor,", Kind::Long, c.GraphZaxisColor);
    line("ReadTimer,", Kind::Short, c.ReadTimer);
    line("RthresEnabled,", Kind::Byte, c.RthresEnabled);
    line("SampleRate,", Kind::Text, c.SampleRate);
    line("UpdateBattTemp,", Kind::Short, c.BattUpdateMinutes);
    line("GraphScaleAuto,", Kind::Short, c.GraphScaleAuto);
    line("TemperatureCelsius,", Kind::Short, c.TemperatureCelsius);
    line("AlarmEnable, ", Kind::Short, c.AlarmEnable);
    line("AlarmValue, ", Kind::Single, c.AlarmValue);
    line("GraphTextColor, ", Kind::Long, c.GraphTextColor);
    line("BoxColor, ", Kind::Long, c.BoxColor);
    line("MatchBarGraphToScatt, ", Kind::Short, c.MatchBarGraphToScatt);
    line("FormBackColor, ", Kind::Long, c.FormBackColor);
    line("LogScaleMinDivOn, ", Kind::Short, c.LogScaleMinDivOn);
    line("MinDivColor, ", Kind::Long, c.MinDivColor);
    line("SaveFileName, ", Kind::Rest, c.SaveFileName);
    line("PeriodicInterval, ", Kind::Short, c.PeriodicInterval);
    line("PeriodicIntervalEnabled, ", Kind::Short, c.PeriodicIntervalEnabled);
}

// --- writing ------------------------------------------------------------------------------

QString valueText(const QString& v) {
    QString text = v;
    return text.replace(u'\r', u' ').replace(u'\n', u' ');
}
QString valueText(int v) {
    return QString::number(v);
}
QString valueText(quint8 v) {
    return QString::number(v);
}
QString valueText(float v) {
    return QString::number(v, 'g', 7);
}
QString valueText(bool v) {
    return v ? QStringLiteral("True") : QStringLiteral("False");
}

// --- reading ------------------------------------------------------------------------------

// Lines of the file; CR LF, LF and CR alone all end a line.
QStringList splitLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text.split(u'\n');
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The value field: after the key's comma with leading blanks skipped, up to the next comma or,
// for a value that takes the rest, to the end of the line. None when the line has no comma.
std::optional<QString> valueField(const QString& line, bool rest) {
    qsizetype from = line.indexOf(u',');
    if (from < 0) return std::nullopt;
    ++from;
    while (from < line.size() && isBlank(line[from]))
        ++from;
    const qsizetype to = rest ? -1 : line.indexOf(u',', from);
    return to < 0 ? line.mid(from) : line.mid(from, to - from);
}

// Each take* converts a field into its member and leaves the member alone when it cannot.
bool take(const QString& field, Kind, QString& v) {
    v = field;
    return true;
}

bool take(const QString& field, Kind kind, int& v) {
    bool ok = false;
    const int n = field.trimmed().toInt(&ok, 10);
    if (!ok || (kind == Kind::Short && (n < -32768 || n > 32767))) return false;
    v = n;
    return true;
}

bool take(const QString& field, Kind, quint8& v) {
    bool ok = false;
    const uint n = field.trimmed().toUInt(&ok, 10);
    if (!ok || n > 255) return false;
    v = quint8(n);
    return true;
}

bool take(const QString& field, Kind, float& v) {
    bool ok = false;
    const float x = field.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(x)) return false;
    v = x;
    return true;
}

bool take(const QString& field, Kind kind, bool& v) {
    if (kind == Kind::Dropped) return true;
    const QString t = field.trimmed();
    if (t.compare(u"True", Qt::CaseInsensitive) == 0) {
        v = true;
    } else if (t.compare(u"False", Qt::CaseInsensitive) == 0) {
        v = false;
    } else {
        return false;
    }
    return true;
}

// A file can be created in folder (a probe file is made and removed at once).
bool canCreateFileIn(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(folder + QStringLiteral("/.Varnex-XXXXXX"));
    return probe.open();
}

} // namespace

LoadResult LoadCfg(const QString& filePath, Config& cfg) {
    LoadResult result;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) return result;
    const QStringList lines = splitLines(QString::fromLatin1(file.readAll()));
    file.close();

    bool stopped = false;
    eachLine(cfg, [&](const char*, Kind kind, auto& value) {
        if (stopped) return;
        const int n = result.linesRead;
        const std::optional<QString> field =
            n < lines.size() ? valueField(lines[n], kind == Kind::Rest) : std::nullopt;
        if (!field || !take(*field, kind, value)) {
            stopped = true;
            return;
        }
        ++result.linesRead;
    });
    result.complete = !stopped;
    if (!result.complete) return result;

    if (const measure::ZetaUnit* unit = measure::ZetaUnitOfText(cfg.ProbeUnits))
        cfg.ZetaUnitsCode = unit->code;
    return result;
}

bool SaveCfg(const QString& filePath, const Config& cfg, QString* error) {
    QString text;
    eachLine(cfg, [&](const char* key, Kind, const auto& value) {
        text += QLatin1String(key) + valueText(value) + QStringLiteral("\r\n");
    });
    const QByteArray bytes = text.toLatin1();

    QSaveFile file(filePath);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error) *error = file.errorString();
    return false;
}

QString ConfigFilePath(const QString& programFolder, const QString& fallbackFolder) {
    if (canCreateFileIn(programFolder)) return programFolder + u'/' + FileName;
    QDir().mkpath(fallbackFolder);
    return fallbackFolder + u'/' + FileName;
}

QString ConfigFilePath(const QString& programFolder) {
    return ConfigFilePath(programFolder,
                          QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString ParsePathFile(const QString& path, int part) {
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    if (part == 1) return cut < 0 ? QString() : path.left(cut);
    return path.mid(cut + 1);
}

} // namespace files

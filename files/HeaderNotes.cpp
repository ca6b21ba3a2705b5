#include "files/HeaderNotes.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

namespace files {

namespace {

// Single-byte text: what lies beyond Latin-1 becomes '?', one per character (a surrogate pair
// is one character).
QByteArray toSingleByte(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF) {
            out += char(c.unicode());
        } else {
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
            out += '?';
        }
    }
    return out;
}

// Splits one non-empty line into the row: the first comma ends the leading field, the last
// comma ends the label. A line without a comma leaves the row as it was.
void splitInto(const QString& line, HeaderNotes::Note& note) {
    const qsizetype first = line.indexOf(u',');
    if (first < 0) return;
    note.lead = line.left(first).trimmed();
    const qsizetype last = line.lastIndexOf(u',');
    if (last == first) {
        note.label = line.mid(first + 1).trimmed();
        return;
    }
    note.label = line.mid(first + 1, last - first - 1).trimmed();
    // A comma that ends the line leaves an empty value (the label keeps its inner commas).
    note.value = line.mid(last + 1).trimmed();
}

// A line break inside a field would split its note in two on the next reading.
QString oneLine(QString field) {
    return field.replace(u'\r', u' ').replace(u'\n', u' ');
}

std::optional<QByteArray> readFile(const QString& filePath) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
}

} // namespace

const QByteArray HeaderNotes::StartingText =
    "One prompt a line: a number then the prompt then the answer last given (commas between)\r\n"
    "1,Operator,\r\n"
    "2,Site,\r\n"
    "3,Probe position,\r\n"
    "4,Antenna,\r\n"
    "5,Remarks,\r\n";

bool HeaderNotes::InstallStartingFile(const QString& filePath, QString* error) {
    if (QFile::exists(filePath)) return true;
    QSaveFile file(filePath);
    if (file.open(QIODevice::WriteOnly) && file.write(StartingText) == StartingText.size() &&
        file.commit())
        return true;
    if (error) *error = file.errorString();
    return false;
}

bool HeaderNotes::RefreshNoteQuery() {
    if (m_path.isEmpty()) return false;
    const std::optional<QByteArray> now = readFile(m_path);
    if (now == m_readBytes) return false;
    // The answers given this session, by prompt.
    QList<QPair<QString, QString>> entered;
    for (int i = 1; i <= std::min(NoteCount, MaxNotes); ++i) {
        const Note& note = HeaderNotes[std::size_t(i)];
        if (!note.label.isEmpty() && note.value != m_valuesRead[std::size_t(i)])
            entered.append({note.label, note.value});
    }
    LoadNoteQuery(m_path);
    for (int i = 1; i <= std::min(NoteCount, MaxNotes); ++i)
        for (const auto& [label, value] : entered)
            if (HeaderNotes[std::size_t(i)].label == label)
                HeaderNotes[std::size_t(i)].value = value;
    return true;
}

void HeaderNotes::LoadNoteQuery(const QString& filePath) {
    NoteCount = 0;
    m_lines.clear();
    HeaderNotes = {};
    m_path = filePath;
    m_readBytes = readFile(filePath);
    m_valuesRead = {};
    if (!m_readBytes) return;
    const QByteArray& bytes = *m_readBytes;

    QString text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QStringList lines = text.split(u'\n');
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty()) continue;
        // The table holds MaxNotes notes; the lines after them are kept as they are.
        const bool row = NoteCount < MaxNotes;
        if (!row || !line.contains(u',')) {
            if (row) ++NoteCount; // a row without a label
            m_lines.append({line, row ? NoteCount : 0, true});
            continue;
        }
        ++NoteCount;
        splitInto(line, HeaderNotes[NoteCount]);
        m_valuesRead[std::size_t(NoteCount)] = HeaderNotes[NoteCount].value;
        m_lines.append({line, NoteCount, false});
    }
}

bool HeaderNotes::SaveNoteQuery(const QString& filePath) {
    if (filePath == m_path) RefreshNoteQuery();
    const int count = std::min(NoteCount, MaxNotes);
    if (count <= 0) return true;

    const auto noteLine = [this](int row) {
        const Note& note = HeaderNotes[std::size_t(row)];
        return oneLine(note.lead) + u',' + oneLine(note.label) + u',' + oneLine(note.value) +
               QStringLiteral("\r\n");
    };
    QString text;
    for (const Line& line : m_lines)
        if (line.row <= count)
            text += line.verbatim ? line.text + QStringLiteral("\r\n") : noteLine(line.row);
    // Rows that did not come from the file follow it.
    for (int i = 1; i <= count; ++i)
        if (std::none_of(m_lines.cbegin(), m_lines.cend(),
                         [i](const Line& l) { return l.row == i; }))
            text += noteLine(i);
    const QByteArray bytes = toSingleByte(text);

    // Written aside and put in place at the end, so a failed write keeps the old file.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return false;
    if (filePath == m_path) {
        m_readBytes = bytes;
        for (int i = 1; i <= count; ++i)
            m_valuesRead[std::size_t(i)] = HeaderNotes[std::size_t(i)].value;
    }
    return true;
}

} // namespace files

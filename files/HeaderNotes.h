#pragma once
// Header notes: the "Test Conditions" prompts kept in "testquery.txt" in the data folder, one
// note per non-empty line (leading field, label, value), read at start-up and written back at
// exit so that the values entered become the next defaults. The user may edit the file while
// the program runs: a changed file is read again before it is used or written, so an edit is
// never overwritten.
#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace files {

class HeaderNotes {
public:
    static constexpr int MaxNotes = 25;
    static inline const QString FileName = QStringLiteral("testquery.txt");

    struct Note {
        QString lead, label, value;
    };

    // What a first run finds in the notes file: a line on the format (a line without a comma
    // is no prompt) and five prompts.
    static const QByteArray StartingText;
    // Writes the starting file when there is no notes file; false when it could not be made.
    static bool InstallStartingFile(const QString& filePath, QString* error = nullptr);

    // Reads the notes file; a missing file gives no notes. Blank lines are skipped; the first
    // MaxNotes lines are the notes. Lines after them, and note lines without a comma, are
    // kept as they are and written back in their place.
    void LoadNoteQuery(const QString& filePath);
    // Writes the notes back (single-byte text, CR LF); with no notes the file is left as it is.
    // False when the file could not be written, in which case the old file stays.
    // A file changed since it was read is read again first; values entered this session are
    // kept for the prompts of the same label.
    bool SaveNoteQuery(const QString& filePath);
    // Reads the file again if it changed since it was read (an edit in the text editor), with
    // the values entered this session kept; true when it had changed.
    bool RefreshNoteQuery();

    int NoteCount = 0;
    std::array<Note, MaxNotes + 1> HeaderNotes{}; // rows 1..NoteCount

private:
    // The lines of the file as read, with the note row they are (0 after the last row); a
    // row with a label is written from its fields, any other line as it was.
    struct Line {
        QString text;
        int row = 0;
        bool verbatim = false;
    };
    QList<Line> m_lines;
    QString m_path;
    std::optional<QByteArray> m_readBytes; // the file as read or written; none when missing
    std::array<QString, MaxNotes + 1> m_valuesRead{};
};

} // namespace files

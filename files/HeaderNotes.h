#pragma once
// Header notes: the "Test Conditions" prompts kept in "testquery.txt" in the data folder, one
// note per non-empty line (leading field, label, value), read at start-up and written back at
// exit so that the values entered become the next defaults.
#include <QList>
#include <QString>
#include <array>

namespace files {

class HeaderNotes {
public:
    static constexpr int MaxNotes = 25;
    static inline const QString FileName = QStringLiteral("testquery.txt");

    struct Note {
        QString lead, label, value;
    };

    // Reads the notes file; a missing file gives no notes. Blank lines are skipped; the first
    // MaxNotes lines are the notes. Lines after them, and note lines without a comma, are
    // kept as they are and written back in their place.
    void LoadNoteQuery(const QString& filePath);
    // Writes the notes back (single-byte text, CR LF); with no notes the file is left as it is.
    // False when the file could not be written, in which case the old file stays.
    bool SaveNoteQuery(const QString& filePath) const;

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
};

} // namespace files

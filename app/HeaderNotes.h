#pragma once
// Header notes: the "Test Conditions" prompts kept in "testquery.txt" in the data folder, one
// note per non-empty line (leading field, label, value), read at start-up and written back at
// exit so that the values entered become the next defaults.
#include <QString>
#include <array>

namespace app {

class HeaderNotes {
public:
    static constexpr int MaxNotes = 25;
    static inline const QString FileName = QStringLiteral("testquery.txt");

    struct Note {
        QString lead, label, value;
    };

    // Reads the notes file; a missing file gives no notes. Blank lines are skipped; beyond
    // MaxNotes notes the rest of the file is ignored.
    void LoadNoteQuery(const QString& filePath);
    // Writes the notes back (single-byte text, CR LF); with no notes the file is left as it is.
    // False when the file could not be written, in which case the old file stays.
    bool SaveNoteQuery(const QString& filePath) const;

    int NoteCount = 0;
    std::array<Note, MaxNotes + 1> HeaderNotes{}; // rows 1..NoteCount
};

} // namespace app

#pragma once
// The journal of the log that runs: every row, with the peak holds of its time, and every
// exposure level reached or cleared with the limit watched, goes to a file
// in the per-user data folder as it is appended and is on disk within 100 ms, so that a crash
// or a power cut loses at most that much of a log. A save, or a log let go, removes it; at the
// next start a journal left behind is offered for recovery.
#include "measure/RecordTable.h"
#include "platform/Clock.h"

#include <QFile>
#include <QString>

namespace files {

class LogJournal : public measure::RecordJournal {
public:
    static inline const QString FileName = QStringLiteral("log-journal.txt");
    static inline const QString RecoverText =
        QStringLiteral("A log of %1 rows started at %2 was not saved. Recover it?");

    LogJournal(const QString& folder, platform::Clock& clock);

    void LogStarted(const measure::RecordTable& table) override;
    void RowAppended(const measure::RecordTable& table, int row) override;
    void LogSettled() override;
    void LimitNamed(const measure::RecordTable& table) override;
    void EventLogged(const measure::ExposureEvent& event) override;

    // What a journal left behind holds: its rows and when its log was started (nothing when
    // there is none, or it holds no whole row).
    struct Found {
        int rows = 0;
        QString startedAt;
    };
    Found LeftBehind() const;
    // Puts the rows of the journal left behind back into the table (layout, units, probe and
    // peaks as they were); a half-written last row is dropped. Logging goes on in the journal.
    bool Recover(measure::RecordTable& table);
    // Forgets the journal left behind.
    void Remove();
    QString Path() const { return m_path; }

private:
    bool open();
    void write(const QByteArray& line);

    QString m_path;
    platform::Clock& m_clock;
    QFile m_file;
    qint64 m_syncedMs = -1;
};

} // namespace files

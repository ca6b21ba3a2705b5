#pragma once
// The log written page after page while it runs, in the window's format: rows 1..32000 in the
// file chosen, the next in FILE_2.csv and so on. Each row is appended to the open page and on
// the disk within 100 ms (Flush, every 100 ms, forces it there); a page's header is completed when
// the page closes (its rows, peaks and page number), by writing the whole page anew and putting it
// in place at once. A crash leaves every closed page complete and the open one readable up to its
// last whole row. A file kept beside each page (its exposure events) is written whole as the
// page closes.
#include "files/LogFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>

namespace logger {

// The file kept beside a page: its name and its whole text.
struct BesidePage {
    QString path;
    QByteArray text;
};

class LogPages {
public:
    // Given the path of a page that closed, the file to put beside it (none: no path).
    using BesidePageMaker = std::function<BesidePage(const QString& pagePath)>;

    // `header` gives the layout, units, probe, notes and graph scale of every page.
    LogPages(const QString& chosen, const files::LogHeader& header);
    ~LogPages();
    void SetBesidePage(BesidePageMaker maker) { m_besidePage = std::move(maker); }

    // One row: its time and the values of the layout (1, 4 or 2). False when the disk refused
    // it (Error says why); the rows before it stay whole.
    bool Append(float dayFraction, const float* values, const measure::AxisValues& peaks);
    // What was appended goes to the disk.
    bool Flush();
    // The open page's header is completed; the last page says it is the last.
    bool Close();

    QString Error() const { return m_error; }
    qint64 Rows() const { return m_rows; }
    int Page() const { return m_page; }
    QString PagePath(int page) const { return files::PageFileName(m_chosen, page); }

private:
    bool openPage();
    bool closePage(bool last);
    bool fail(const QString& what);

    QString m_chosen;
    files::LogHeader m_header;
    BesidePageMaker m_besidePage;
    QFile m_file;
    QByteArray m_pending; // rows not yet written
    qint64 m_written = 0; // bytes of the open page on disk, each a whole line
    int m_page = 0;
    int m_pageRows = 0;
    qint64 m_rows = 0;
    bool m_failed = false;
    QString m_error;
};

} // namespace logger

#include "logger/LogPages.h"
#include "platform/System.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <limits>

namespace logger {

namespace {
constexpr int RowsPerPage = measure::RecordTable::MaxRecords;
} // namespace

LogPages::LogPages(const QString& chosen, const files::LogHeader& header)
    : m_chosen(chosen), m_header(header) {}

LogPages::~LogPages() {
    Close();
}

bool LogPages::fail(const QString& what) {
    if (!m_failed) m_error = what;
    m_failed = true;
    return false;
}

bool LogPages::openPage() {
    ++m_page;
    m_pageRows = 0;
    m_file.setFileName(PagePath(m_page));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail(QDir::toNativeSeparators(m_file.fileName()) + QStringLiteral(": ") +
                    m_file.errorString());
    files::LogHeader h = m_header;
    h.samples = 0;
    const QByteArray head =
        files::LogHeaderText(h, m_page, m_page, QFileInfo(m_file.fileName()).fileName());
    if (m_file.write(head) != head.size())
        return fail(QDir::toNativeSeparators(m_file.fileName()) + QStringLiteral(": ") +
                    m_file.errorString());
    m_written = head.size();
    return true;
}

bool LogPages::Append(float dayFraction, const float* values, const measure::AxisValues& peaks) {
    if (m_failed) return false;
    if (m_pageRows == RowsPerPage) {
        if (!Flush() || !closePage(false)) return false;
    }
    if (!m_file.isOpen() && !openPage()) return false;
    files::AppendLogRow(m_pending, dayFraction, values, files::LogValueCount(m_header.columns));
    m_header.peaks = peaks;
    ++m_pageRows;
    ++m_rows;
    return true;
}

bool LogPages::Flush() {
    if (m_failed) return false;
    if (m_pending.isEmpty()) return true;
    const qint64 put = m_file.write(m_pending);
    if (put != m_pending.size()) {
        // A row cut short would make the page unreadable: the page ends at its last whole row.
        const QString why = m_file.errorString();
        m_file.resize(m_written);
        return fail(QDir::toNativeSeparators(m_file.fileName()) + QStringLiteral(": ") + why);
    }
    m_written += put;
    m_pending.clear();
    // On the disk, not only with the system: a power cut loses at most this last flush.
    platform::SyncToDisk(m_file);
    return true;
}

bool LogPages::closePage(bool last) {
    const QString path = m_file.fileName();
    m_file.close();
    QFile page(path);
    if (!page.open(QIODevice::ReadOnly))
        return fail(path + QStringLiteral(": ") + page.errorString());
    const QByteArray text = page.readAll();
    page.close();
    // The rows start after the heading line, the first line after "EndHeader".
    const qsizetype end = text.indexOf("\r\nEndHeader\r\n");
    const qsizetype rows = end < 0 ? -1 : text.indexOf("\r\n", end + 13);
    if (rows < 0) return fail(path + QStringLiteral(": the header is not as written"));
    files::LogHeader h = m_header;
    h.samples = int(std::min<qint64>(m_rows, std::numeric_limits<int>::max()));
    const int pages = last ? m_page : m_page + 1;
    QSaveFile done(path);
    if (!done.open(QIODevice::WriteOnly) ||
        done.write(files::LogHeaderText(h, m_page, pages, QFileInfo(path).fileName())) < 0 ||
        done.write(text.constData() + rows + 2, text.size() - rows - 2) < 0 || !done.commit())
        return fail(path + QStringLiteral(": ") + done.errorString());
    if (!m_besidePage) return true;
    const BesidePage beside = m_besidePage(path);
    if (beside.path.isEmpty()) return true;
    QSaveFile file(beside.path);
    if (!file.open(QIODevice::WriteOnly) || file.write(beside.text) < 0 || !file.commit())
        return fail(QDir::toNativeSeparators(beside.path) + QStringLiteral(": ") +
                    file.errorString());
    return true;
}

bool LogPages::Close() {
    if (!m_file.isOpen()) return !m_failed;
    const bool flushed = Flush();
    if (!flushed) {
        m_file.close();
        return false;
    }
    return closePage(true);
}

} // namespace logger

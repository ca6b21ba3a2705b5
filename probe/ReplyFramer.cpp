#include "probe/ReplyFramer.h"

#include <cstring>

namespace probe {

void ReplyFramer::Append(const char* data, qsizetype size) {
    if (size <= 0) return;
    compact();
    m_buffer.append(data, size);
    // Noise without an end: keep only what could still be the start of a reply.
    if (Pending() > MaxPending && !HasWhole()) {
        const qsizetype keep = MaxPending / 2;
        m_mark = 0;
        m_buffer.remove(0, m_buffer.size() - keep);
        m_from = 0;
    }
}

bool ReplyFramer::Next(QByteArray* reply, bool* beganBeforeMark) {
    const qsizetype cr = m_buffer.indexOf('\r', m_from);
    if (cr < 0) return false;
    // No mark at all: the whole piece is handed on as it came (noise, or a reply of the
    // non-text mode).
    const qsizetype mark = lastMark(cr);
    const qsizetype start = mark >= 0 ? mark : m_from;
    const qsizetype length = cr + 1 - start;
    reply->resize(length);
    std::memcpy(reply->data(), m_buffer.constData() + start, std::size_t(length));
    if (beganBeforeMark) *beganBeforeMark = start < m_mark;
    m_from = cr + 1;
    return true;
}

qsizetype ReplyFramer::PendingReply() const {
    const qsizetype mark = lastMark(m_buffer.size());
    return mark >= 0 ? m_buffer.size() - mark : 0;
}

// The last reply mark not yet taken before `end`; -1 when there is none.
qsizetype ReplyFramer::lastMark(qsizetype end) const {
    const char* data = m_buffer.constData();
    for (qsizetype at = end - 1; at >= m_from; --at)
        if (data[at] == ':' || data[at] == '#') return at;
    return -1;
}

void ReplyFramer::Clear() {
    m_buffer.resize(0);
    m_from = 0;
    m_mark = 0;
}

// Drops what was taken; the buffer keeps its capacity.
void ReplyFramer::compact() {
    if (m_from == 0) return;
    if (m_from >= m_buffer.size()) {
        m_buffer.resize(0);
    } else {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_from,
                     std::size_t(m_buffer.size() - m_from));
        m_buffer.resize(m_buffer.size() - m_from);
    }
    m_mark = m_mark > m_from ? m_mark - m_from : 0;
    m_from = 0;
}

} // namespace probe

#pragma once
// Cuts what the port delivers into replies. A reply ends at its carriage return and begins at
// the last reply mark (":" or "#") before it: whatever came before that mark is what is left
// of a broken reply or noise, and goes with it. Characters without a carriage return yet wait
// for the rest, however many reads it takes.
//
// The framer keeps one buffer for its whole life: taking a reply copies it into the caller's
// array, so a caller that reuses its array allocates nothing per reply.
#include <QByteArray>
#include <algorithm>

namespace probe {

class ReplyFramer {
public:
    // The longest reply (the Zeta calibration) is 579 characters; noise without an end is
    // dropped beyond this.
    static constexpr qsizetype MaxPending = 1024;

    ReplyFramer() { m_buffer.reserve(MaxPending + 64); }

    void Append(const QByteArray& received) { Append(received.constData(), received.size()); }
    void Append(const char* data, qsizetype size);

    // The oldest whole reply into *reply; false when none is whole. *beganBeforeMark tells
    // whether its reply mark had arrived before the last Mark().
    bool Next(QByteArray* reply, bool* beganBeforeMark = nullptr);
    // Whether another whole reply is waiting.
    bool HasWhole() const { return m_buffer.indexOf('\r', m_from) >= 0; }
    // Characters of a reply not whole yet: in all, and those that arrived since the last Mark().
    qsizetype Pending() const { return m_buffer.size() - m_from; }
    qsizetype PendingSinceMark() const { return m_buffer.size() - std::max(m_from, m_mark); }
    // The characters from the last reply mark of what is not whole yet (0 without a mark).
    qsizetype PendingReply() const;
    // A command goes out now: what has arrived so far cannot be its answer.
    void Mark() { m_mark = m_buffer.size(); }
    void Clear();

private:
    void compact();
    qsizetype lastMark(qsizetype end) const;

    QByteArray m_buffer;
    qsizetype m_from = 0; // the first character not yet taken
    qsizetype m_mark = 0;
};

} // namespace probe

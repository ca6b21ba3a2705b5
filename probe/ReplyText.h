#pragma once
// Reading fields out of a probe reply by 1-based position. Positions past the end of the reply
// read as absent: an empty field or the character 0.
#include <QByteArray>

namespace probe {

inline QByteArray ReplyField(const QByteArray& reply, int position, int width) {
    if (position < 1 || position > reply.size()) return {};
    return reply.mid(position - 1, width);
}

inline char CharAt(const QByteArray& reply, int position) {
    return (position >= 1 && position <= reply.size()) ? reply.at(position - 1) : '\0';
}

} // namespace probe

#include <cmath>

namespace probe {

// Rounds to the nearest integer, halves to even.
inline int CInt(double value) {
    if (!(value == value)) return 0; // NaN
    if (value > 2147483647.0) return 2147483647;
    if (value < -2147483648.0) return -2147483647 - 1;
    return int(std::nearbyint(value));
}

} // namespace probe

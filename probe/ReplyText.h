#pragma once
// Reading fields out of a probe reply by 1-based position. Positions past the end of the reply
// read as absent: an empty field or the character 0.
#include "probe/Rounding.h"

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

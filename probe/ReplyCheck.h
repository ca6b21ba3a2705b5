#pragma once
// Whether a reply is well formed: every field from its alphabet and the length right. A line
// that loses, garbles or cuts characters must not turn them into a reading, a units change or
// a characterisation answer; what fails these checks changes nothing.
#include <QByteArray>
#include <QList>

namespace probe {

// A number as the probes write it: blanks around it, an optional sign, digits with at most one
// point, at least one digit.
bool IsReplyNumber(const QByteArray& field);
// Units codes of the data replies of each family.
bool IsSigmaUnitsCode(const QByteArray& code);
bool IsKappaUnitsCode(const QByteArray& code);

// ":D" or "#Q", 19 characters: value, units code, bar 000..255, over-range flag blank or "O",
// battery flag a letter, three axis letters "E" or "D".
bool SigmaDataWellFormed(const QByteArray& reply);
// ":D", 11 characters: value and units code.
bool KappaDataWellFormed(const QByteArray& reply);
// ":R" or "#R" and the range digit 0..5, 4 characters.
bool RangeReplyWellFormed(const QByteArray& reply);
// ":B" or "#B" with a number at positions 3-7, 8 characters.
bool BatteryReplyWellFormed(const QByteArray& reply);
// ":T" or "#T" with a number at positions 4-6, 8 characters.
bool TemperatureReplyWellFormed(const QByteArray& reply);

// A whole answer of a Sigma probe to the command (without its CR): the command's own reply,
// well formed, or the refusal ":E".
bool AnswersCommand(const QByteArray& reply, const QByteArray& command);

// Whether a reply, well formed or not, is of the kind that answers the command (with or
// without its CR): ":" and the command's first letter (":N" for the wake-up character), or the
// refusal ":E", which answers any command.
bool MayAnswer(const QByteArray& reply, const QByteArray& command);

// The replies in what was read at once: a new one begins at every ":" (no field holds one).
QList<QByteArray> SplitReplies(const QByteArray& data);

} // namespace probe

#pragma once
// How the line has served over the last minute, in one-second slots: replies that came whole
// and well formed within their poll interval, those that came whole only later (late: nothing
// of them by the end of the interval; split: part of them), polls without a whole reply, and
// replies refused as malformed. With the characterisation's progress it makes the line's
// health as the status bar shows it.
#include <QString>
#include <array>

namespace probe {

class LineQuality {
public:
    enum class Outcome { Good, Missing, Garbled, Late, Split };
    void Count(Outcome outcome);
    // Every second: the oldest second leaves the count.
    void NextSecond();
    void Reset() { *this = LineQuality(); }

    int Good() const { return total(0); }
    int Missing() const { return total(1); }
    int Garbled() const { return total(2); }
    int Late() const { return total(3); }
    int Split() const { return total(4); }
    // Whole percent of polls answered whole and well formed, late and split replies included
    // (rounded down, so 100 means no reply lost or garbled); -1 while nothing was asked.
    int Percent() const;

private:
    static constexpr int Seconds = 60;
    int total(int kind) const;
    std::array<std::array<int, 5>, Seconds> m_slots{};
    int m_now = 0;
};

// What the status bar shows of the line.
struct LineHealth {
    enum class Stage { Searching, Identifying, Reading };
    Stage stage = Stage::Searching;
    // Identifying a Sigma probe: the characterisation step, of how many, and the try (0 when
    // the probe is not being characterised).
    int step = 0;
    int steps = 0;
    int attempt = 0;
    bool tooNoisy = false; // three characterisations in a row had to start again
    // Reading: the last minute.
    int percent = -1;
    int good = 0; // whole within the poll interval
    int late = 0;
    int split = 0;
    int missing = 0;
    int garbled = 0;
};

// "N replies good, L late, S split, M missing, G garbled": the last minute's counts as the
// front ends show them.
QString ReplyCounts(const LineHealth& health);

} // namespace probe

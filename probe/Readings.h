#pragma once
// Reading values of Sigma and Kappa probes: one channel per axis (total, X, Y, Z) with its
// peak and minimum holds, its averaging ring and its percent of scale.
#include <QByteArray>
#include <QString>
#include <array>

namespace probe {

constexpr int RingSlots = 51; // slots 1..50 are used
constexpr int MaxAverage = 50;

class ReadingChannel {
public:
    explicit ReadingChannel(float minHoldCleared);

    // Takes one scaled value with the bar percent of its reply.
    // holdsPaused >= 1 leaves the holds alone; averageCount < 2 means no averaging.
    void take(float value, int barPercent, int averageCount, int holdsPaused);

    float raw() const { return m_raw; }           // last scaled value
    float averaged() const { return m_averaged; } // averaged value (the last one without averaging)
    void zeroAveraged() { m_averaged = 0.0f; }    // a disabled axis reads 0
    float peak() const { return m_peak; }
    float minimum() const { return m_min; }
    int barPercent() const { return m_barPercent; }
    int avgPercent() const { return m_avgPercent; }

    void clearPeak() { m_peak = 0.0f; }
    void clearMinimum() { m_min = m_minCleared; }

private:
    std::array<float, RingSlots> m_ring{};
    std::array<int, RingSlots> m_percentRing{};
    int m_index = 0;
    float m_raw = 0.0f;
    float m_averaged = 0.0f;
    float m_peak = 0.0f;
    float m_min;
    float m_minCleared;
    int m_barPercent = 0;
    int m_avgPercent = 0;
};

// The composite of three axis values for the units text: root of the sum of squares for field
// strengths, the plain sum for squared fields and power densities, 0 for any other text.
float CompositeOf(const QString& unitsText, float x, float y, float z);

// "0.000" below 10, "0.00" below 100, "0.0" below 1000, "0" from 1000 up.
QString AdjustStrLen(float value);

// The number at the start of a text, as the probe's replies and the program's files write it:
// blanks are skipped, reading stops at the first character that cannot continue the number,
// and a text without a number reads as 0.
double Val(const QByteArray& text);
inline double Val(const QString& text) {
    return Val(text.toLatin1());
}

} // namespace probe

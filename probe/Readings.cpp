#include "probe/Readings.h"

#include <QLatin1String>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace probe {

ReadingChannel::ReadingChannel(float minHoldCleared)
    : m_min(minHoldCleared), m_minCleared(minHoldCleared) {}

void ReadingChannel::take(float value, int barPercent, int averageCount, int holdsPaused) {
    m_raw = value;
    m_barPercent = barPercent;
    if (holdsPaused < 1) {
        if (value > m_peak) m_peak = value;
        if (value < m_min) m_min = value;
    }

    // The ring has slots 1..MaxAverage; a count outside 0..MaxAverage must never index past it.
    const int count = std::clamp(averageCount, 0, MaxAverage);
    if (count < 2) {
        m_averaged = value;
        return;
    }

    // After the count comes slot 1, also when the count was lowered below the current slot.
    ++m_index;
    if (m_index > count) m_index = 1;
    m_ring[m_index] = value;
    m_percentRing[m_index] = barPercent;

    // Slots never written hold 0, so the average rises over the first readings after start-up.
    double sum = 0.0;
    double percentSum = 0.0;
    for (int slot = 1; slot <= count; ++slot) {
        sum += m_ring[slot];
        percentSum += m_percentRing[slot];
    }
    m_averaged = static_cast<float>(sum / count);
    // Halves go to the even neighbour, as everywhere a mean becomes an integer in this program.
    m_avgPercent = static_cast<int>(std::nearbyint(percentSum / count));
}

float CompositeOf(const QString& unitsText, float x, float y, float z) {
    static const char* const fieldStrength[] = {"V/m", "k(V/m)", "A/m", "mA/m", "m A/m", "mA", "A"};
    // Squared fields and power densities: these texts followed by a superscript two.
    static const char* const squared[] = {"mW/cm",  "W/cm",   "uW/cm", "(V/m)",
                                          "k(V/m)", "m(A/m)", "(A/m)"};
    const auto matches = [](const QString& text, const auto& list) {
        return std::any_of(std::begin(list), std::end(list),
                           [&text](const char* units) { return text == QLatin1String(units); });
    };

    if (matches(unitsText, fieldStrength)) {
        const double dx = x, dy = y, dz = z;
        return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    if (unitsText.endsWith(QChar(0x00B2)) && matches(unitsText.chopped(1), squared))
        return static_cast<float>(static_cast<double>(x) + y + z);
    return 0.0f;
}

QString AdjustStrLen(float value) {
    // Four significant digits from 1 upward; the decimals are chosen from the unrounded value,
    // so 9.9996 reads "10.000".
    int decimals = 0;
    if (value < 10.0f)
        decimals = 3;
    else if (value < 100.0f)
        decimals = 2;
    else if (value < 1000.0f)
        decimals = 1;
    return QString::number(static_cast<double>(value), 'f', decimals);
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    return d < base ? d : -1;
}

// "&H1F" and "&O17": an unsigned integer in base 16 or 8; no digits read as 0.
double radixValue(const std::string& s) {
    if (s.size() < 2) return 0.0;
    const char kind = s[1];
    const int base = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
    if (base == 0) return 0.0;
    double value = 0.0; // overflows to infinity, never wraps
    for (std::size_t i = 2; i < s.size(); ++i) {
        const int d = digitValue(s[i], base);
        if (d < 0) break;
        value = value * base + d;
    }
    return value;
}

} // namespace

double Val(const QByteArray& text) {
    // Blanks, tabs and line feeds do not count anywhere in the text, not even inside a number.
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()));
    for (const char c : text)
        if (!isBlank(c)) s.push_back(c);

    if (!s.empty() && s[0] == '&') return radixValue(s);

    const auto at = [&s](std::size_t i) { return i < s.size() ? s[i] : '\0'; };
    std::size_t i = 0;
    const bool negative = at(i) == '-';
    if (at(i) == '+' || at(i) == '-') ++i;

    std::string digits; // integer and fraction digits without the point
    long long intDigits = 0;
    for (; isDigit(at(i)); ++i, ++intDigits)
        digits.push_back(at(i));
    if (at(i) == '.')
        for (++i; isDigit(at(i)); ++i)
            digits.push_back(at(i));

    long long exponent = 0;
    const char e = at(i);
    if (!digits.empty() && (e == 'E' || e == 'e' || e == 'D' || e == 'd')) {
        ++i;
        const bool expNegative = at(i) == '-';
        if (at(i) == '+' || at(i) == '-') ++i;
        constexpr long long ExpCap = 10'000'000'000LL; // beyond any text length, no overflow
        for (; isDigit(at(i)); ++i)
            exponent = std::min(exponent * 10 + (at(i) - '0'), ExpCap);
        if (expNegative) exponent = -exponent;
    }

    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0.0; // no digits, or only zeros

    // Decimal exponent of the leading significant digit; far outside the double range the
    // result is known without converting.
    const long long order = intDigits - 1 - static_cast<long long>(first) + exponent;
    const double inf = std::numeric_limits<double>::infinity();
    if (order > 400) return negative ? -inf : inf;
    if (order < -400) return 0.0;

    // Normalised as "-d.ddde<order>", so the conversion only ever sees a modest exponent.
    std::string normal;
    normal.reserve(digits.size() - first + 16);
    if (negative) normal.push_back('-');
    normal.push_back(digits[first]);
    if (first + 1 < digits.size()) {
        normal.push_back('.');
        normal.append(digits, first + 1, std::string::npos);
    }
    normal.push_back('e');
    normal += std::to_string(order);

    double value = 0.0;
    const std::errc ec = std::from_chars(normal.data(), normal.data() + normal.size(), value).ec;
    if (ec == std::errc::result_out_of_range) return order > 0 ? (negative ? -inf : inf) : 0.0;
    if (ec != std::errc()) return 0.0;
    return value;
}

} // namespace probe

// Text and number routines with the forms runtime's rules: trimming of U+0020 only,
// the leading-number reading of a text (blanks anywhere are ignored; sign, point and
// an E or D exponent are accepted; whatever follows is not), and rounding to 16- and
// 32-bit integers halves to even, with an overflow reported as "no value". The
// reading is locale-independent and takes texts of any length.

#include "core/text.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace text {

namespace {

// A byte read as ASCII; one past it is U+FFFD, which no test here accepts.
constexpr char16_t fromAscii(char b) {
    return static_cast<unsigned char>(b) < 0x80 ? static_cast<char16_t>(b) : u'\uFFFD';
}

// The runtime's number reading skips line ends too, and not the no-break space.
bool skippedInNumber(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Walks a text as the leading-number reading sees it: blanks do not exist.
class Reader {
public:
    explicit Reader(std::u16string_view s) : s_(s) {}

    // The current character, or U+0000 at the end (which stops the reading like
    // any other character that cannot belong to a number).
    char16_t peek() {
        while (pos_ < s_.size() && skippedInNumber(s_[pos_]))
            ++pos_;
        return pos_ < s_.size() ? s_[pos_] : u'\0';
    }
    void advance() { ++pos_; }

private:
    std::u16string_view s_;
    std::size_t pos_ = 0;
};

// Far beyond any double, yet far from overflowing 64 bits when the position of the
// first digit in a text that fits in memory is added to it.
constexpr long long exponentLimit = 1'000'000'000'000'000;

long long clamp(long long e, long long limit) {
    return e > limit ? limit : (e < -limit ? -limit : e);
}

template <class Int> std::optional<Int> toInt(double v) {
    constexpr double below = static_cast<double>(std::numeric_limits<Int>::min()) - 1.0;
    constexpr double above = static_cast<double>(std::numeric_limits<Int>::max()) + 1.0;
    // Written so that NaN fails it too.
    if (!(v > below && v < above))
        return std::nullopt;
    // Within the range checked above both the truncation and the rest are exact.
    long long n = static_cast<long long>(v);
    const double rest = v - static_cast<double>(n);
    if (rest > 0.5 || (rest == 0.5 && n % 2 != 0))
        ++n;
    else if (rest < -0.5 || (rest == -0.5 && n % 2 != 0))
        --n;
    if (n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(n);
}

} // namespace

bool allDigits(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), isDigit);
}

bool allDigits(std::string_view ascii) {
    return std::all_of(ascii.begin(), ascii.end(), [](char b) { return isDigit(fromAscii(b)); });
}

bool allBlank(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), isBlank);
}

bool allBlank(Utf8 utf8) {
    return std::all_of(utf8.begin(), utf8.end(), isBlank);
}

bool allBlank(std::string_view ascii) {
    return std::all_of(ascii.begin(), ascii.end(), [](char b) { return isBlank(fromAscii(b)); });
}

std::u16string_view trimBlanks(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::u16string_view trim(std::u16string_view s) {
    const auto first = s.find_first_not_of(u' ');
    if (first == std::u16string_view::npos)
        return {};
    const auto last = s.find_last_not_of(u' ');
    return s.substr(first, last - first + 1);
}

double leadingNumber(std::u16string_view s) {
    Reader in(s);
    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.advance();
    }

    // The significant digits (leading zeros dropped): the first 19 of an integer
    // are held exactly in `whole`, which is all the usual case needs; past those,
    // or once a fraction digit comes, they go on in `digits` as text for the exact
    // conversion below. `places` counts the digits before the point (negative for
    // zeros just after it), so that huge and tiny values need only a short exponent.
    std::uint64_t whole = 0;
    int wholeDigits = 0;
    std::string digits;
    long long places = 0;
    bool fraction = false;

    for (;;) {
        const char16_t c = in.peek();
        if (isDigit(c)) {
            if (wholeDigits > 0 || !digits.empty() || c != u'0') {
                if (!fraction)
                    ++places;
                if (!fraction && digits.empty() && wholeDigits < 19) {
                    whole = whole * 10 + static_cast<unsigned>(c - u'0');
                    ++wholeDigits;
                } else {
                    if (digits.empty() && wholeDigits > 0)
                        digits = std::to_string(whole);
                    digits.push_back(static_cast<char>(c));
                }
            } else if (fraction) {
                --places;
            }
        } else if (c == u'.' && !fraction) {
            fraction = true;
        } else {
            break;
        }
        in.advance();
    }
    if (wholeDigits == 0 && digits.empty())
        return 0.0;

    long long exponent = 0;
    bool hasExponent = false;
    const char16_t e = in.peek();
    if (e == u'E' || e == u'e' || e == u'D' || e == u'd') {
        in.advance();
        bool negativeExponent = false;
        if (in.peek() == u'+' || in.peek() == u'-') {
            negativeExponent = in.peek() == u'-';
            in.advance();
        }
        // "1E" or "1E+" is just 1: the letter is where the number stops.
        for (char16_t c = in.peek(); isDigit(c); in.advance(), c = in.peek()) {
            hasExponent = true;
            exponent = clamp(exponent * 10 + (c - u'0'), exponentLimit);
        }
        if (negativeExponent)
            exponent = -exponent;
    }

    if (!hasExponent && digits.empty()) {
        const double v = static_cast<double>(whole);
        return negative ? -v : v;
    }
    if (digits.empty())
        digits = std::to_string(whole);

    // d.ddd...e<power>: the shape std::from_chars reads exactly, in any locale.
    // Beyond 10^+-1000000 a double is infinite or zero all the same.
    const long long power = clamp(places - 1 + exponent, 1'000'000);
    if (digits.size() > 1)
        digits.insert(1, 1, '.');
    digits.push_back('e');
    digits += std::to_string(power);

    double v = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        v = power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -v : v;
}

std::optional<std::int16_t> toInt16(double v) {
    return toInt<std::int16_t>(v);
}

std::optional<std::int32_t> toInt32(double v) {
    return toInt<std::int32_t>(v);
}

} // namespace text

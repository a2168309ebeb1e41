#pragma once
// The string and number routines the windows and the directory share, with the
// rules of the forms runtime the program was designed on: only U+0020 is trimmed,
// a text is read as its leading decimal number, and a floating value becomes an
// integer by rounding half to even, with an overflow the caller can see instead
// of an exception. Beside them, the character tests every reader of an account
// (window, paste, list converter) shares.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace text {

// An ASCII digit: the only digits an account is made of once it is read.
constexpr bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// True when the text is nothing but ASCII digits (also when it is empty). A text
// of bytes, as a cell of a list is in either of its encodings, is read as ASCII:
// a byte past it is neither a digit nor a blank.
bool allDigits(std::u16string_view s);
bool allDigits(std::string_view ascii);

// A blank a person, a spreadsheet or a PDF puts around or between an account's
// groups: space, tab, and every other Unicode space (no-break U+00A0, thin U+2009,
// narrow no-break U+202F, figure U+2007, ideographic U+3000...), and the invisible
// ones a copied text carries (zero-width space U+200B, word joiner U+2060, U+FEFF).
// Line ends are not blanks: a text over two lines is not one account.
constexpr bool isBlank(char16_t c) {
    if (c < 0x80)
        return c == u' ' || c == u'\t';
    return c == u'\u00A0' || c == u'\u1680' || (c >= u'\u2000' && c <= u'\u200B') ||
           c == u'\u202F' || c == u'\u205F' || c == u'\u2060' || c == u'\u3000' || c == u'\uFEFF';
}

// True when the text is nothing but blanks (also when it is empty).
bool allBlank(std::u16string_view s);
bool allBlank(std::string_view ascii);

// A hyphen or one of its look-alikes: hyphen-minus, soft hyphen U+00AD, the dashes
// U+2010 to U+2015 (non-breaking hyphen U+2011, figure dash U+2012, en dash U+2013,
// em dash U+2014...), minus sign U+2212, and their small and full-width forms.
constexpr bool isHyphen(char16_t c) {
    if (c < 0x80)
        return c == u'-';
    return c == u'\u00AD' || (c >= u'\u2010' && c <= u'\u2015') || c == u'\u2212' ||
           c == u'\uFE58' || c == u'\uFE63' || c == u'\uFF0D';
}

// The ASCII character a full-width form (U+FF01 to U+FF5E) stands for, so that
// "\uFF12\uFF11" is "21" and "\uFF25\uFF33" is "ES"; any other character unchanged.
constexpr char16_t fromFullWidth(char16_t c) {
    return c >= u'\uFF01' && c <= u'\uFF5E' ? static_cast<char16_t>(c - 0xFEE0) : c;
}

// An ASCII capital, as the letters of an IBAN are once read.
constexpr bool isCapital(char16_t c) {
    return c >= u'A' && c <= u'Z';
}

// An ASCII letter as a capital, and as a small letter; any other character unchanged.
constexpr char16_t toCapital(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}
constexpr char16_t toSmall(char16_t c) {
    return isCapital(c) ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// A letter of any script, full-width too; digits, blanks, hyphens, punctuation,
// symbols and the replacement character are not.
constexpr bool isLetter(char16_t c) {
    c = fromFullWidth(c);
    if (c < 0x80)
        return isCapital(toCapital(c));
    return c >= 0xC0 && c != u'\u00D7' && c != u'\u00F7' && !isBlank(c) && !isHyphen(c) &&
           !(c >= 0x2000 && c < 0x3040) && c != u'\uFFFD';
}

// Writes the UTF-8 bytes of a character (U+0000 to U+10FFFF) at out, which has room
// for four, and returns how many it wrote.
constexpr std::size_t toUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    const std::size_t n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    for (std::size_t i = n - 1; i > 0; --i, c >>= 6)
        out[i] = static_cast<char>(0x80 | (c & 0x3F));
    constexpr unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0}; // n ones, then a zero
    out[0] = static_cast<char>(lead[n] | c);
    return n;
}

// The longest head of a UTF-8 text of at most n bytes that cuts no character.
constexpr std::string_view utf8Head(std::string_view utf8, std::size_t n) {
    if (n >= utf8.size())
        return utf8;
    while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80)
        --n;
    return utf8.substr(0, n);
}

// One character read from the start of UTF-8 bytes: its value and how many bytes
// it takes when the bytes are a well-formed sequence; else one byte, not ok (a stray
// continuation byte, an overlong form, a value past U+10FFFF, a surrogate), or cut
// when the bytes end inside a sequence that more bytes may complete. Every reader
// of UTF-8 in the program takes its characters from here.
struct Utf8Char {
    char32_t value = 0;
    std::uint8_t size = 1;
    bool ok = false;
    bool cut = false;
};

// wtf8 also accepts the three-byte forms of the surrogates U+D800 to U+DFFF, which
// only a UTF-16 text's lone surrogate carried through UTF-8 has (cli/encoding.h).
constexpr Utf8Char utf8Char(const unsigned char* p, const unsigned char* end, bool wtf8 = false) {
    const unsigned char b = *p;
    if (b < 0x80)
        return {b, 1, true, false};
    std::size_t n = 0;
    // The first continuation byte's range rules out overlong forms, surrogates and
    // values past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    char32_t value = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 1;
        value = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 2;
        value = b & 0x0F;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED && !wtf8 ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 3;
        value = b & 0x07;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    for (std::size_t i = 1; i <= n; ++i) {
        if (p + i == end)
            return {0, 1, false, true};
        const unsigned char c = p[i];
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF))
            return {};
        value = value << 6 | (c & 0x3F);
    }
    return {value, static_cast<std::uint8_t>(n + 1), true, false};
}

// UTF-8 fed in pieces cut anywhere, each character handed to a function as it is
// complete; a character cut between two pieces waits for the next.
class Utf8Stream {
public:
    // each(Utf8Char) for every character, or only for those that are not ASCII
    // when skipAscii, which then runs through ASCII eight bytes at a time.
    template <bool skipAscii = false, class Each>
    void feed(std::string_view piece, Each&& each, bool wtf8 = false) {
        const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
        const auto* end = p + piece.size();
        if (held_ > 0)
            p = fromHeld(p, end, each, wtf8);
        while (p < end) {
            if constexpr (skipAscii) {
                while (end - p >= 8 && (word(p) & 0x8080808080808080ULL) == 0)
                    p += 8;
                if (p == end)
                    break;
                if (*p < 0x80) {
                    ++p;
                    continue;
                }
            }
            const Utf8Char c = utf8Char(p, end, wtf8);
            if (c.cut) {
                hold(p, end);
                return;
            }
            each(c);
            p += c.size;
        }
    }
    // At the end of the input: a character left cut is handed on as one bad byte
    // each.
    template <class Each> void finish(Each&& each) {
        for (; held_ > 0; --held_)
            each(Utf8Char{});
    }
    // A character is cut and waits for more.
    bool cut() const { return held_ > 0; }

private:
    static std::uint64_t word(const unsigned char* p) {
        std::uint64_t w = 0;
        for (int i = 0; i < 8; ++i)
            w |= std::uint64_t(p[i]) << (8 * i);
        return w;
    }
    void hold(const unsigned char* p, const unsigned char* end) {
        for (held_ = 0; p < end; ++p)
            heldBytes_[held_++] = *p;
    }
    // The held bytes completed with the piece's first ones (three at most finish
    // any character); returns where the piece goes on.
    template <class Each>
    const unsigned char* fromHeld(const unsigned char* p, const unsigned char* end, Each& each,
                                  bool wtf8) {
        unsigned char bytes[8];
        const std::size_t held = held_;
        const std::size_t more = std::min<std::size_t>(3, static_cast<std::size_t>(end - p));
        for (std::size_t i = 0; i < held; ++i)
            bytes[i] = heldBytes_[i];
        for (std::size_t i = 0; i < more; ++i)
            bytes[held + i] = p[i];
        held_ = 0;
        std::size_t at = 0;
        while (at < held) {
            const Utf8Char c = utf8Char(bytes + at, bytes + held + more, wtf8);
            if (c.cut) { // the piece is too short to finish it
                hold(bytes + at, bytes + held + more);
                return end;
            }
            each(c);
            at += c.size;
        }
        return p + (at - held);
    }

    unsigned char heldBytes_[4] = {};
    std::size_t held_ = 0;
};

// A UTF-8 text walked as the UTF-16 units the readers take: a character of the Basic
// Multilingual Plane as itself; any other character, and any byte that is not part of a
// well-formed sequence (utf8Char), as U+FFFF, a noncharacter that no reader accepts, so
// that a text in another encoding is never an account. No byte past the text is read.
class Utf8 {
public:
    static constexpr char16_t refusat = u'\uFFFF';

    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char16_t;
        using difference_type = std::ptrdiff_t;
        using pointer = const char16_t*;
        using reference = char16_t;

        constexpr iterator(const unsigned char* p, const unsigned char* fi) : p_(p), fi_(fi) {
            llegir();
        }
        constexpr char16_t operator*() const { return c_; }
        constexpr iterator& operator++() {
            p_ += mida_;
            llegir();
            return *this;
        }
        constexpr bool operator==(const iterator& o) const { return p_ == o.p_; }

    private:
        constexpr void llegir() {
            mida_ = 1;
            if (p_ == fi_)
                return;
            const Utf8Char c = utf8Char(p_, fi_);
            mida_ = c.size;
            c_ = c.ok && c.value <= 0xFFFF ? static_cast<char16_t>(c.value) : refusat;
        }

        const unsigned char* p_;
        const unsigned char* fi_;
        std::size_t mida_ = 1;
        char16_t c_ = refusat;
    };

    constexpr explicit Utf8(std::string_view bytes) : bytes_(bytes) {}
    iterator begin() const { return {dades(), dades() + bytes_.size()}; }
    iterator end() const { return {dades() + bytes_.size(), dades() + bytes_.size()}; }

private:
    const unsigned char* dades() const {
        return reinterpret_cast<const unsigned char*>(bytes_.data());
    }
    std::string_view bytes_;
};

// allBlank for a UTF-8 text: a byte that is not UTF-8 is no blank.
bool allBlank(Utf8 utf8);

// The text without the blanks (isBlank) at either end.
std::u16string_view trimBlanks(std::u16string_view s);

// The text without its leading and trailing U+0020; tabs and other blanks stay.
std::u16string_view trim(std::u16string_view s);

// The leading decimal number of a text: blanks (space, tab, line feed, carriage
// return) are skipped wherever they stand; an optional sign, digits, an optional
// decimal point with digits and an optional exponent (E or D, with optional sign)
// are read; reading stops at the first other character. 0 when there is no number.
// Never throws; a value too large for a double is +/-infinity.
double leadingNumber(std::u16string_view s);

// Rounds to the nearest integer, halves to even. std::nullopt when the rounded
// value does not fit (the runtime's overflow), also for NaN and infinities.
std::optional<std::int16_t> toInt16(double v);
std::optional<std::int32_t> toInt32(double v);

} // namespace text

// UTF-8 and Windows-1252: a UTF-8 check that can be fed in pieces, and the
// conversions of single cells to UTF-16 and back, with plain ASCII taken on a
// fast path since account cells almost always are. Then the streaming conversions
// of a whole UTF-16 input to UTF-8 and back.

#include "cli/encoding.h"

#include "core/text.h"

#include <algorithm>

#include <array>

namespace cli {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1. The five
// unassigned bytes decode to themselves, as Windows does.
constexpr std::array<char16_t, 32> cp1252Alt = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(char32_t c, std::string& out) {
    char bytes[4];
    out.append(bytes, text::toUtf8(c, bytes));
}

char toCp1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < cp1252Alt.size(); ++i)
        if (cp1252Alt[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

std::string_view encodingName(Encoding e) {
    return e == Encoding::utf8 ? "UTF-8" : "Windows-1252";
}

bool Utf8Check::feed(std::string_view bytes) {
    if (valid_)
        stream_.feed<true>(bytes, [this](const text::Utf8Char& c) { valid_ = valid_ && c.ok; });
    return valid_;
}

void decode(std::string_view bytes, Encoding e, std::u16string& out) {
    // An account cell is almost always ASCII, the same in both encodings: widened
    // in one pass that also gathers the bytes' high bits, and redone below only
    // when one was set. Not assign(first, last): from another character type it
    // builds a temporary string, an allocation a cell.
    out.resize(bytes.size());
    unsigned char high = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        high |= b;
        out[i] = b;
    }
    if (high < 0x80)
        return;
    out.clear();
    if (e == Encoding::windows1252) {
        for (unsigned char b : bytes)
            out += b >= 0x80 && b < 0xA0 ? cp1252Alt[b - 0x80] : char16_t(b);
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const text::Utf8Char c = text::utf8Char(p, end);
        p += c.size;
        if (!c.ok) {
            out += u'\uFFFD';
        } else if (c.value >= 0x10000) {
            out += char16_t(0xD800 + ((c.value - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c.value - 0x10000) & 0x3FF));
        } else {
            out += char16_t(c.value);
        }
    }
}

void encode(std::u16string_view text, Encoding e, std::string& out) {
    std::size_t ascii = 0;
    while (ascii < text.size() && text[ascii] < 0x80)
        ++ascii;
    const std::size_t at = out.size();
    out.resize(at + ascii);
    for (std::size_t i = 0; i < ascii; ++i)
        out[at + i] = static_cast<char>(text[i]);
    for (std::size_t i = ascii; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (e == Encoding::windows1252) {
            out += toCp1252(c);
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] < 0xE000) {
            appendUtf8(0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00), out);
            ++i;
        } else {
            appendUtf8(c, out);
        }
    }
}

std::string_view utf16Name(Utf16 order) {
    return order == Utf16::bigEndian ? "UTF-16BE" : "UTF-16LE";
}

void Utf16Decoder::unit(char16_t u, std::string& out) {
    if (high_ != 0) {
        if (u >= 0xDC00 && u < 0xE000) {
            appendUtf8(0x10000 + ((char32_t(high_) - 0xD800) << 10) + (u - 0xDC00), out);
            high_ = 0;
            return;
        }
        appendUtf8(high_, out);
        high_ = 0;
    }
    if (u >= 0xD800 && u < 0xDC00)
        high_ = u;
    else
        appendUtf8(u, out);
}

void Utf16Decoder::feed(std::string_view bytes, std::string& out) {
    std::size_t i = 0;
    if (hasOdd_ && !bytes.empty()) {
        const char pair[2] = {odd_, bytes[0]};
        hasOdd_ = false;
        ++i;
        feed(std::string_view(pair, 2), out);
    }
    for (; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        unit(static_cast<char16_t>(big_ ? first << 8 | second : second << 8 | first), out);
    }
    if (i < bytes.size()) {
        odd_ = bytes[i];
        hasOdd_ = true;
    }
}

void Utf16Decoder::finish(std::string& out) {
    if (high_ != 0)
        appendUtf8(high_, out);
    high_ = 0;
}

void Utf16Encoder::unit(char16_t u, std::string& out) const {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    out += big_ ? high : low;
    out += big_ ? low : high;
}

void Utf16Encoder::character(const text::Utf8Char& c, std::string& out) const {
    if (!c.ok) {
        unit(u'\uFFFD', out);
    } else if (c.value >= 0x10000) {
        unit(static_cast<char16_t>(0xD800 + ((c.value - 0x10000) >> 10)), out);
        unit(static_cast<char16_t>(0xDC00 + ((c.value - 0x10000) & 0x3FF)), out);
    } else {
        unit(static_cast<char16_t>(c.value), out);
    }
}

// What it reads came from UTF-16 through Utf16Decoder, lone surrogates included:
// read as WTF-8, they go back as the very units they were.
void Utf16Encoder::feed(std::string_view utf8, std::string& out) {
    stream_.feed(
        utf8, [&](const text::Utf8Char& c) { character(c, out); }, true);
}

void Utf16Encoder::finish(std::string& out) {
    stream_.finish([&](const text::Utf8Char& c) { character(c, out); });
}

} // namespace cli

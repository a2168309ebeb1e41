#pragma once
// The two encodings a Spanish spreadsheet export comes in: UTF-8 (with or without a
// byte order mark) and Windows-1252. Rows are copied as bytes; only the cells that
// are read and the cells that are added go through these conversions.

#include <string>
#include <string_view>

namespace cli {

enum class Encoding {
    utf8,        // also plain ASCII
    windows1252, // what a file that is not valid UTF-8 is taken to be
};

// The name a person knows the encoding by, for messages and options.
std::string_view encodingName(Encoding e);

inline constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";

// Counts where a UTF-8 check stands across the chunks of one input, so that a
// character cut between two reads is neither accepted nor rejected too early.
class Utf8Check {
public:
    // False from the first byte that cannot be UTF-8 on.
    bool feed(std::string_view bytes);
    // Every byte fed was UTF-8 and no character is left cut.
    bool valid() const { return valid_ && pending_ == 0; }

private:
    int pending_ = 0;        // continuation bytes still expected
    unsigned char lead_ = 0; // the lead byte of the character being read
    bool first_ = false;     // the next byte is the first continuation byte
    bool valid_ = true;
};

// Bytes in the given encoding to UTF-16, replacing what cannot be decoded with
// U+FFFD, which reads as no digit, letter or separator.
void decode(std::string_view bytes, Encoding e, std::u16string& out);

// UTF-16 to bytes in the given encoding; a character Windows-1252 lacks becomes '?'.
void encode(std::u16string_view text, Encoding e, std::string& out);

} // namespace cli

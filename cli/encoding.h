#pragma once
// The encodings a Spanish spreadsheet export comes in: UTF-8 (with or without a
// byte order mark) and Windows-1252, and UTF-16 with its byte order mark (Excel's
// "Unicode text"). Rows are copied as bytes; only the cells that are read and the
// cells that are added go through the first two conversions. A UTF-16 input is
// turned into UTF-8 as it is read and back as it is written, losing no byte.

#include "core/text.h"

#include <string>
#include <string_view>

namespace cli {

enum class Encoding {
    utf8,        // also plain ASCII
    windows1252, // what a file that is not valid UTF-8 is taken to be
};

// The name a person knows the encoding by, for messages and options.
std::string_view encodingName(Encoding e);

// A UTF-16 input and its byte order, known by its byte order mark (cli/input.h).
enum class Utf16 { none, littleEndian, bigEndian };

// The name of a UTF-16 byte order, for messages: "UTF-16LE", "UTF-16BE".
std::string_view utf16Name(Utf16 order);

// UTF-16 bytes to UTF-8, fed in pieces cut anywhere. A surrogate without its pair
// is written in its three-byte form, as WTF-8 does, so that Utf16Encoder gives back
// the very bytes it came from.
class Utf16Decoder {
public:
    explicit Utf16Decoder(Utf16 order) : big_(order == Utf16::bigEndian) {}
    void feed(std::string_view bytes, std::string& out);
    // At the end of the input: the surrogate left waiting for its pair.
    void finish(std::string& out);
    // An odd last byte, which no character takes; empty when there is none.
    std::string_view leftover() const { return {&odd_, hasOdd_ ? 1u : 0u}; }

private:
    void unit(char16_t u, std::string& out);
    bool big_;
    char odd_ = 0;
    bool hasOdd_ = false;
    char16_t high_ = 0; // a high surrogate waiting for its low one
};

// UTF-8 (and WTF-8) to UTF-16 bytes, fed in pieces cut anywhere; a byte that is no
// part of a character becomes U+FFFD.
class Utf16Encoder {
public:
    explicit Utf16Encoder(Utf16 order) : big_(order == Utf16::bigEndian) {}
    void feed(std::string_view utf8, std::string& out);
    // At the end of the output: a character left cut becomes U+FFFD.
    void finish(std::string& out);

private:
    void character(const text::Utf8Char& c, std::string& out) const;
    void unit(char16_t u, std::string& out) const;
    bool big_;
    text::Utf8Stream stream_;
};

// A UTF-8 check fed the chunks of one input, so that a character cut between two
// reads is neither accepted nor rejected too early.
class Utf8Check {
public:
    // False from the first byte that cannot be UTF-8 on.
    bool feed(std::string_view bytes);
    // Every byte fed was UTF-8 and no character is left cut.
    bool valid() const { return valid_ && !stream_.cut(); }

private:
    text::Utf8Stream stream_;
    bool valid_ = true;
};

// Bytes in the given encoding to UTF-16, replacing what cannot be decoded with
// U+FFFD, which reads as no digit, letter or separator.
void decode(std::string_view bytes, Encoding e, std::u16string& out);

// UTF-16 to bytes in the given encoding; a character Windows-1252 lacks becomes '?'.
void encode(std::u16string_view text, Encoding e, std::string& out);

} // namespace cli

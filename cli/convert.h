#pragma once
// The conversion of one input, streamed: the first mebibyte is looked at to settle
// the encoding, the format, the separator, the header and the account's column;
// then every row is written back as it came, with the added cells after it. Memory
// stays that lookahead plus the longest row, whatever the input's size.

#include "cli/account.h"
#include "cli/encoding.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class Format { automatic, list, csv };
enum class HeaderMode { automatic, yes, no };

struct Options {
    Format format = Format::automatic;
    char separator = 0;               // 0: taken from the header line
    std::optional<Encoding> encoding; // none: detected from the first mebibyte
    bool encodingDetected = false;    // encoding was found by reading the whole input
    std::string column;               // a header name or a number from 1; empty: chosen
    std::vector<std::string> four;    // entity, office, control digits, account columns
    HeaderMode header = HeaderMode::automatic;
};

struct Summary {
    std::uint64_t rows = 0;  // rows that were to hold an account, header and blanks aside
    std::uint64_t blank = 0; // blank lines, written back blank
    std::array<std::uint64_t, statusCount> byStatus{};

    std::uint64_t correct() const;
    void add(const Summary& other);
};

// A failure that ends the run with status 2; the message, in Catalan, is complete
// but for the program's and the input's names.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Source {
public:
    virtual ~Source() = default;
    // Up to size bytes; 0 at the end of the input. Throws Failure when it cannot read.
    virtual std::size_t read(char* data, std::size_t size) = 0;
};

class Sink {
public:
    virtual ~Sink() = default;
    // Throws Failure when it cannot write.
    virtual void write(std::string_view bytes) = 0;
};

struct Reporter {
    // A message about the input, with the line it concerns (0 for the whole input).
    std::function<void(std::uint64_t line, std::string_view message)> note;
    // Called now and then with the rows done and the bytes read so far.
    std::function<void(std::uint64_t rows, std::uint64_t bytes)> progress;
};

// The encoding of a whole input: UTF-8 when it starts with a byte order mark or
// is valid UTF-8 throughout, Windows-1252 otherwise.
Encoding detectEncoding(Source& source);

Summary convert(Source& source, Sink& sink, const Options& options, const Reporter& reporter);

} // namespace cli

#pragma once
// The conversion of one input, streamed: its layout is settled from the first
// window (cli/layout.h); then every row is written back as it came, with the added
// cells after it. Memory stays that window plus a row of at most Limits::maxRow,
// whatever the input's size and however long its lines.

#include "cli/account.h"
#include "cli/encoding.h"
#include "cli/failure.h"
#include "cli/layout.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace cli {

struct Summary {
    std::uint64_t rows = 0;  // rows that were to hold an account, header and blanks aside
    std::uint64_t blank = 0; // blank lines, written back blank
    std::array<std::uint64_t, statusCount> byStatus{};

    std::uint64_t correct() const;
    void add(const Summary& other);
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
    // Called once the layout is settled, before the first row.
    std::function<void(const Layout& layout)> settled;
};

// How much of an input is held in memory at once.
struct Limits {
    // The first window, which the layout is settled from, and the size of a read.
    std::size_t window = std::size_t(1) << 20;
    // The longest row kept whole; a longer one is passed through as it is read,
    // with an unreadable status (see Splitter).
    std::size_t maxRow = std::size_t(1) << 20;
};

// The encoding of a whole input: UTF-8 when it starts with a byte order mark or
// is valid UTF-8 throughout, Windows-1252 otherwise.
Encoding detectEncoding(Source& source, const Limits& limits = {});

// Converts one input. wholeInput: its encoding, when the whole input was checked
// already (see detectEncoding). A Failure thrown for want of the account's column
// names no file; the caller knows which input it was.
Summary convert(Source& source, Sink& sink, const Options& options, const Reporter& reporter,
                std::optional<Encoding> wholeInput = std::nullopt, const Limits& limits = {});

} // namespace cli

#pragma once
// The conversion of one input, streamed: its bytes are decoded (cli/input.h) and
// its layout settled from the first window (cli/layout.h); then every row is
// written back as it came, with the added cells (cli/account.h) after it. Memory
// stays that window plus a row of at most Limits::maxRow, whatever the input's
// size and however long its lines.

#include "cli/csv.h"
#include "cli/failure.h"
#include "cli/input.h"
#include "cli/layout.h"
#include "cli/rows.h"
#include "cli/summary.h"

#include <cstdint>
#include <string_view>

namespace cli {

// How much of an input is held in memory at once.
struct Limits {
    // The first window, which the encoding and layout are settled from, and the size of a read.
    std::size_t window = std::size_t(1) << 20;
    // The longest row kept whole; a longer one is passed through as it is read,
    // with an unreadable status (see Splitter).
    std::size_t maxRow = Splitter::defaultMaxRow;
};

// Converts one input. A Failure thrown for want of the account's column names no
// file; the caller knows which input it was.
Summary convert(Source& source, Sink& sink, const Options& options, const Reporter& reporter,
                const Limits& limits = {});

} // namespace cli

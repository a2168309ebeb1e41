#pragma once
// Everything about one input that is settled before its first row is converted,
// once its bytes are decoded (cli/input.h): list or CSV, the separator, the line
// end, whether the first row is a header, where the account is, and the line that
// tells the user all of that, encoding included. Settled once from the input's
// first window; the rows are then streamed with it.

#include "cli/csv.h"
#include "cli/encoding.h"
#include "cli/input.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class Format { automatic, list, csv };
enum class HeaderMode { automatic, yes, no };

// What the command line says about the inputs; what it leaves out is detected.
struct Options {
    Format format = Format::automatic;
    char separator = 0;               // 0: taken from the header line
    std::optional<Encoding> encoding; // none: detected
    std::string column;               // a header name or a number from 1; empty: chosen
    std::vector<std::string> four;    // entity, office, control digits, account columns
    HeaderMode header = HeaderMode::automatic;
};

struct Layout {
    Decoding decoding;            // how the input's bytes were read (cli/input.h)
    Format format = Format::list; // list or csv, never automatic
    char separator = 0;           // 0 for a list
    LineEnd lineEnd = LineEnd::lf;
    bool header = false;              // the first row names the columns
    std::vector<std::size_t> columns; // one, or entity, office, control digits, account
    std::string description;          // for stderr: what was read, and how it was found
};

// A column given by its number from 1, as an index from 0; none for a header name.
std::optional<std::size_t> columnNumber(std::string_view column);

// Settles the layout from the input's first window, decoded as decoding says
// (atEnd when that is the whole input); maxRow is the splitter's limit on a row.
// Throws Failure when the account's column cannot be found.
Layout settleLayout(std::string_view window, bool atEnd, const Options& options,
                    const Decoding& decoding, std::size_t maxRow = Splitter::defaultMaxRow);

} // namespace cli

#pragma once
// Everything about one input that is settled before its first row is converted,
// once its bytes are decoded (cli/input.h): list or CSV, the separator, the line
// end, which row is the header if any, where the account is, and the line that
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
    bool header = false;              // a row names the columns
    std::size_t headerRow = 0;        // that row's index among all rows, blank ones included;
                                      // the rows before it that are not blank are titles
    std::vector<std::size_t> columns; // one, or entity, office, control digits, account
    std::string description;          // for stderr: what was read, and how it was found
};

// A column given by its number from 1, as an index from 0; none for a header name.
std::optional<std::size_t> columnNumber(std::string_view column);

// A file whose name ends in ".csv" (in any case) is a CSV even with one column;
// automatic for any other name.
Format formatOfName(std::string_view path);

// A row with nothing but blanks in every cell: a blank line, or a spreadsheet's
// empty row (";;"), written back as it is and not read.
bool blankRow(const Record& record);

// Settles the layout from the input's first window, decoded as decoding says
// (atEnd when that is the whole input); maxRow is the splitter's limit on a row.
// Throws Failure when the account's column cannot be found.
Layout settleLayout(std::string_view window, bool atEnd, const Options& options,
                    const Decoding& decoding, std::size_t maxRow = Splitter::defaultMaxRow);

} // namespace cli

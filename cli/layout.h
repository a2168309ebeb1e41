#pragma once
// Everything about one input that is settled before its first row is converted:
// the encoding and how it was found, a byte order mark, list or CSV, the
// separator, whether the first row is a header, where the account is, and the
// line that tells the user all of that. Settled once from the input's first
// window; the rows are then streamed with it.

#include "cli/csv.h"
#include "cli/encoding.h"

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

// Where an input's encoding came from.
enum class EncodingFrom {
    option,     // the command line named it
    wholeInput, // the whole input was checked before converting (a regular file)
    window,     // only the first window was checked (a pipe or a terminal)
    utf16Bom,   // a UTF-16 byte order mark, which wins over the command line
};

struct Layout {
    bool bom = false; // a UTF-8 byte order mark, written back as it came
    // A UTF-16 input: the window and the rows are its UTF-8 transcoding, and
    // encoding is then UTF-8.
    Utf16 utf16 = Utf16::none;
    Encoding encoding = Encoding::utf8;
    EncodingFrom encodingFrom = EncodingFrom::window;
    Format format = Format::list; // list or csv, never automatic
    char separator = 0;           // 0 for a list
    LineEnd lineEnd = LineEnd::lf;
    bool header = false;              // the first row names the columns
    std::vector<std::size_t> columns; // one, or entity, office, control digits, account
    std::string description;          // for stderr: what was read, and how it was found
};

// A column given by its number from 1, as an index from 0; none for a header name.
std::optional<std::size_t> columnNumber(std::string_view column);

// Settles the layout from the input's first bytes (window, starting at its first
// byte; atEnd when that is the whole input). wholeInput is the encoding of the
// whole input when it was checked already; maxRow, the splitter's limit on a row;
// utf16, the byte order of a UTF-16 input whose window is given transcoded to
// UTF-8. Throws Failure when the account's column cannot be found.
Layout settleLayout(std::string_view window, bool atEnd, const Options& options,
                    std::optional<Encoding> wholeInput, std::size_t maxRow = std::size_t(1) << 20,
                    Utf16 utf16 = Utf16::none);

} // namespace cli

#pragma once
// Rows of a plain list or of a CSV file (RFC 4180: quoted fields, doubled quotes,
// line breaks inside quotes, LF or CRLF line ends, or CR alone), read so that each row can be
// written back byte for byte: a record keeps the exact bytes it came from and its
// own line end beside the values of its fields.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// What ends a row: LF or CRLF, or, in files from old Macs, CR alone.
enum class LineEnd { lf, cr };

// The character a row's line end ends with.
constexpr char lastCharacter(LineEnd e) {
    return e == LineEnd::cr ? '\r' : '\n';
}

struct Record {
    std::string_view raw;                // the row's bytes, without its line end
    std::string_view end;                // "\n", "\r\n", "\r", or "" for a last row without one
    std::vector<std::string_view> cells; // the values, quotes taken off
    std::size_t lineBreaks = 0;          // line ends inside its quoted cells
    bool allQuoted = false;              // every cell was written in quotes
    bool unclosedQuote = false;          // raw is then only the row's first line
    bool tooLong = false; // no record ends within the limit: raw is the row's start, the rest
                          // of the row runs to the next line end; cells are empty
};

// Splits a byte stream into records. The values point into the stream or into the
// splitter's own storage, and stay valid until the next call.
class Splitter {
public:
    // The longest record kept whole in memory, line end included, unless changed.
    static constexpr std::size_t defaultMaxRow = std::size_t(1) << 20;

    // separator 0 reads a plain list: one cell a line, quotes taken literally.
    // maxRow bounds what one record takes; at least 2.
    explicit Splitter(char separator, std::size_t maxRow = defaultMaxRow,
                      LineEnd lineEnd = LineEnd::lf);

    // Reads the record at the start of data and returns how many bytes it takes,
    // line end included; 0 when data does not hold the whole record yet and more
    // may come (atEnd false), or when data is empty. What it decides depends only
    // on the first maxRow + 1 bytes, never on how much more data holds:
    // - a quoted cell that has not closed within maxRow bytes of its record, or by
    //   the end of the input, is taken as an unclosed quote: the record is its
    //   first line alone;
    // - a record that does not end within maxRow bytes is tooLong: the caller
    //   passes it on to its next line end, as a row of its own (a CR at raw's
    //   edge is left out of it, as it may start the line end).
    std::size_t next(std::string_view data, bool atEnd, Record& record);
    std::size_t maxRow() const { return maxRow_; }

private:
    std::size_t split(std::string_view data, bool atEnd, Record& record);
    std::size_t nextLine(std::string_view data, bool atEnd, Record& record);
    std::size_t unclosed(std::string_view data, bool atEnd, Record& record);
    enum class Cell { done, needMore, unclosed };
    Cell quoted(std::string_view data, bool atEnd, std::size_t& pos, Record& record);

    struct Patch {
        std::size_t cell, offset, size;
    };

    char separator_;
    char eol_; // the line end's last character
    std::size_t maxRow_;
    std::string unescaped_;      // values that held doubled quotes or text after the quote
    std::vector<Patch> patches_; // which cells point into unescaped_
};

// The separator of a CSV header line: the most frequent of ';', tab and ',' outside
// quotes, ';' first on a tie as Spanish spreadsheets write it; 0 when there is none.
char detectSeparator(std::string_view line);

// Appends a cell as CSV: in quotes, with quotes doubled, when it holds the
// separator, a quote or a line break, or when every cell is to be quoted.
void appendCell(std::string& out, std::string_view cell, char separator, bool quote);

} // namespace cli

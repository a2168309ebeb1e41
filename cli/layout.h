#pragma once
// Everything about one input that is settled before its first row is converted,
// once its bytes are decoded (cli/input.h): list or CSV, the separator, the line
// end, which row is the header if any, where the account is, and the line that
// tells the user all of that, encoding included. Settled once from the input's
// first window; the rows are then streamed with it.

#include "cli/csv.h"
#include "cli/encoding.h"
#include "cli/input.h"

#include "core/text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A sheet is a workbook's (cli/workbook.h); its rows are read from its XML.
enum class Format { automatic, list, csv, sheet };
enum class HeaderMode { automatic, yes, no };

// What the command line says about the inputs; what it leaves out is detected.
struct Options {
    Format format = Format::automatic;
    char separator = 0;               // 0: taken from the header line
    std::optional<Encoding> encoding; // none: detected
    std::string column;               // a header name or a number from 1; empty: chosen
    std::vector<std::string> four;    // entity, office, control digits, account columns
    HeaderMode header = HeaderMode::automatic;
    std::string sheet; // a workbook's sheet, by its name; empty: the first
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

// The first rows of the input that are not blank, their cells copied out of the
// window into one block: a window of nothing but separators is a million cells,
// and they must not take more memory than a row.
class Sample {
public:
    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    std::size_t cells(std::size_t row) const { return rows_[row].cells.size(); }
    // An empty cell for one the row does not reach.
    std::string_view cell(std::size_t row, std::size_t c) const {
        if (c >= cells(row))
            return {};
        const auto [at, size] = rows_[row].cells[c];
        return std::string_view(bytes_).substr(at, size);
    }
    // The row's index among all the input's rows, blank ones included, and its line.
    std::size_t index(std::size_t row) const { return rows_[row].index; }
    std::uint64_t line(std::size_t row) const { return rows_[row].line; }
    // A quote that never closes: the row is data, whatever it holds.
    bool unreadable(std::size_t row) const { return rows_[row].unreadable; }
    // How many of the row's cells hold more than blanks.
    std::size_t filled(std::size_t row) const {
        std::size_t n = 0;
        for (std::size_t c = 0; c < cells(row); ++c)
            n += !text::allBlank(cell(row, c));
        return n;
    }
    // A row of the input that is not blank, its index among all rows and its line.
    void add(const Record& record, std::size_t index, std::uint64_t line) {
        auto& row = rows_.emplace_back(Row{index, line, record.unclosedQuote, {}});
        row.cells.reserve(record.cells.size());
        for (const auto cell : record.cells) {
            row.cells.emplace_back(static_cast<std::uint32_t>(bytes_.size()),
                                   static_cast<std::uint32_t>(cell.size()));
            bytes_ += cell;
        }
    }

private:
    struct Row {
        std::size_t index;
        std::uint64_t line;
        bool unreadable;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> cells;
    };
    std::string bytes_;
    std::vector<Row> rows_;
};

// Settles the layout from the input's first window, decoded as decoding says
// (atEnd when that is the whole input); maxRow is the splitter's limit on a row.
// Throws Failure when the account's column cannot be found.
Layout settleLayout(std::string_view window, bool atEnd, const Options& options,
                    const Decoding& decoding, std::size_t maxRow = Splitter::defaultMaxRow);

// Settles the layout of a workbook's sheet from its first rows, whose cells are
// UTF-8; what says what was read. Throws Failure as settleLayout does.
Layout settleSheet(const Sample& sample, const Options& options, const std::string& what);

} // namespace cli

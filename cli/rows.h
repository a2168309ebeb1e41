#pragma once
// What every row gains, whatever its format: the rows up to the header are
// written back as they are, the header gains the added columns' names, blank
// rows gain nothing, and every other row the added cells of its account, counted
// for the summary. A format's rows come from its own source (the text splitter,
// a workbook's sheet) as Records of decoded cells; its own writer puts them back.

#include "cli/account.h"
#include "cli/csv.h"
#include "cli/layout.h"
#include "cli/summary.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace cli {

struct Reporter {
    // A message about the input, with the line it concerns (0 for the whole input).
    std::function<void(std::uint64_t line, std::string_view message)> note;
    // Called now and then with the rows done and the bytes read so far.
    std::function<void(std::uint64_t rows, std::uint64_t bytes)> progress;
    // Called once the layout is settled, before the first row.
    std::function<void(const Layout& layout)> settled;
};

// What one row gains.
struct Gain {
    enum class Kind { nothing, header, cells } kind = Kind::nothing;
    const AddedCells* cells = nullptr; // for Kind::cells
};

class RowRules {
public:
    RowRules(const Layout& layout, const Reporter& reporter)
        : layout_(layout), reporter_(reporter), converter_(layout) {}

    // The next row is the header, or the first row when there is none: the one
    // whose look the added cells take (Converter::quoteAll).
    bool leadingNext() const { return records_ == leading_; }
    Converter& converter() { return converter_; }

    // What the next row of the input gains; line is the one a message names.
    Gain take(const Record& record, std::uint64_t line);
    const Summary& summary() const { return summary_; }

private:
    void rowMessage(Status status, std::uint64_t line);

    const Layout& layout_;
    const Reporter& reporter_;
    Converter converter_;
    Summary summary_;
    std::uint64_t records_ = 0, rowMessages_ = 0;
    const std::uint64_t leading_ = layout_.header ? layout_.headerRow : 0;
};

} // namespace cli

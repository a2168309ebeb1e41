// The rules every row follows, whatever its format.

#include "cli/rows.h"

#include "core/text.h"

namespace cli {

namespace {

// Past this many, unreadable rows are still marked in the output but no longer
// each named on stderr.
constexpr std::uint64_t maxRowMessages = 100;

} // namespace

Gain RowRules::take(const Record& record, std::uint64_t line) {
    const std::uint64_t index = records_++;
    if (index <= leading_ && layout_.header) [[unlikely]] {
        if (index == leading_)
            return {Gain::Kind::header};
        // Blank lines and titles above the header, written back as they are.
        ++(blankRow(record) ? summary_.blank : summary_.titles);
        return {};
    }
    // A blank line gains no cells: it separates, it holds no account. A sheet's
    // rows have no bytes of their own; an empty one is told apart below.
    if (!record.tooLong && (layout_.format == Format::list  ? text::allBlank(record.raw)
                            : layout_.format == Format::csv ? record.raw.empty()
                                                            : false)) {
        ++summary_.blank;
        return {};
    }
    const AddedCells& cells = converter_.row(record);
    // Nor does a spreadsheet's empty row, told apart from a row without an
    // account only when the account's cell is found empty.
    if ((cells.status == status(mdlFuncions::Estat::senseCompte) ||
         cells.status == Status::missingColumns) &&
        blankRow(record)) [[unlikely]] {
        ++summary_.blank;
        return {};
    }
    ++summary_.rows;
    ++summary_.byStatus[static_cast<std::size_t>(cells.status)];
    if (unreadable(cells.status))
        rowMessage(cells.status, line);
    return {Gain::Kind::cells, &cells};
}

void RowRules::rowMessage(Status status, std::uint64_t line) {
    if (++rowMessages_ <= maxRowMessages)
        reporter_.note(line, statusText(status));
    else if (rowMessages_ == maxRowMessages + 1)
        reporter_.note(0, "hi ha més files il·legibles; l'estat de cada una és a la sortida");
}

} // namespace cli

#pragma once
// One row read as an account, domestic or any registry country's IBAN, and the
// cells the converter adds after it: the IBAN electronic and on paper, the BIC,
// the registered name, a status in Catalan and, for a Spanish account that fails
// its checks, the one-typo suggestion. The cells come ready to write: in the
// input's own encoding, each after its separator and quoted as the input's rows
// are, so that the row loop only appends them.

#include "cli/csv.h"
#include "cli/encoding.h"
#include "cli/layout.h"
#include "cli/names.h"
#include "cli/status.h"
#include "core/comprovacio.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The status as written in the summary, in UTF-8.
std::string statusText(Status s);

// A cell of capitals, digits and blanks (an IBAN, electronic or on paper), kept in
// place with its separator and, when every cell is quoted, its quotes: no
// country's IBAN outgrows it, and a row is written without allocating.
class FixedCell {
public:
    static constexpr std::size_t room = mdlFuncions::midaPaper(mdlFuncions::midaMaximaIBAN);

    std::string_view view() const { return {data_.data(), size_}; }
    // Only the characters, without separator or quotes.
    std::string_view text() const {
        return {data_.data() + 1 + quote_, static_cast<std::size_t>(size_ - 1 - 2 * quote_)};
    }
    // The separator, the quotes when quote, and between them the characters text
    // writes at the place it is given, with room for as many; text returns how many.
    template <class Text> void write(char separator, bool quote, Text&& text) {
        data_[0] = separator;
        data_[1] = '"';
        const std::size_t end = 1 + quote + text(data_.data() + 1 + quote);
        data_[end] = '"';
        size_ = static_cast<std::uint8_t>(end + quote);
        quote_ = quote;
    }

private:
    std::array<char, room + 3> data_;
    std::uint8_t size_ = 0;
    bool quote_ = false;
};

// The cells added to a row, to be written in this order, each after its separator.
struct AddedCells {
    Status status = cli::status(mdlFuncions::Estat::senseCompte);
    // IBAN, IBAN on paper, BIC and name, status, suggestion; empty cells where
    // there is nothing right to put. A suggestion is only suggested, never applied.
    std::array<std::string_view, 5> pieces;
    // The same, for a writer of its own (a sheet's): the IBAN, its paper form and
    // the suggestion's in ASCII, and the entity, if any.
    std::string_view iban, paper, suggestion;
    const mdlFuncions::Entitat* entity = nullptr;
};

// Reads the accounts of one input's rows and makes their added cells. The cells
// of each entity and status are made the first time they are due and kept.
class Converter {
public:
    explicit Converter(const Layout& layout);
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Every added cell in quotes, or only those that need them; decided by the
    // input's first row, before any cell is made, so that its rows keep one look.
    void quoteAll(bool quote);

    // The added columns' names after a header row of these cells.
    std::string_view header(const std::vector<std::string_view>& cells);

    // The added cells of a row: its account read from its column, or from its
    // four columns of entity, office, control digits and account; an unreadable
    // status for a row the splitter could not read or too short to reach them.
    // Valid until the next call.
    const AddedCells& row(const Record& record);

private:
    void readCell(std::string_view cell);
    void readFour(const Record& record);
    const AddedCells& cells(Status status, std::u16string_view iban,
                            const mdlFuncions::Entitat* entity, std::u16string_view suggestion);
    const std::string& entityCells(const mdlFuncions::Entitat& entity);
    const std::string& statusCell(Status status);
    void cell(std::string& out, std::string_view text) const;

    const Encoding encoding_;
    const char separator_;
    const std::vector<std::size_t> columns_;
    const std::size_t needed_; // cells a row must have to hold the account
    bool quoteAll_ = false;
    // Reused from row to row.
    mdlFuncions::Comprovacio check_;
    std::u16string text_;
    std::array<std::u16string, 4> four_;
    FixedCell iban_, paper_, suggestion_;
    AddedCells added_;
    // As written in this input, separators and quotes included; empty until due.
    std::string header_, noEntity_;
    std::vector<std::string> entityCells_; // by directory row
    std::array<std::string, statusCount> statusCells_;
};

} // namespace cli

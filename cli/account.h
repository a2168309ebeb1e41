#pragma once
// One cell (or four) of a row read as an account, domestic or any registry
// country's IBAN, and the cells the converter adds for it: the IBAN electronic and
// on paper, the BIC, the registered name, a status in Catalan and, for a Spanish
// account that fails its checks, the one-typo suggestion. Cells are bytes in the
// input's own encoding.

#include "cli/encoding.h"
#include "core/comprovacio.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The statuses a row gets are the account check's, beside those of a row that
// could not be read.
using Status = mdlFuncions::Estat;
inline constexpr std::size_t statusCount = mdlFuncions::nombreEstats;

// The status as written in the summary, in UTF-8.
std::string statusText(Status s);

// Names of the added columns, for a header row, in UTF-8.
inline constexpr std::array<std::string_view, 6> addedHeader = {
    "IBAN", "IBAN en format paper", "BIC", "Entitat", "Estat", "Suggeriment"};

// A header's name as names are compared: blanks around it ignored, full-width
// forms read as ASCII and ASCII letters in either case, so that " iban " and
// "ＩＢＡＮ" are both "IBAN". --columna finds a column by it, and the added columns
// are named apart by it.
std::u16string headerKey(std::u16string_view name);

// The added columns' names for an input whose header row holds these cells: each
// name of addedHeader, or, where the header or an added name before it has it
// already (headerKey), that name followed by " 2", " 3"... the first that is free.
std::vector<std::u16string> addedNames(const std::vector<std::u16string>& header);

// An IBAN's cell, electronic or on paper, kept in place: no country's is longer,
// and a row is written without allocating or calling into std::string.
class IbanCell {
public:
    static constexpr std::size_t capacity = mdlFuncions::midaPaper(mdlFuncions::midaMaximaIBAN);

    std::string_view view() const { return {data_.data(), size_}; }
    operator std::string_view() const { return view(); }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0; }
    // Room for capacity bytes; the first n written are then the cell.
    char* data() { return data_.data(); }
    void setSize(std::size_t n) { size_ = static_cast<std::uint8_t>(n); }

private:
    std::array<char, capacity> data_;
    std::uint8_t size_ = 0;
};

// Empty where there is nothing right to put. BIC and name point into the converter.
// suggestion: the one account a single typo away that passes every check, as an
// IBAN on paper, for a Spanish account that fails; never applied to the others.
struct Added {
    IbanCell iban, paper;
    std::string suggestion;
    std::string_view bic, name;
    int entity = -1; // the directory row bic and name are of; -1 for none

    void clear() {
        iban.clear();
        paper.clear();
        suggestion.clear();
        bic = {};
        name = {};
        entity = -1;
    }
};

// Reads accounts and fills the added cells in one encoding. Holds the directory's
// BICs and names already encoded, so that a row costs no lookup conversion.
class Converter {
public:
    explicit Converter(Encoding e);

    // One cell holding the account in any form a person writes it.
    Status convert(std::string_view cell, Added& out);

    // Four cells, entity, office, control digits and account, each of exactly its
    // field's digits once blanks are taken off.
    Status convertFour(const std::array<std::string_view, 4>& cells, Added& out);

    // A status text in this converter's encoding.
    const std::string& status(Status s) const { return texts_.statuses[static_cast<int>(s)]; }

private:
    Status added(Added& out);

    struct Texts {
        std::vector<std::string> bics, names; // by directory row
        std::array<std::string, statusCount> statuses;
    };
    // Built once per encoding, on first use, from the directory's compiled-in rows
    // and the statuses' texts.
    static const Texts& texts(Encoding e);

    Encoding encoding_;
    const Texts& texts_;
    // Reused from row to row.
    mdlFuncions::Comprovacio check_;
    std::u16string text_;
    std::array<std::u16string, 4> four_;
};

} // namespace cli

#pragma once
// One cell (or four) of a row read as an account, domestic or any registry
// country's IBAN, and the cells the converter adds for it: the IBAN electronic and
// on paper, the BIC, the registered name, a status in Catalan and, for a Spanish
// account that fails its checks, the one-typo suggestion. Cells are bytes in the
// input's own encoding.

#include "cli/encoding.h"
#include "core/compte.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class Status {
    correct,            // control digits agree; IBAN and, when listed, BIC and name given
    unknownEntity,      // correct, but the entity is not in the directory: no BIC, no name
    wrongControlDigits, // 20 digits whose domestic control digits do not agree
    wrongIbanDigits,    // an IBAN whose check digits do not match its account
    allZeros,           // 20 zeros: its control digits agree, but no bank issues it
    foreignCorrect,     // another country's IBAN, right: IBAN and paper form, no BIC or name
    foreignMalformed,   // a registry country's code, but the wrong length or structure
    notAnAccount,       // text that is not one whole account
    empty,              // nothing where the account should be
    unclosedQuote,      // a row whose quote never closes, written back as it was
    missingColumns,     // a row too short to hold the account's column
    tooLong,            // a row longer than the converter keeps in memory, written back as it was
};

// Counted from the last status: a status added after it must take its place here.
inline constexpr std::size_t statusCount = static_cast<std::size_t>(Status::tooLong) + 1;

// The digits of an account's four parts: entity, office, control digits, account.
inline constexpr std::array<std::size_t, 4> accountParts = {4, 4, 2, 10};

// Whether a row with this status holds a right account (exit status 0).
bool isCorrect(Status s);

// The status as written in the added column and the summary, in UTF-8.
std::string_view statusText(Status s);

// Names of the added columns, for a header row, in UTF-8.
inline constexpr std::array<std::string_view, 6> addedHeader = {
    "IBAN", "IBAN en format paper", "BIC", "Entitat", "Estat", "Suggeriment"};

// The added columns' names for an input whose header row holds these cells: each
// name of addedHeader, or, where the header or an added name before it has it
// already, that name followed by " 2", " 3"... the first that is free. Names are
// compared as --columna finds them: blanks around them and ASCII case ignored.
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
    int entity = -1; // the code bic and name are the directory's row for; -1 for none

    void clear() {
        iban.clear();
        paper.clear();
        suggestion.clear();
        // Not bic = name = {}: that reads name back whole right after writing it
        // in halves, which stalls the processor on every row.
        bic = {};
        name = {};
        entity = -1;
    }
};

// Entity codes are four digits.
inline constexpr int entityCodes = 10000;

// Reads accounts and fills the added cells in one encoding. Holds the directory's
// BICs and names already encoded, so that a row costs no lookup conversion.
class Converter {
public:
    explicit Converter(Encoding e);

    Encoding encoding() const { return encoding_; }

    // One cell holding the account in any form a person writes it.
    Status convert(std::string_view cell, Added& out);

    // Four cells, entity, office, control digits and account, each of exactly 4, 4,
    // 2 and 10 digits once blanks are taken off.
    Status convertFour(const std::array<std::string_view, 4>& cells, Added& out);

    // A status text in this converter's encoding.
    const std::string& status(Status s) const { return directory_.statuses[static_cast<int>(s)]; }

private:
    Status fromCcc(std::u16string_view ccc, std::u16string_view ibanDigits, Added& out);
    Status foreign(std::u16string_view iban, Added& out);
    void suggest(std::u16string_view ccc, std::u16string_view ibanDigits, Added& out);
    void writeIban(std::u16string_view iban, Added& out);

    struct Directory {
        std::vector<std::string> bics, names; // by entity code, 0..9999
        std::array<std::string, statusCount> statuses;
    };
    // Built once per encoding, on first use, from the directory's compiled-in rows
    // and the statuses' texts.
    static const Directory& directory(Encoding e);

    Encoding encoding_;
    const Directory& directory_;
    std::u16string text_; // reused between rows
};

} // namespace cli

#pragma once
// The parts of an .xlsx package that brelvoxa reads or changes (cli/workbook.h):
// the shared strings, the styles and one worksheet.

#include "cli/layout.h"
#include "cli/rows.h"
#include "cli/summary.h"
#include "cli/zip.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The workbook's table of shared strings, each rich text's runs joined.
class SharedStrings {
public:
    std::size_t size() const { return ends_.size(); }
    // The text of an index written in a cell; nullopt when there is none.
    std::optional<std::string_view> at(std::string_view index) const;

    void add(std::string_view text);

private:
    std::string texts_;
    std::vector<std::size_t> ends_;
};

SharedStrings readSharedStrings(ZipReader& zip, const ZipEntry& entry, const std::string& file);

// What the styles part says of the cells' formats, and the part rewritten with a
// light red fill and a cell format that uses it.
struct Styles {
    // By cell format (a cell's s): how many digits a format of zeros ("0000") shows,
    // 0 for any other format.
    std::vector<std::uint8_t> zeros;
    std::string rewritten; // empty when the part could not take the fill
    long failFormat = -1;  // the new cell format, when rewritten
};

Styles readStyles(std::string part, const std::string& file, const std::string& name);

// A number cell's text as the person sees it: a whole number as its digits,
// padded to zeros digits; one of more than 15 digits, which a spreadsheet holds
// to 15 significant digits at most (the rest lost, or zeros), in scientific
// notation with those digits, as it shows it; anything else as written.
std::string numberText(std::string_view value, std::size_t zeros);

// A column's letters ("A", "AB") from its index from 0, and back from a cell's
// reference ("AB12"); -1 for none.
std::string columnLetters(std::size_t column);
long columnOf(std::string_view reference);

// Converts the worksheet entry of zip into out, settling its layout from its
// first rows. what: how the sheet was chosen, for stderr.
Summary convertSheet(ZipReader& zip, const ZipEntry& sheet, const SharedStrings& strings,
                     const Styles& styles, ZipWriter& out, const Options& options,
                     const Reporter& reporter, const std::string& file, const std::string& what);

} // namespace cli

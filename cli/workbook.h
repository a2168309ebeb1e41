#pragma once
// Workbooks: an .xlsx (or .xlsm) or .ods file, known by its content, converted
// sheet by sheet as it is inflated. One sheet's rows are read as Records of
// their cells as a person sees them (cli/rows.h) and written back with their
// added cells; every other part of the package is copied as it was stored, and
// the styles part gains only the fill of the status cells of rows that fail.

#include "cli/layout.h"
#include "cli/rows.h"
#include "cli/summary.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace cli {

// What an input's first bytes say it is.
enum class Container {
    text, // anything else: a list or a CSV
    zip,  // a zip package: a workbook, or the error of giving some other zip
    ole,  // an OLE compound file: an old .xls or a workbook with a password
};
Container containerOf(std::string_view head);

// The bytes containerOf needs.
inline constexpr std::size_t containerHead = 8;

// Says, as a Failure naming nothing, why an OLE compound file whose first bytes
// (as many as are at hand, oleHead at most) these are cannot be read: an
// encrypted workbook's directory, near its start, names its encrypted package.
inline constexpr std::size_t oleHead = std::size_t(1) << 16;
[[noreturn]] void refuseOle(std::string_view bytes);

// Converts the workbook in the zip package in, a seekable file that messages call
// name, into out, a seekable file called outName: the sheet that options.sheet
// names, or the first.
Summary convertWorkbook(std::FILE* in, const std::string& name, std::FILE* out,
                        const std::string& outName, const Options& options,
                        const Reporter& reporter);

} // namespace cli

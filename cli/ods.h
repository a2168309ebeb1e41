#pragma once
// The content part of an OpenDocument spreadsheet (cli/workbook.h).

#include "cli/layout.h"
#include "cli/rows.h"
#include "cli/summary.h"
#include "cli/zip.h"

#include <string>

namespace cli {

// Thrown when a row of the sheet reaches past the last column its first rows gave:
// the content is read through and written again (cli/workbook.cpp).
struct WiderThanSampled {};

// Converts the sheet that options.sheet names, or the first, of the content part
// of zip into out, every other sheet copied as it was. The last used column, which
// the part says nowhere, is taken from the sheet's first rows (a large part is
// read only that far before it is written) or, again, from all of it, the layout
// said already.
Summary convertContent(ZipReader& zip, const ZipEntry& content, ZipWriter& out,
                       const Options& options, const Reporter& reporter, const std::string& file,
                       bool again);

} // namespace cli

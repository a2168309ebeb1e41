#pragma once
// The content part of an OpenDocument spreadsheet (cli/workbook.h).

#include "cli/layout.h"
#include "cli/rows.h"
#include "cli/summary.h"
#include "cli/zip.h"

#include <string>

namespace cli {

// Converts the sheet that options.sheet names, or the first, of the content part
// of zip into out, every other sheet copied as it was.
Summary convertContent(ZipReader& zip, const ZipEntry& content, ZipWriter& out,
                       const Options& options, const Reporter& reporter, const std::string& file);

} // namespace cli

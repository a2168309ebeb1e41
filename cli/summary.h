#pragma once
// The summary brelvoxa writes on stderr at the end of a run, in Catalan, its nouns
// and adjectives agreeing with each count ("1 fila llegida", "2 files llegides").

#include "cli/convert.h"

#include <string>
#include <vector>

namespace cli {

// The lines of the summary, without the program's name in front.
std::vector<std::string> summaryLines(const Summary& s);

} // namespace cli

// The counts of a run, and the summary's lines: rows read, correct and with
// errors, then how many of each status under the count it belongs to, then the
// blank lines.

#include "cli/summary.h"

namespace cli {

namespace {

// The count with the singular or the plural form after it; zero takes the plural,
// as in Catalan.
std::string counted(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::uint64_t Summary::correct() const {
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < statusCount; ++i)
        if (mdlFuncions::esCorrecte(static_cast<Status>(i)))
            n += byStatus[i];
    return n;
}

void Summary::add(const Summary& other) {
    rows += other.rows;
    blank += other.blank;
    titles += other.titles;
    for (std::size_t i = 0; i < statusCount; ++i)
        byStatus[i] += other.byStatus[i];
}

std::vector<std::string> summaryLines(const Summary& s) {
    const std::uint64_t correct = s.correct();
    std::vector<std::string> lines;
    lines.push_back(counted(s.rows, "fila llegida", "files llegides") + ": " +
                    counted(correct, "correcta", "correctes") + ", " +
                    counted(s.rows - correct, "amb error", "amb errors"));
    // Each kind under the count it makes up, so that no correct kind reads as an
    // error; plain "correcte" alone needs no line of its own.
    const auto group = [&](const char* title, bool correctKinds) {
        std::vector<std::string> kinds;
        for (std::size_t i = 0; i < statusCount; ++i) {
            const auto status = static_cast<Status>(i);
            if (s.byStatus[i] > 0 && mdlFuncions::esCorrecte(status) == correctKinds)
                kinds.push_back("    " + statusText(status) + ": " + std::to_string(s.byStatus[i]));
        }
        if (kinds.empty() ||
            (correctKinds && s.byStatus[static_cast<std::size_t>(Status::correcte)] == correct))
            return;
        lines.push_back(std::string("  ") + title + ":");
        lines.insert(lines.end(), kinds.begin(), kinds.end());
    };
    group("correctes", true);
    group("amb errors", false);
    if (s.blank > 0)
        lines.push_back("  " + counted(s.blank, "línia en blanc", "línies en blanc"));
    return lines;
}

} // namespace cli

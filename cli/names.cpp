// The header's names compared and the added columns named apart.

#include "cli/names.h"

#include "cli/encoding.h"
#include "core/text.h"

#include <algorithm>

namespace cli {

namespace {

std::u16string fromUtf8(std::string_view s) {
    std::u16string out;
    decode(s, Encoding::utf8, out);
    return out;
}

} // namespace

std::u16string headerKey(std::u16string_view name) {
    std::u16string key(text::trimBlanks(name));
    for (auto& c : key)
        c = text::toSmall(text::fromFullWidth(c));
    return key;
}

std::vector<std::u16string> addedNames(const std::vector<std::u16string>& header) {
    std::vector<std::u16string> taken;
    for (const auto& cell : header)
        taken.push_back(headerKey(cell));
    const auto isTaken = [&](const std::u16string& name) {
        return std::find(taken.begin(), taken.end(), headerKey(name)) != taken.end();
    };
    std::vector<std::u16string> names;
    for (const auto name : addedHeader) {
        const std::u16string base = fromUtf8(name);
        std::u16string chosen = base;
        for (int n = 2; isTaken(chosen); ++n)
            chosen = base + u" " + fromUtf8(std::to_string(n));
        taken.push_back(headerKey(chosen));
        names.push_back(chosen);
    }
    return names;
}

} // namespace cli

// The added cells of one row: the account read from its cell (or four cells) and
// checked by the core (core/comprovacio.h), its IBAN written electronic and on
// paper, and the entity's BIC and name taken from the compiled-in directory,
// already encoded for the output.

#include "cli/account.h"

#include "core/comprovacio.h"
#include "core/entitats.h"
#include "core/text.h"

#include <algorithm>

namespace cli {

namespace {

std::u16string fromUtf8(std::string_view s) {
    std::u16string out;
    decode(s, Encoding::utf8, out);
    return out;
}

bool ascii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::u16string headerKey(std::u16string_view name) {
    std::u16string key(text::trimBlanks(name));
    for (auto& c : key) {
        c = text::fromFullWidth(c);
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
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

std::string statusText(Status s) {
    std::string text;
    encode(mdlFuncions::textEstat(s), Encoding::utf8, text);
    return text;
}

const Converter::Texts& Converter::texts(Encoding e) {
    const auto build = [](Encoding e) {
        const auto directory = mdlFuncions::entitatsDirectori();
        Texts t{std::vector<std::string>(directory.size()),
                std::vector<std::string>(directory.size()),
                {}};
        for (std::size_t row = 0; row < directory.size(); ++row) {
            encode(directory[row].bic, e, t.bics[row]);
            encode(directory[row].nom, e, t.names[row]);
        }
        for (std::size_t i = 0; i < statusCount; ++i)
            encode(mdlFuncions::textEstat(static_cast<Status>(i)), e, t.statuses[i]);
        return t;
    };
    static const Texts utf8 = build(Encoding::utf8);
    if (e == Encoding::utf8)
        return utf8;
    static const Texts windows1252 = build(Encoding::windows1252);
    return windows1252;
}

Converter::Converter(Encoding e) : encoding_(e), texts_(texts(e)) {}

Status Converter::convert(std::string_view cell, Added& out) {
    // Nearly every cell is ASCII, the same in both encodings, and is read as it
    // stands; only one that is not an account that way and holds other bytes is
    // decoded and read again.
    mdlFuncions::comprovarCompte(cell, check_);
    if (check_.estat == Status::noCompte && !ascii(cell)) {
        decode(cell, encoding_, text_);
        mdlFuncions::comprovarCompte(text_, check_);
    }
    return added(out);
}

Status Converter::convertFour(const std::array<std::string_view, 4>& cells, Added& out) {
    for (std::size_t i = 0; i < cells.size(); ++i)
        decode(cells[i], encoding_, four_[i]);
    mdlFuncions::comprovarCamps({four_[0], four_[1], four_[2], four_[3]}, check_);
    return added(out);
}

// An IBAN is capitals and digits, the same bytes in either encoding: copied as
// they are, and its paper form made from those bytes.
Status Converter::added(Added& out) {
    const mdlFuncions::Comprovacio& c = check_;
    out.clear();
    const std::u16string_view iban = c.iban();
    std::copy(iban.begin(), iban.end(), out.iban.data());
    out.iban.setSize(iban.size());
    out.paper.setSize(mdlFuncions::formatPaper(out.iban.view(), out.paper.data()));
    if (c.entitat) {
        const auto row =
            static_cast<std::size_t>(c.entitat - mdlFuncions::entitatsDirectori().data());
        out.entity = static_cast<int>(row);
        out.bic = texts_.bics[row];
        out.name = texts_.names[row];
    }
    const std::u16string_view suggestion = c.suggeriment.iban();
    if (!suggestion.empty())
        encode(mdlFuncions::formatPaper(suggestion), encoding_, out.suggestion);
    return c.estat;
}

} // namespace cli

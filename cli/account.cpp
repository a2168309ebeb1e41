// The added cells of one row: the account read from its cell (or four cells), its
// control digits checked, its IBAN made, and the entity's BIC and name taken from
// the compiled-in directory, already encoded for the output. Another country's IBAN
// is checked against the registry only; a Spanish account that fails its checks
// gets core's one-typo suggestion.

#include "cli/account.h"

#include "core/ccc.h"
#include "core/compte.h"
#include "core/entitats_dades.h"
#include "core/iban.h"
#include "core/suggeriment.h"
#include "core/text.h"

#include <algorithm>

namespace cli {

namespace {

bool asciiDigits(std::u16string_view s, std::size_t size) {
    if (s.size() != size)
        return false;
    for (char16_t c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

std::u16string fromUtf8(std::string_view s) {
    std::u16string out;
    decode(s, Encoding::utf8, out);
    return out;
}

std::u16string nameKey(std::u16string_view name) {
    std::u16string key(text::trimBlanks(name));
    for (auto& c : key)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return key;
}

} // namespace

std::vector<std::u16string> addedNames(const std::vector<std::u16string>& header) {
    std::vector<std::u16string> taken;
    for (const auto& cell : header)
        taken.push_back(nameKey(cell));
    const auto isTaken = [&](const std::u16string& name) {
        return std::find(taken.begin(), taken.end(), nameKey(name)) != taken.end();
    };
    std::vector<std::u16string> names;
    for (const auto name : addedHeader) {
        const std::u16string base = fromUtf8(name);
        std::u16string chosen = base;
        for (int n = 2; isTaken(chosen); ++n)
            chosen = base + u" " + fromUtf8(std::to_string(n));
        taken.push_back(nameKey(chosen));
        names.push_back(chosen);
    }
    return names;
}

bool isCorrect(Status s) {
    return s == Status::correct || s == Status::unknownEntity || s == Status::foreignCorrect;
}

std::string_view statusText(Status s) {
    switch (s) {
    case Status::correct:
        return "correcte";
    case Status::unknownEntity:
        return "correcte, entitat desconeguda";
    case Status::wrongControlDigits:
        return "dígits de control incorrectes";
    case Status::wrongIbanDigits:
        return "dígits de l'IBAN incorrectes";
    case Status::allZeros:
        return "compte tot zeros";
    case Status::foreignCorrect:
        return "IBAN estranger correcte";
    case Status::foreignMalformed:
        return "IBAN estranger mal format";
    case Status::notAnAccount:
        return "no és un compte";
    case Status::empty:
        return "sense compte";
    case Status::unclosedQuote:
        return "fila il·legible: cometes sense tancar";
    case Status::missingColumns:
        return "fila il·legible: falten columnes";
    case Status::tooLong:
        return "fila il·legible: massa llarga";
    }
    return {};
}

const Converter::Directory& Converter::directory(Encoding e) {
    const auto build = [](Encoding e) {
        Directory d{
            std::vector<std::string>(entityCodes), std::vector<std::string>(entityCodes), {}};
        for (const auto& entity : mdlFuncions::dades::entitats) {
            encode(entity.bic, e, d.bics[entity.codi]);
            encode(entity.nom, e, d.names[entity.codi]);
        }
        for (std::size_t i = 0; i < statusCount; ++i)
            encode(fromUtf8(statusText(static_cast<Status>(i))), e, d.statuses[i]);
        return d;
    };
    static const Directory utf8 = build(Encoding::utf8);
    if (e == Encoding::utf8)
        return utf8;
    static const Directory windows1252 = build(Encoding::windows1252);
    return windows1252;
}

Converter::Converter(Encoding e) : encoding_(e), directory_(directory(e)) {}

Status Converter::convert(std::string_view cell, Added& out) {
    using Tipus = mdlFuncions::Lectura::Tipus;
    // Nearly every cell is ASCII, the same in both encodings, and is read as it
    // stands; only one that is not an account that way is decoded and read again.
    mdlFuncions::Lectura lectura = mdlFuncions::llegirCompteOIBAN(cell);
    if (lectura.tipus == Tipus::res) {
        decode(cell, encoding_, text_);
        lectura = mdlFuncions::llegirCompteOIBAN(text_);
    }
    switch (lectura.tipus) {
    case Tipus::res:
        out.clear();
        return text::trimBlanks(text_).empty() ? Status::empty : Status::notAnAccount;
    case Tipus::ibanEstranger:
        return foreign(lectura.text(), out);
    default:
        return fromCcc(lectura.ccc(), lectura.digitsIBAN(), out);
    }
}

Status Converter::convertFour(const std::array<std::string_view, 4>& cells, Added& out) {
    std::u16string ccc;
    bool allEmpty = true;
    bool digits = true;
    for (std::size_t i = 0; i < 4; ++i) {
        decode(cells[i], encoding_, text_);
        std::u16string part(text::trimBlanks(text_));
        // Full-width digits, as a word processor may have made them, are digits.
        for (auto& c : part)
            c = text::fromFullWidth(c);
        allEmpty = allEmpty && part.empty();
        digits = digits && asciiDigits(part, accountParts[i]);
        ccc += part;
    }
    if (!digits) {
        out.clear();
        return allEmpty ? Status::empty : Status::notAnAccount;
    }
    return fromCcc(ccc, {}, out);
}

Status Converter::fromCcc(std::u16string_view ccc, std::u16string_view ibanDigits, Added& out) {
    out.clear();
    if (!mdlFuncions::validarCCC(ccc)) {
        // validarCCC refuses the all-zero account, whose control digits agree.
        if (ccc.find_first_not_of(u'0') == std::u16string_view::npos)
            return Status::allZeros;
        suggest(ccc, ibanDigits, out);
        return Status::wrongControlDigits;
    }
    constexpr std::u16string_view espanya = u"ES";
    const std::u16string digits = mdlFuncions::calcularDigitsIBAN(ccc, espanya);
    if (!ibanDigits.empty() && ibanDigits != digits) {
        suggest(ccc, ibanDigits, out);
        return Status::wrongIbanDigits;
    }
    char16_t iban[mdlFuncions::prefixIBAN + mdlFuncions::digitsCCC] = {u'E', u'S', digits[0],
                                                                       digits[1]};
    std::copy(ccc.begin(), ccc.end(), iban + mdlFuncions::prefixIBAN);
    writeIban({iban, std::size(iban)}, out);
    const int code =
        (ccc[0] - u'0') * 1000 + (ccc[1] - u'0') * 100 + (ccc[2] - u'0') * 10 + (ccc[3] - u'0');
    out.entity = code;
    out.bic = directory_.bics[code];
    out.name = directory_.names[code];
    return out.bic.empty() && out.name.empty() ? Status::unknownEntity : Status::correct;
}

// The directory is Spanish, so another country's IBAN gets no BIC or name; and its
// national check digits are not known here, so it gets no suggestion either.
Status Converter::foreign(std::u16string_view iban, Added& out) {
    out.clear();
    switch (mdlFuncions::validarIBAN(iban)) {
    case mdlFuncions::ValidesaIBAN::valid:
        writeIban(iban, out);
        return Status::foreignCorrect;
    case mdlFuncions::ValidesaIBAN::digitsIncorrectes:
        return Status::wrongIbanDigits;
    case mdlFuncions::ValidesaIBAN::malFormat:
        return Status::foreignMalformed;
    default:
        return Status::notAnAccount;
    }
}

void Converter::suggest(std::u16string_view ccc, std::u16string_view ibanDigits, Added& out) {
    const mdlFuncions::Suggeriment s = mdlFuncions::suggerirCompte(ccc, ibanDigits);
    if (!s.iban.empty())
        encode(mdlFuncions::formatPaper(s.iban), encoding_, out.suggestion);
}

// An IBAN is capitals and digits, the same bytes in either encoding: copied as
// they are, without encode, and its paper form made from those bytes.
void Converter::writeIban(std::u16string_view iban, Added& out) {
    const std::size_t n = std::min(iban.size(), mdlFuncions::midaMaximaIBAN);
    char* bytes = out.iban.data();
    std::copy_n(iban.begin(), n, bytes);
    out.iban.setSize(n);
    out.paper.setSize(mdlFuncions::formatPaper(out.iban.view(), out.paper.data()));
}

} // namespace cli

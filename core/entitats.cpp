// The directory of Spanish credit institutions: for a 4-digit entity code (the EEEE
// of EEEE OOOO DD NNNNNNNNNN) its BIC and registered name. Two tables indexed by
// the code's value, empty until carregarEntitats fills them from the compiled-in
// rows. A code text is read as the forms runtime reads a number into a 16-bit
// integer; a text whose value does not fit, such as "9E99", finds nothing rather
// than failing. The lookups check lengths and ranges; they never search.
//
// The rows come from core/entitats.tsv: 282 entities as the Bank of Spain's register
// of credit institutions listed them around late 2012 (plus a few securities firms
// and market bodies from BOE/TARGET2 lists), with their BICs.

#include "core/entitats.h"

#include "core/ccc.h"
#include "core/entitats_dades.h"
#include "core/text.h"

#include <optional>

namespace mdlFuncions {

namespace {

Taula bics;
Taula noms;

constexpr int codiMaxim = 9999;

std::optional<int> valorCodi(std::u16string_view codi) {
    // What the entity field holds while typed into, up to four plain digits, is
    // read directly; this is what keeps a lookup within a few nanoseconds.
    if (codi.size() <= campEntitat.mida) {
        int valor = 0;
        std::size_t i = 0;
        for (; i < codi.size() && text::isDigit(codi[i]); ++i)
            valor = valor * 10 + (codi[i] - u'0');
        if (i == codi.size())
            return valor;
    }
    const auto v = text::toInt16(text::leadingNumber(codi));
    if (!v)
        return std::nullopt;
    return *v;
}

} // namespace

const Taula& taulaBIC = bics;
const Taula& taulaNoms = noms;

void carregarEntitats() {
    for (int i = 0; i <= codiMaxim; ++i) {
        bics[i].clear();
        noms[i].clear();
    }
    for (const auto& e : dades::entitats)
        bics[e.codi] = e.bic;
    for (const auto& e : dades::entitats)
        noms[e.codi] = e.nom;
}

std::u16string obtenirBIC(std::u16string_view codi) {
    if (codi.size() != campEntitat.mida)
        return {};
    const auto v = valorCodi(codi);
    if (!v || *v < 0 || *v > codiMaxim)
        return {};
    return taulaBIC[*v];
}

std::u16string obtenirNom(std::u16string_view codi) {
    const auto v = valorCodi(codi);
    if (!v || *v < 1 || *v > codiMaxim)
        return {};
    return taulaNoms[*v];
}

} // namespace mdlFuncions

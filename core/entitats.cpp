// The directory of Spanish credit institutions: for a 4-digit entity code (the EEEE
// of EEEE OOOO DD NNNNNNNNNN) its BIC and registered name. The rows are compiled in
// with an index from each code to its row; the window's two tables, indexed by the
// code's value, are filled from that index by carregarEntitats. A code text is read
// as the forms runtime reads a number into a 16-bit integer; a text whose value
// does not fit, such as "9E99", finds nothing rather than failing. The lookups check
// lengths and ranges; they never search.
//
// The rows come from core/entitats.tsv: 282 entities as the Bank of Spain's register
// of credit institutions listed them around late 2012 (plus a few securities firms
// and market bodies from BOE/TARGET2 lists), with their BICs.

#include "core/entitats.h"

#include "core/ccc.h"
#include "core/entitats_files.h"
#include "core/text.h"

#include <cstdint>
#include <optional>

namespace mdlFuncions {

namespace {

// Each code's row, -1 where the directory lists none.
constexpr auto filaDeCodi = [] {
    std::array<std::int16_t, nombreCodis> fila{};
    fila.fill(-1);
    for (std::size_t i = 0; i < compilat::entitats.size(); ++i)
        fila[static_cast<std::size_t>(compilat::entitats[i].codi)] = static_cast<std::int16_t>(i);
    return fila;
}();

Taula bics;
Taula noms;

std::optional<int> valorCodi(std::u16string_view codi) {
    // What the entity field holds while typed into, up to four plain digits, is
    // read directly; only other texts need the runtime's full number reading.
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

std::string_view edicioDirectori() {
    return compilat::edicioEntitats;
}

std::span<const Entitat> entitatsDirectori() {
    return compilat::entitats;
}

const Entitat* cercarEntitat(int codi) {
    if (codi < 0 || codi >= nombreCodis)
        return nullptr;
    const int fila = filaDeCodi[static_cast<std::size_t>(codi)];
    return fila < 0 ? nullptr : &compilat::entitats[static_cast<std::size_t>(fila)];
}

const Taula& taulaBIC = bics;
const Taula& taulaNoms = noms;

void carregarEntitats() {
    for (int codi = 0; codi < nombreCodis; ++codi) {
        const Entitat* e = cercarEntitat(codi);
        bics[codi] = e ? e->bic : std::u16string_view{};
        noms[codi] = e ? e->nom : std::u16string_view{};
    }
}

std::u16string obtenirBIC(std::u16string_view codi) {
    if (codi.size() != campEntitat.mida)
        return {};
    const auto v = valorCodi(codi);
    if (!v || *v < 0 || *v >= nombreCodis)
        return {};
    return taulaBIC[*v];
}

std::u16string obtenirNom(std::u16string_view codi) {
    const auto v = valorCodi(codi);
    if (!v || *v < 1 || *v >= nombreCodis)
        return {};
    return taulaNoms[*v];
}

} // namespace mdlFuncions

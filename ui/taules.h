#pragma once
// What the tables of every window share: the one list their rows are named from,
// and the one dispatcher over their reactions.
//
// A window lists its controls (and its menu items) once, in a macro of entries
// X(name) and, for member i of a control array, XA(name, i). The macros below turn
// that list into the enum rows the code addresses (txtBanc, Label2_0) and into the
// names the form's table carries ("txtBanc", "Label2(0)"); enOrdre then ties the
// table's rows to the list at compile time.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string_view>
#include <type_traits>
#include <utility>

#define TAULES_FILA(nom) nom,
#define TAULES_FILA_DE_MATRIU(nom, i) nom##_##i,
#define TAULES_NOM(nom) u"" #nom,
#define TAULES_NOM_DE_MATRIU(nom, i) u"" #nom "(" #i ")",

namespace taules {

// True when row k of the table is named as entry k of the list.
template <class Files, class Noms> constexpr bool enOrdre(const Files& files, const Noms& noms) {
    return std::equal(files.begin(), files.end(), noms.begin(), noms.end(),
                      [](const auto& fila, std::u16string_view nom) { return fila.name == nom; });
}

// Runs the reaction that the table gives row `fila` for one event: `taula` holds
// rows with a member `fila` and one pointer to a method of the form per event,
// null where the row has none. Returns what the reaction returns, or, where there
// is none, a value-initialised result (false for a paste: pasted as usual).
template <class Form, class Reaccions, std::size_t N, class Reaccio, class... Args>
auto reaccionar(Form& form, const Reaccions (&taula)[N], int fila, Reaccio Reaccions::*event,
                Args&&... args) {
    for (const Reaccions& r : taula) {
        if (r.fila == fila && r.*event != nullptr) {
            return std::invoke(r.*event, form, std::forward<Args>(args)...);
        }
    }
    return std::invoke_result_t<Reaccio, Form&, Args...>();
}

} // namespace taules

#pragma once
// The entity directory as compiled in: one row per entity, in ascending code order.
// The rows are generated at build time from core/entitats.tsv.

#include <span>
#include <string_view>

namespace mdlFuncions::dades {

struct Entitat {
    int codi; // 0..9999, the slot the entity takes in the tables
    std::u16string_view bic;
    std::u16string_view nom;
};

extern const std::span<const Entitat> entitats;

} // namespace mdlFuncions::dades

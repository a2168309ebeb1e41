#pragma once
// Table-driven tests: each row carries its own name, which becomes the test's and
// is what a failure prints for the row.

#include <ostream>
#include <string>

namespace files {

struct Fila {
    std::string nom;
};

inline std::ostream& operator<<(std::ostream& os, const Fila& fila) {
    return os << fila.nom;
}

// For INSTANTIATE_TEST_SUITE_P: names a case after its row.
struct PerNom {
    template <class Info> std::string operator()(const Info& info) const { return info.param.nom; }
};

} // namespace files

# What both table generators write: the rows as a constexpr array in a header that
# one source of the core includes, so that the indexes over it are made while
# compiling. The header is replaced only when its text changes, so that an
# unchanged table rebuilds nothing.
#
#   escriureTaula(<header> <declarations> <namespace> <type> <name> <count> <rows>)
#
# The header says which data file and which script it comes from (ENTRADA and the
# calling script).

function(escriureTaula sortida capcalera espai tipus nom nombre files)
    get_filename_component(dades "${ENTRADA}" NAME)
    get_filename_component(script "${CMAKE_CURRENT_LIST_FILE}" NAME)
    file(WRITE "${sortida}.tmp"
"// Generated from core/${dades} by core/${script}; do not edit.
#pragma once

#include \"${capcalera}\"

#include <array>

namespace ${espai} {

inline constexpr std::array<${tipus}, ${nombre}> ${nom}{{
${files}}};

} // namespace ${espai}
")
    file(COPY_FILE "${sortida}.tmp" "${sortida}" ONLY_IF_DIFFERENT)
    file(REMOVE "${sortida}.tmp")
endfunction()

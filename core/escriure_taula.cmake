# What both table generators write: the rows as a constexpr array, seen by the
# program through a span, in a C++ source that is replaced only when its text
# changes, so that an unchanged table rebuilds nothing.
#
#   escriureTaula(<font> <capçalera> <espai de noms> <tipus> <span> <nombre> <files>)
#
# The source says which data file and which script it comes from (ENTRADA and the
# calling script).

function(escriureTaula sortida capcalera espai tipus span nombre files)
    get_filename_component(dades "${ENTRADA}" NAME)
    get_filename_component(script "${CMAKE_CURRENT_LIST_FILE}" NAME)
    file(WRITE "${sortida}.tmp"
"// Generated from core/${dades} by core/${script}; do not edit.

#include \"${capcalera}\"

#include <array>

namespace ${espai} {

namespace {

constexpr std::array<${tipus}, ${nombre}> files{{
${files}}};

} // namespace

const std::span<const ${tipus}> ${span}{files};

} // namespace ${espai}
")
    file(COPY_FILE "${sortida}.tmp" "${sortida}" ONLY_IF_DIFFERENT)
    file(REMOVE "${sortida}.tmp")
endfunction()

# What both table generators write: the rows as a constexpr array in a header that
# one source of the core includes, so that the indexes over it are made while
# compiling. The header is replaced only when its text changes, so that an
# unchanged table rebuilds nothing.
#
#   escriureTaula(<header> <declarations> <namespace> <type> <name> <count> <rows> <edition>)
#
# The header says which data file and which script it comes from (ENTRADA and the
# calling script). Beside the rows it holds the table's edition, as the data file's
# edition line names it (llegirEdicio), in UTF-8: `edicio` and the rows' name
# ("edicioPaisos" beside "paisos").

# llegirEdicio(<data file> <variable>): the text after "# Edition: " on the file's one
# edition line, which every compiled-in table has among its comment lines.
function(llegirEdicio fitxer variable)
    file(STRINGS "${fitxer}" linies REGEX "^# Edition: " ENCODING UTF-8)
    list(LENGTH linies nombre)
    if(NOT nombre EQUAL 1)
        message(FATAL_ERROR "${fitxer}: expected one edition line '# Edition: ...', found ${nombre}")
    endif()
    string(REGEX REPLACE "^# Edition: ([^\r]*)\r?$" "\\1" edicio "${linies}")
    set(${variable} "${edicio}" PARENT_SCOPE)
endfunction()

function(escriureTaula sortida capcalera espai tipus nom nombre files edicio)
    string(REPLACE "\\" "\\\\" edicio "${edicio}")
    string(REPLACE "\"" "\\\"" edicio "${edicio}")
    string(SUBSTRING "${nom}" 0 1 inicial)
    string(TOUPPER "${inicial}" inicial)
    string(SUBSTRING "${nom}" 1 -1 resta)
    set(nomEdicio "edicio${inicial}${resta}")
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

inline constexpr char ${nomEdicio}[] = \"${edicio}\";

} // namespace ${espai}
")
    file(COPY_FILE "${sortida}.tmp" "${sortida}" ONLY_IF_DIFFERENT)
    file(REMOVE "${sortida}.tmp")
endfunction()

# Turns the entity directory (UTF-8, tab-separated: codi, bic, nom, one header
# line after "#" comment lines, one of them the edition) into a C++ header with one
# row per entity, the texts as u"..." literals and as UTF-8 "..." literals, so that
# the program never reads the file at run time.
#
#   cmake -DENTRADA=entitats.tsv -DSORTIDA=entitats_files.h -P generar_entitats.cmake
#
# The file is walked with string(FIND)/string(SUBSTRING) rather than as a CMake
# list, so that a ";" or a bracket in a name cannot split or merge rows.

if(NOT DEFINED ENTRADA OR NOT DEFINED SORTIDA)
    message(FATAL_ERROR "usage: cmake -DENTRADA=<tsv> -DSORTIDA=<header> -P generar_entitats.cmake")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/escriure_taula.cmake)

# Moves the text of `linia` up to its first tab into `camp`, leaving the rest.
macro(treureCamp camp)
    string(FIND "${linia}" "\t" tab)
    if(tab EQUAL -1)
        message(FATAL_ERROR "${ENTRADA}:${numeroLinia}: expected three fields")
    endif()
    string(SUBSTRING "${linia}" 0 ${tab} ${camp})
    math(EXPR inici "${tab} + 1")
    string(SUBSTRING "${linia}" ${inici} -1 linia)
endmacro()

file(READ "${ENTRADA}" resta)
string(REPLACE "\r" "" resta "${resta}")

set(files "")
set(nombre 0)
set(numeroLinia 0)
set(codiAnterior -1)
set(capcalera FALSE)
while(NOT resta STREQUAL "")
    string(FIND "${resta}" "\n" salt)
    if(salt EQUAL -1)
        set(linia "${resta}")
        set(resta "")
    else()
        string(SUBSTRING "${resta}" 0 ${salt} linia)
        math(EXPR inici "${salt} + 1")
        string(SUBSTRING "${resta}" ${inici} -1 resta)
    endif()
    math(EXPR numeroLinia "${numeroLinia} + 1")

    if(linia MATCHES "^#")
        continue()
    endif()
    if(NOT capcalera)
        if(NOT linia STREQUAL "codi\tbic\tnom")
            message(FATAL_ERROR "${ENTRADA}:${numeroLinia}: expected the header codi, bic, nom")
        endif()
        set(capcalera TRUE)
        continue()
    endif()
    if(linia STREQUAL "")
        continue()
    endif()

    treureCamp(codi)
    treureCamp(bic)
    set(nom "${linia}")

    # The code indexes the tables and the rows must be unique and in order.
    if(NOT codi MATCHES "^[0-9][0-9][0-9][0-9]$")
        message(FATAL_ERROR "${ENTRADA}:${numeroLinia}: the code '${codi}' is not 4 digits")
    endif()
    math(EXPR valor "${codi}")
    if(NOT valor GREATER codiAnterior)
        message(FATAL_ERROR "${ENTRADA}:${numeroLinia}: code ${codi} out of order")
    endif()
    set(codiAnterior ${valor})
    if(NOT bic MATCHES "^[A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9][A-Z0-9]$")
        message(FATAL_ERROR "${ENTRADA}:${numeroLinia}: the BIC '${bic}' is not 11 capitals or digits")
    endif()
    if(nom STREQUAL "" OR nom MATCHES "\t")
        message(FATAL_ERROR "${ENTRADA}:${numeroLinia}: the name is empty or has a fourth field")
    endif()

    string(REPLACE "\\" "\\\\" nom "${nom}")
    string(REPLACE "\"" "\\\"" nom "${nom}")
    string(APPEND files "    {${valor}, u\"${bic}\", u\"${nom}\", \"${bic}\", \"${nom}\"},\n")
    math(EXPR nombre "${nombre} + 1")
endwhile()

if(nombre EQUAL 0)
    message(FATAL_ERROR "${ENTRADA}: no entities")
endif()

llegirEdicio("${ENTRADA}" edicio)
escriureTaula("${SORTIDA}" core/entitats.h mdlFuncions::compilat Entitat entitats ${nombre}
              "${files}" "${edicio}")

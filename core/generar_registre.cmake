# Turns the IBAN registry's country table (core/iban_registre.tsv: "#" comment
# lines, a header pais, llargada, bban, then one tab-separated row per country in
# code order) into a C++ header, so that the program never reads the file at run
# time. The BBAN structure is kept as the registry writes it and also spelt out,
# one letter n, a or c per character, which is what the check walks.
#
#   cmake -DENTRADA=iban_registre.tsv -DSORTIDA=registre_files.h -P generar_registre.cmake
#
# Every row is checked here: a code of two capitals in ascending order, and a
# length that is the BBAN's groups plus four (country and check digits). The edition
# line names the registry's release and its number of countries, "# Edition: release
# N, M countries": the rows must be exactly M, so that the release named and the
# rows cannot part.

if(NOT DEFINED ENTRADA OR NOT DEFINED SORTIDA)
    message(FATAL_ERROR "usage: cmake -DENTRADA=<tsv> -DSORTIDA=<header> -P generar_registre.cmake")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/escriure_taula.cmake)

file(STRINGS "${ENTRADA}" linies ENCODING UTF-8)

set(files "")
set(nombre 0)
set(capcalera FALSE)
set(anterior "")
foreach(linia IN LISTS linies)
    string(REPLACE "\r" "" linia "${linia}")
    if(linia STREQUAL "" OR linia MATCHES "^#")
        continue()
    endif()
    if(NOT capcalera)
        if(NOT linia STREQUAL "pais\tllargada\tbban")
            message(FATAL_ERROR "${ENTRADA}: expected the header pais, llargada, bban")
        endif()
        set(capcalera TRUE)
        continue()
    endif()
    if(NOT linia MATCHES "^([A-Z][A-Z])\t([0-9]+)\t(([0-9]+![nac])+)$")
        message(FATAL_ERROR "${ENTRADA}: malformed row '${linia}'")
    endif()
    set(pais ${CMAKE_MATCH_1})
    set(llargada ${CMAKE_MATCH_2})
    set(format ${CMAKE_MATCH_3})
    if(NOT pais STRGREATER anterior)
        message(FATAL_ERROR "${ENTRADA}: ${pais} out of order or repeated")
    endif()
    set(anterior ${pais})

    # "4!n2!a" becomes "nnnnaa".
    set(estructura "")
    string(REGEX MATCHALL "[0-9]+![nac]" grups "${format}")
    foreach(grup IN LISTS grups)
        string(REGEX MATCH "^([0-9]+)!([nac])$" _ "${grup}")
        string(REPEAT "${CMAKE_MATCH_2}" ${CMAKE_MATCH_1} tros)
        string(APPEND estructura "${tros}")
    endforeach()
    string(LENGTH "${estructura}" mida)
    math(EXPR total "${mida} + 4")
    if(NOT total EQUAL llargada)
        message(FATAL_ERROR "${ENTRADA}: ${pais}: the groups of ${format} make ${total} characters, not ${llargada}")
    endif()
    if(llargada GREATER 34)
        message(FATAL_ERROR "${ENTRADA}: ${pais}: an IBAN has at most 34 characters")
    endif()

    string(APPEND files "    {u\"${pais}\", ${llargada}, \"${estructura}\", \"${format}\"},\n")
    math(EXPR nombre "${nombre} + 1")
endforeach()

if(nombre EQUAL 0)
    message(FATAL_ERROR "${ENTRADA}: no countries")
endif()

llegirEdicio("${ENTRADA}" edicio)
if(NOT edicio MATCHES "^(.+), ([0-9]+) countries$")
    message(FATAL_ERROR "${ENTRADA}: the edition line must read '# Edition: RELEASE, N countries'")
endif()
set(versio "${CMAKE_MATCH_1}")
if(NOT CMAKE_MATCH_2 EQUAL nombre)
    message(FATAL_ERROR "${ENTRADA}: the edition names ${CMAKE_MATCH_2} countries, the table has ${nombre}")
endif()

escriureTaula("${SORTIDA}" core/registre_iban.h mdlFuncions::compilat PaisIBAN paisos ${nombre}
              "${files}" "${versio}")

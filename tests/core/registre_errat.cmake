# The IBAN registry's generator refuses a table with a faulty row, so that a slip
# in core/iban_registre.tsv stops the build instead of reaching the program. One
# case per fault: a row, and a word the error must carry.
#
#   cmake -DGENERADOR=<generar_registre.cmake> -DDIR=<scratch dir> -P registre_errat.cmake

set(capcalera "# Edition: release 1, 1 countries\npais\tllargada\tbban\n")
set(casos
    "more_rows_than_the_edition_names|AD\t24\t4!n4!n12!c\nAE\t23\t3!n16!n|names 1 countries, the table has 2"
    "edition_named_twice|# Edition: release 1, 1 countries\nAD\t24\t4!n4!n12!c|found 2"
    "groups_short_of_the_length|AD\t25\t4!n4!n12!c|make 24 characters, not 25"
    "out_of_order|FR\t27\t5!n5!n11!c2!n\nDE\t22\t8!n10!n|out of order"
    "repeated|DE\t22\t8!n10!n\nDE\t22\t8!n10!n|repeated"
    "unknown_kind|DE\t22\t8!n10!x|malformed row"
    "lower_case_country|de\t22\t8!n10!n|malformed row"
    "longer_than_34|XA\t35\t31!c|at most 34")

file(MAKE_DIRECTORY "${DIR}")
set(fallades 0)
foreach(cas IN LISTS casos)
    string(REPLACE "|" ";" parts "${cas}")
    list(GET parts 0 nom)
    list(GET parts 1 files)
    list(GET parts 2 esperat)
    file(WRITE "${DIR}/${nom}.tsv" "${capcalera}${files}\n")
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DENTRADA=${DIR}/${nom}.tsv -DSORTIDA=${DIR}/${nom}.h
                -P ${GENERADOR}
        RESULT_VARIABLE resultat ERROR_VARIABLE error)
    string(REPLACE "\n" " " error "${error}")
    string(REGEX REPLACE " +" " " error "${error}")
    if(resultat EQUAL 0 OR NOT error MATCHES "${esperat}")
        message(SEND_ERROR "${nom}: expected a failure saying '${esperat}', got ${resultat}: ${error}")
        math(EXPR fallades "${fallades} + 1")
    endif()
endforeach()
if(fallades GREATER 0)
    message(FATAL_ERROR "${fallades} faulty tables were not refused as expected")
endif()

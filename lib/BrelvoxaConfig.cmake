# find_package(Brelvoxa): the imported target Brelvoxa::brelvoxa, libbrelvoxa with
# its header, brelvoxa.h.
include("${CMAKE_CURRENT_LIST_DIR}/BrelvoxaTargets.cmake")

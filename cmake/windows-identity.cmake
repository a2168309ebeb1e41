# The programs' identity on Windows. Their resource scripts, written with the
# project's version, give each executable its icon, its version resource and its
# manifest (app/windows.manifest: the UTF-8 code page, so that file names outside
# ASCII reach main() whole). The scripts are generated on every platform, as the
# Linux tests compile Dormatique's too. The installer's version header beside them is
# for tools/windows.sh, which runs makensis on packaging/windows/Brelvoxa.nsi.
set(BRELVOXA_ICON ${PROJECT_SOURCE_DIR}/platform/resources/icona.ico)
set(BRELVOXA_MANIFEST ${PROJECT_SOURCE_DIR}/app/windows.manifest)
foreach(program Dormatique brelvoxa)
    set(script ${PROJECT_BINARY_DIR}/windows/${program}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/app/${program}.rc.in ${script} @ONLY)
    if(WIN32 AND TARGET ${program})
        target_sources(${program} PRIVATE ${script})
        set_source_files_properties(${script} TARGET_DIRECTORY ${program} PROPERTIES
            OBJECT_DEPENDS "${BRELVOXA_ICON};${BRELVOXA_MANIFEST}")
        # The scripts are UTF-8 and say so with a pragma, which some llvm-rc releases ignore.
        if(CMAKE_RC_COMPILER MATCHES "llvm-rc")
            set_property(SOURCE ${script} TARGET_DIRECTORY ${program}
                APPEND PROPERTY COMPILE_OPTIONS /C 65001)
        endif()
    endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.nsh.in
    ${PROJECT_BINARY_DIR}/windows/version.nsh @ONLY)

# The Debian packages, one per install component, NAME_VERSION-1_amd64.deb: brelvoxa
# from Runtime (the programs, the desktop entry, and what packaging/linux/ adds:
# manual pages, icons, AppStream entry, completion, copyright), and with the library
# libbrelvoxa1, libbrelvoxa-dev and python3-brelvoxa; everything under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brelvoxa)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Runtime)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME brelvoxa)
# Every package is built from the one source, whose changelog they all carry.
set(CPACK_DEBIAN_PACKAGE_SOURCE brelvoxa)
# The version as the program and its Windows resources write it.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Merrowfield,S.L.")
# Each package's description, its first line the synopsis (so no project-wide summary
# is set, which CPack would put before each).
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "Calculadora IBAN i codi BIC de comptes espanyols
Passa un compte corrent espanyol (CCC) al prefix IBAN i dona el codi BIC de
l'entitat. Dormatique és la calculadora d'escriptori; brelvoxa, quan hi és,
converteix llistes de comptes des de la línia d'ordres.")
# The maintainer, with the contact address the changelog names too; an address may
# not hold a comma, which would make it two.
set(BRELVOXA_MAINTAINER "Merrowfield S.L. <brelvoxa@merrowfield.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${BRELVOXA_MAINTAINER})
# The first packaging of the version, packed as Debian packs a program written
# elsewhere: version VERSION-1, its changelog as changelog.Debian.gz.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(BRELVOXA_PACKAGE_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
# The terms allow no modification, so Debian would file it as non-free.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION non-free/utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};ALL;/")

# Libraries from dpkg-shlibdeps; beside them what is loaded at run time instead of
# linked: the fonts standing in for the designed ones, Qt's X11 platform plugin
# (in libqt6gui6) and Qt's Catalan texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "fonts-liberation2, fonts-comic-neue")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "qt6-translations-l10n")

if(BRELVOXA_LIB)
    list(APPEND CPACK_COMPONENTS_ALL Library Development)
    if(TARGET _brelvoxa)
        list(APPEND CPACK_COMPONENTS_ALL Python)
    endif()
    set(libpackage libbrelvoxa${BRELVOXA_SOVERSION})
    set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${libpackage})
    set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION non-free/libs)
    # The shlibs entry that packages built against the library depend through.
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
    set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "comprovació de comptes bancaris espanyols i d'IBAN (biblioteca C)
libbrelvoxa comprova un compte espanyol de 20 dígits o un IBAN de qualsevol
país del registre, escrit com sigui, i en dona l'IBAN electrònic i en format
paper, el BIC i el nom de l'entitat, l'estat en català i, per a un compte
erroni, el compte que probablement s'hi volia escriure. És la comprovació de
brelvoxa.")

    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libbrelvoxa-dev)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION non-free/libdevel)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${libpackage} (= ${BRELVOXA_PACKAGE_VERSION})")
    set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "comprovació de comptes bancaris espanyols i d'IBAN (desenvolupament)
La capçalera brelvoxa.h i l'enllaç per compilar programes amb libbrelvoxa, amb
brelvoxa.pc per a pkg-config i el paquet de CMake per a find_package(Brelvoxa).")

    set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-brelvoxa)
    set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION non-free/python)
    # The extension is built for the one Python 3 of the release it is packed on.
    set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "${BRELVOXA_PYTHON_DEPENDS}")
    set(CPACK_COMPONENT_PYTHON_DESCRIPTION "comprovació de comptes bancaris espanyols i d'IBAN (Python 3)
El mòdul brelvoxa, fet a la manera de python-stdnum: compact, validate,
is_valid, format, to_bic, bank_name, suggest, check i check_many, que comprova
una llista sencera o una columna de pandas d'un sol cop.")
endif()

include(CPack)

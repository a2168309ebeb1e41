# The Debian package, brelvoxa_VERSION-1_amd64.deb: what the install rules put in the
# Runtime component (the programs, the desktop entry, and what packaging/linux/
# adds: manual pages, icons, AppStream entry, completion, copyright) under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brelvoxa)
# The version as the program and its Windows resources write it.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Merrowfield,S.L.")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Calculadora IBAN i codi BIC de comptes espanyols")
set(CPACK_PACKAGE_DESCRIPTION
    "Passa un compte corrent espanyol (CCC) al prefix IBAN i dona el codi BIC de\n\
l'entitat. Dormatique és la calculadora d'escriptori; brelvoxa, quan hi és,\n\
converteix llistes de comptes des de la línia d'ordres.")
# CPack writes the summary as the synopsis line itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# The maintainer, with the contact address the changelog names too; an address may
# not hold a comma, which would make it two.
set(BRELVOXA_MAINTAINER "Merrowfield S.L. <brelvoxa@merrowfield.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${BRELVOXA_MAINTAINER})
# The first packaging of the version, packed as Debian packs a program written
# elsewhere: version VERSION-1, its changelog as changelog.Debian.gz.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(BRELVOXA_PACKAGE_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
# The terms allow no modification, so Debian would file it as non-free.
set(CPACK_DEBIAN_PACKAGE_SECTION non-free/utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Runtime;/")

# Libraries from dpkg-shlibdeps; beside them what is loaded at run time instead of
# linked: the fonts standing in for the designed ones, Qt's X11 platform plugin
# (in libqt6gui6) and Qt's Catalan texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-comic-neue")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(CPack)

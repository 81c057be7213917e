# The Debian package, made by CPack's DEB generator from the configured build tree: cpack runs
# the install rules into a staging folder, so the package is exactly what cmake --install places
# and needs no second build. scripts/package.sh runs it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelvano)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pelvano maintainers <maintainers@users.noreply.pelvano.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "broadcast-automation player for a small station")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pelvano puts a station's whole day on air unattended: timed items start on
their second, items cross-fade into the next, a time signal sounds before
each full and half hour and the next day's schedule loads by itself. It edits
schedules, reads and writes MP3 tags, shows synchronised lyrics and can
stream the mix to an Icecast server. pelvano-cli runs a station without
windows and simulates its day in virtual time.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The units and the desktop entry name the programs under /usr, so the package is installed
# there with DESTDIR staging (the prefix is not rewritten into the staging folder).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The libraries come from dpkg-shlibdeps; what is loaded or read at run time without being
# linked is named here: the SVG icon engine, Qt's Chinese translations, the seven-segment face
# of the clock and a CJK font for the Chinese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n, fonts-dseg, fonts-wqy-microhei")

# Debian wants a copyright file and a changelog in the package's documentation folder.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/pelvano)
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
    COMMAND ${GZIP} -9nc ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog > ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog)
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${doc_dir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${doc_dir})

include(CPack)

# A Debian package of the program: `cpack -G DEB` in a build tree writes sondaryk_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sondaryk)
set(CPACK_PACKAGE_VENDOR "Sondaryk")
set(CPACK_PACKAGE_CONTACT "Sondaryk <sondaryk@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Wyniki egzaminów i testów szkolnych w szkole podstawowej")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Zapis punktów uczniów z egzaminu ósmoklasisty, egzaminów próbnych i własnych testów szkoły "
    "oraz ich analiza: średnie i łatwość zadań, standardów, wymagań i całego testu dla klas "
    "i szkoły, wykresy, raporty do arkusza, analiza na radę pedagogiczną, karty wyników uczniów "
    "i porównanie kolejnych testów.")
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The install scripts write below DESTDIR with the final prefix, so the desktop entry names the
# program where the package puts it.
set(CPACK_SET_DESTDIR ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries come from what the program links; fonts and translations are used at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
# The school's Setup.ini is kept over upgrades, and dpkg asks before replacing an edited one.
set(SONDARYK_CONFFILES ${CMAKE_BINARY_DIR}/debian/conffiles)
file(WRITE ${SONDARYK_CONFFILES} "/etc/sondaryk/Setup.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${SONDARYK_CONFFILES})
include(CPack)

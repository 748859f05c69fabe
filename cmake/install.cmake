# What `cmake --install` puts where, and the Debian package CPack makes of it.
# An installed copy finds its help in <prefix>/share/dunmoral and keeps the user's cams in
# ~/.local/share (the program chooses; see src/app/programfolder.h).
include(GNUInstallDirs)

set(WEBCAMS_APP_ID "example.tarvique.Webcams")
set(WEBCAMS_DESKTOP ${CMAKE_SOURCE_DIR}/resources/desktop)

install(TARGETS dunmoral RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${WEBCAMS_HELP_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/dunmoral)
install(FILES ${WEBCAMS_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/dunmoral/translations)
install(FILES ${WEBCAMS_DESKTOP}/${WEBCAMS_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${WEBCAMS_DESKTOP}/${WEBCAMS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 48 64 128 256)
    install(FILES ${WEBCAMS_DESKTOP}/icons/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${WEBCAMS_APP_ID}.png)
endforeach()
install(FILES ${WEBCAMS_DESKTOP}/${WEBCAMS_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# `make package`: a .deb whose dependencies dpkg-shlibdeps reads from the executable.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dunmoral)
set(CPACK_PACKAGE_VENDOR "${COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PRODUCT_NAME}: watch public webcams side by side")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Keeps a list of public webcams and shows up to 24 of them at once, each fetched again at "
    "its own interval; new pictures can be saved as JPEG files.")
set(CPACK_PACKAGE_CONTACT "${COMPANY_NAME} <support@tarvique.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins are loaded, not linked: X11 and Wayland (today's GNOME and KDE sessions)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${PRODUCT_WEBSITE}/")
set(CPACK_STRIP_FILES ON)
include(CPack)

# Installing Pesavo like any desktop program (FHS places under the prefix) and the
# Debian package built from that install by CPack.
#
#   cmake -B build-package -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=Release -DPESAVO_TESTS=OFF
#   cmake --build build-package && (cd build-package && cpack -G DEB)
#
# The program and its browser keeper (src/) go to bin/ and conversion.html to
# share/pesavo/, where AppPaths looks for them.

set(PESAVO_APP_ID org.pesavo.Pesavo)
# udev's own folder, relative to the prefix: with /usr it is /usr/lib/udev, which
# a merged /usr (every Debian 12 system) also shows as /lib/udev.
set(PESAVO_UDEV_DIR "lib/udev" CACHE STRING "udev folder, relative to the install prefix")

# Icons rendered from the program's artwork, at every size it draws.
set(icons_dir ${CMAKE_BINARY_DIR}/icons)
add_custom_command(OUTPUT ${icons_dir}/hicolor/256x256/apps/${PESAVO_APP_ID}.png
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:app_icons> ${icons_dir} ${PESAVO_APP_ID}
    DEPENDS app_icons
    COMMENT "Rendering the menu icons")
add_custom_target(pesavo_icons ALL DEPENDS ${icons_dir}/hicolor/256x256/apps/${PESAVO_APP_ID}.png)
install(DIRECTORY ${icons_dir}/hicolor DESTINATION share/icons)

install(FILES resources/desktop/${PESAVO_APP_ID}.desktop DESTINATION share/applications)
configure_file(resources/desktop/${PESAVO_APP_ID}.metainfo.xml ${CMAKE_BINARY_DIR}/${PESAVO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${PESAVO_APP_ID}.metainfo.xml DESTINATION share/metainfo)

install(FILES resources/udev/70-pesavo-scale.rules DESTINATION ${PESAVO_UDEV_DIR}/rules.d)
install(TARGETS pesavo-pos-scale RUNTIME DESTINATION ${PESAVO_UDEV_DIR})

# Manual pages and the package's changelog, compressed as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(docs)
foreach(page pesavo.1 pesavo-browser-keeper.1)
    configure_file(docs/man/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
    list(APPEND docs ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
configure_file(packaging/debian/changelog ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
list(APPEND docs ${CMAKE_BINARY_DIR}/doc/changelog.gz)
foreach(doc IN LISTS docs)
    string(REGEX REPLACE "\\.gz$" "" plain ${doc})
    add_custom_command(OUTPUT ${doc} COMMAND ${GZIP_PROGRAM} -9nf -k ${plain} DEPENDS ${plain})
endforeach()
add_custom_target(pesavo_docs ALL DEPENDS ${docs})
install(FILES ${CMAKE_BINARY_DIR}/man/pesavo.1.gz ${CMAKE_BINARY_DIR}/man/pesavo-browser-keeper.1.gz
    DESTINATION share/man/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz packaging/debian/copyright DESTINATION share/doc/pesavo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pesavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Pesavo maintainers <maintainers@pesavo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "postal scale reader and shipping assistant")
# The synopsis is the summary above; CPack indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pesavo shows the weight on a USB postal scale on a liquid-crystal readout, in
kilograms or in pounds and ounces, with tare, hold and zero tracking, and
lives in the tray when hidden. It opens carrier rate pages in a Chromium
browser and fills in the weight and the stored shipment details.

It reads its own scale and the standard USB point-of-sale scales most postal
scales are; a udev rule lets the user at the desktop read them without root.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pesavo.org/)
# Qt, libudev and the C++ runtime come from the binaries' own links; the window
# needs Qt's platform plugins, which no library link names. Passwords of taught
# pages go to the desktop keyring through QtKeychain; without a keyring they are
# not kept at all.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, udev, libqt6keychain1")
# A Wayland session without XWayland starts the program only through the toolkit's Wayland plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "chromium | google-chrome-stable | microsoft-edge-stable | brave-browser, gnome-keyring | kwalletmanager, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-calculator | kcalc | galculator | qalculate-gtk | mate-calc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)

# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package (tools/package): cpack -G DEB in a tree configured with the prefix /usr. Its
# dependencies come from the shared libraries the programs load (dpkg-shlibdeps); its maintainer scripts
# make udev read the amplifier's rule at once.
set(CPACK_PACKAGE_NAME varnoth)
set(CPACK_PACKAGE_VENDOR "The Varnoth developers")
# The package's maintainer, "Name <address>": by default whoever builds it, as Debian's tools take it
# (DEBFULLNAME and DEBEMAIL, or NAME and EMAIL), else the git identity of the checkout.
set(maintainer_name "$ENV{DEBFULLNAME}")
set(maintainer_address "$ENV{DEBEMAIL}")
if(NOT maintainer_name)
    set(maintainer_name "$ENV{NAME}")
endif()
if(NOT maintainer_address)
    set(maintainer_address "$ENV{EMAIL}")
endif()
find_program(GIT git)
if(GIT AND NOT maintainer_name)
    execute_process(COMMAND ${GIT} config user.name WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE maintainer_name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(GIT AND NOT maintainer_address)
    execute_process(COMMAND ${GIT} config user.email WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE maintainer_address OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(default_maintainer "")
if(maintainer_name AND maintainer_address)
    set(default_maintainer "${maintainer_name} <${maintainer_address}>")
endif()
set(VARNOTH_MAINTAINER "${default_maintainer}" CACHE STRING "The package's maintainer, \"Name <address>\"")
set(CPACK_PACKAGE_CONTACT "${VARNOTH_MAINTAINER}")
if(NOT VARNOTH_MAINTAINER)
    message(STATUS "No package maintainer (cpack needs one): set DEBFULLNAME and DEBEMAIL, or -DVARNOTH_MAINTAINER")
endif()
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first packaging of this version: the package's version is VERSION-1.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control panel of a karaoke DSP amplifier attached over USB")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnoth mirrors every parameter of the karaoke amplifier on sliders, switches,\n"
    "preset lists and EQ graphs and sends each edit to the amplifier at once. It\n"
    "keeps the amplifier's four memory modes, saves and loads mode data files,\n"
    "edits the machine settings, learns the keys of an infrared remote and\n"
    "upgrades the firmware, in Chinese or English.\n"
    ".\n"
    "The package holds the panel (varnoth), the command-line tool (varnoth-cli),\n"
    "the virtual amplifier as a kernel HID device (varnoth-virtual-amp) and the\n"
    "udev rule that gives the user at the seat access to the amplifier.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# CPack puts the summary in front of it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(VARNOTH_HOMEPAGE)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VARNOTH_HOMEPAGE})
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without a font that covers Chinese the panel runs in English; Qt's translations put its own dialogs in
# Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/resources/linux/debian/postinst
                                       ${PROJECT_SOURCE_DIR}/resources/linux/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
# Absolute destinations (the udev rule) land inside the package as they would on the system.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_GENERATOR DEB)

# Debian wants a changelog beside the copyright file.
find_program(GZIP gzip)
if(GZIP)
    string(TIMESTAMP VARNOTH_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
    set(VARNOTH_PACKAGE_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
    configure_file(${PROJECT_SOURCE_DIR}/resources/linux/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
                       COMMAND ${GZIP} -9nkf ${PROJECT_BINARY_DIR}/debian/changelog.Debian
                       DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian)
    add_custom_target(debian-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
    install(FILES ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)
endif()

include(CPack)

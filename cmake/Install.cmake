# SPDX-License-Identifier: GPL-3.0-or-later
# What cmake --install puts where a Linux desktop expects it: the programs, the desktop entry, the icon in
# the hicolor theme, the AppStream metadata, the manual pages and the bash completion. The udev rule is
# installed by src/device/hid.
# The project's licence (SPDX), named in the metadata; LICENSE holds its text.
set(VARNOTH_LICENSE "GPL-3.0-or-later")

set(programs varnoth-cli)
if(TARGET varnoth)
    list(APPEND programs varnoth)
endif()
if(TARGET varnoth-virtual-amp)
    list(APPEND programs varnoth-virtual-amp)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(linux_dir ${PROJECT_SOURCE_DIR}/resources/linux)
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

# Desktop entry, metadata and icon: only with the panel.
if(TARGET varnoth)
    install(FILES ${linux_dir}/${VARNOTH_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The home page and the screenshot on it only when the build names a home page.
    set(VARNOTH_METAINFO_HOMEPAGE "")
    if(VARNOTH_HOMEPAGE)
        string(CONCAT VARNOTH_METAINFO_HOMEPAGE
               "  <url type=\"homepage\">${VARNOTH_HOMEPAGE}</url>\n"
               "  <screenshots>\n"
               "    <screenshot type=\"default\">\n"
               "      <caption>The main window, synchronised with the virtual amplifier</caption>\n"
               "      <image>${VARNOTH_HOMEPAGE}/screenshot.png</image>\n"
               "    </screenshot>\n"
               "  </screenshots>")
    endif()
    # Where bugs are reported and the source is read, when the build names them.
    foreach(link IN ITEMS bugtracker vcs-browser)
        string(TOUPPER "VARNOTH_${link}" variable)
        string(REPLACE "-" "_" variable "${variable}")
        if(${variable})
            string(APPEND VARNOTH_METAINFO_HOMEPAGE "\n  <url type=\"${link}\">${${variable}}</url>")
        endif()
    endforeach()
    configure_file(${linux_dir}/${VARNOTH_APP_ID}.metainfo.xml.in ${PROJECT_BINARY_DIR}/${VARNOTH_APP_ID}.metainfo.xml
                   @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/${VARNOTH_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    set(VARNOTH_ICON_SIZES 16 22 24 32 48 64 128 256)
    foreach(size IN LISTS VARNOTH_ICON_SIZES)
        install(FILES ${linux_dir}/icons/${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${VARNOTH_APP_ID}.png)
    endforeach()
    install(FILES ${linux_dir}/icons/icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${VARNOTH_APP_ID}.svg)
endif()

install(FILES ${linux_dir}/varnoth-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME varnoth-cli)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${linux_dir}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The systemd user unit of varnoth-cli serve, where the build has serve; not enabled by installing it.
if(TARGET varnoth_remote)
    configure_file(${linux_dir}/varnoth-serve.service.in ${PROJECT_BINARY_DIR}/varnoth-serve.service @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/varnoth-serve.service DESTINATION lib/systemd/user)
endif()

# Manual pages, written from each program's --help at build time (help2man), compressed as Debian ships them.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
if(NOT HELP2MAN OR NOT GZIP)
    message(WARNING "help2man or gzip is missing: the manual pages are neither built nor installed")
    return()
endif()
set(man_dir ${PROJECT_BINARY_DIR}/man)
set(pages)
foreach(program IN LISTS programs)
    set(arguments)
    if(program STREQUAL "varnoth")
        set(summary "control panel of the karaoke DSP amplifier attached over USB")
    elseif(program STREQUAL "varnoth-cli")
        set(summary "control the karaoke DSP amplifier from the command line")
        set(arguments -DCOMMANDS=ON)
    else()
        set(summary "the virtual karaoke amplifier as a kernel HID device")
    endif()
    set(page ${man_dir}/${program}.1)
    add_custom_command(
        OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${HELP2MAN} -DPROGRAM=$<TARGET_FILE:${program}> -DOUTPUT=${page}
                "-DSUMMARY=${summary}" -DINCLUDE=${linux_dir}/man/${program}.h2m ${arguments}
                -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
        COMMAND ${GZIP} -9nf ${page}
        DEPENDS ${program} ${linux_dir}/man/${program}.h2m ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
        COMMENT "Writing the manual page of ${program}"
        VERBATIM)
    list(APPEND pages ${page}.gz)
endforeach()
add_custom_target(man-pages ALL DEPENDS ${pages})
# OPTIONAL: a tree built for some targets only (the VM test's) still installs what it has.
install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 OPTIONAL)

# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build tree into a staging root and checks that every file lands where the desktop, man,
# bash and udev look for it, that each icon has the size its folder names, and that the installed programs
# run: varnoth answers --help without a display, varnoth-cli reads the virtual amplifier.
# Variables: BUILD_DIR, DESTDIR (emptied first), PREFIX, RULES_DIR, EXPECTED (installed-files.txt).
file(REMOVE_RECURSE ${DESTDIR})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${DESTDIR} ${CMAKE_COMMAND} --install ${BUILD_DIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
endif()
set(root ${DESTDIR}${PREFIX})

file(STRINGS ${EXPECTED} expected REGEX "^[^#]")
set(missing)
foreach(path IN LISTS expected)
    if(NOT EXISTS ${root}/${path})
        list(APPEND missing ${path})
    endif()
endforeach()
if(NOT EXISTS ${DESTDIR}${RULES_DIR}/70-varnoth.rules)
    list(APPEND missing ${RULES_DIR}/70-varnoth.rules)
endif()
if(missing)
    list(JOIN missing "\n  " missing)
    message(FATAL_ERROR "not installed under ${root}:\n  ${missing}")
endif()

# Nothing installed that the list does not know of.
file(GLOB_RECURSE installed RELATIVE ${root} ${root}/*)
list(REMOVE_ITEM installed ${expected})
if(installed)
    list(JOIN installed "\n  " installed)
    message(FATAL_ERROR "installed but not expected under ${root}:\n  ${installed}")
endif()

foreach(path IN LISTS expected)
    if(path MATCHES "/([0-9]+)x([0-9]+)/apps/.*\\.png$")
        set(size ${CMAKE_MATCH_1})
        # The PNG header: 8 bytes of signature, then the IHDR chunk with width and height (4 bytes each).
        file(READ ${root}/${path} header OFFSET 16 LIMIT 8 HEX)
        math(EXPR want "${size}" OUTPUT_FORMAT HEXADECIMAL)
        string(REGEX REPLACE "^0x" "" want "${want}")
        string(LENGTH "${want}" digits)
        math(EXPR pad "8 - ${digits}")
        string(REPEAT "0" ${pad} zeros)
        if(NOT header STREQUAL "${zeros}${want}${zeros}${want}")
            message(FATAL_ERROR "${path} is not ${size} x ${size} pixels (IHDR ${header})")
        endif()
    elseif(path MATCHES "\\.gz$")
        file(READ ${root}/${path} magic LIMIT 2 HEX)
        if(NOT magic STREQUAL "1f8b")
            message(FATAL_ERROR "${path} is not compressed with gzip")
        endif()
    endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                        ${root}/bin/varnoth --help
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT output MATCHES "^Usage: varnoth ")
    message(FATAL_ERROR "the installed varnoth --help without a display ended with ${status}:\n${output}${errors}")
endif()
execute_process(COMMAND ${root}/bin/varnoth-cli --simulate dump
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT output MATCHES "\nMicVol = [0-9]+\n")
    message(FATAL_ERROR "the installed varnoth-cli --simulate dump ended with ${status}:\n${output}${errors}")
endif()
message(STATUS "installed as expected under ${DESTDIR}")

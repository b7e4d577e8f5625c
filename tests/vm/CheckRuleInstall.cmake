# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build tree into a staging root and checks that the udev rule arrived whole.
# Variables: BUILD_DIR, DESTDIR (staging root, emptied first), RULES_DIR, RULE (the rule in the sources).
file(REMOVE_RECURSE ${DESTDIR})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${DESTDIR} ${CMAKE_COMMAND} --install ${BUILD_DIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
endif()
set(installed ${DESTDIR}${RULES_DIR}/70-varnoth.rules)
if(NOT EXISTS ${installed})
    message(FATAL_ERROR "the udev rule is not at ${installed}; the install said:\n${output}")
endif()
file(READ ${installed} got)
file(READ ${RULE} want)
if(NOT got STREQUAL want)
    message(FATAL_ERROR "${installed} differs from ${RULE}")
endif()
message(STATUS "the udev rule installs as ${installed}")

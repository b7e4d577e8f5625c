# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the manual page of a program from its own --help, so that the page never drifts from the program.
# Variables: HELP2MAN, PROGRAM (the built executable), OUTPUT (the .1 file), SUMMARY (the line of the NAME
# section), INCLUDE (a help2man include file with the sections --help has no room for), COMMANDS (ON: the
# program has commands, each with COMMAND --help; a COMMANDS section is made of their texts, and PARAMETERS and MACHINE FIELDS sections of the tables that
# "set --help" and "machine --help" print).
get_filename_component(work ${OUTPUT} DIRECTORY)
get_filename_component(name ${OUTPUT} NAME_WE)
set(extra ${work}/${name}.generated.h2m)

# Text for roff: backslashes escaped, no line read as a request.
function(roff_text text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(run_help out)
    execute_process(COMMAND ${PROGRAM} ${ARGN} --help RESULT_VARIABLE status OUTPUT_VARIABLE text
                    ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed (${status}): ${errors}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The text from offset AT up to the next empty line, stripped.
function(paragraph_at text at out)
    string(SUBSTRING "${text}" ${at} -1 rest)
    string(FIND "${rest}" "\n\n" end)
    if(NOT end EQUAL -1)
        string(SUBSTRING "${rest}" 0 ${end} rest)
    endif()
    string(STRIP "${rest}" rest)
    set(${out} "${rest}" PARENT_SCOPE)
endfunction()

# The lines after the line HEADING up to the next empty line.
function(help_section text heading out)
    string(FIND "${text}" "${heading}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "no \"${heading}\" in the help of ${PROGRAM}")
    endif()
    string(LENGTH "${heading}\n" skip)
    math(EXPR at "${at} + ${skip}")
    paragraph_at("${text}" ${at} rest)
    set(${out} "${rest}" PARENT_SCOPE)
endfunction()

# A table of "  NAME  RANGE" lines as a roff list.
function(roff_table text out)
    string(REPLACE "\n" ";" lines "${text}")
    set(result "")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        string(REGEX MATCH "^([^ ]+( \\(N [0-9.]+\\))?) +(.*)$" matched "${line}")
        if(matched)
            roff_text("${CMAKE_MATCH_1}" key)
            roff_text("${CMAKE_MATCH_3}" value)
            string(APPEND result ".TP\n.B ${key}\n${value}\n")
        endif()
    endforeach()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

set(includes --include=${INCLUDE})
if(COMMANDS)
    run_help(usage)
    help_section("${usage}" "Commands:" synopses)
    string(REPLACE "\n" ";" synopses "${synopses}")
    set(section "[COMMANDS]\nEach command takes --help, which prints its text below.\n")
    foreach(synopsis IN LISTS synopses)
        string(STRIP "${synopsis}" synopsis)
        string(REGEX MATCH "^[^ ]+" command "${synopsis}")
        run_help(help ${command})
        # The text of a command is its second paragraph: the first is its usage line.
        string(FIND "${help}" "\n\n" start)
        math(EXPR start "${start} + 2")
        paragraph_at("${help}" ${start} body)
        roff_text("${synopsis}" synopsis)
        roff_text("${body}" body)
        string(APPEND section ".TP\n.B ${synopsis}\n${body}\n")
    endforeach()
    run_help(set_help set)
    help_section("${set_help}" "Parameters (raw range):" parameters)
    roff_table("${parameters}" parameters)
    run_help(machine_help machine)
    help_section("${machine_help}" "Fields (range):" fields)
    roff_table("${fields}" fields)
    string(FIND "${usage}" "\nExit codes: " at)
    if(at EQUAL -1)
        message(FATAL_ERROR "no \"Exit codes:\" in the help of ${PROGRAM}")
    endif()
    math(EXPR at "${at} + 13")
    paragraph_at("${usage}" ${at} exits)
    roff_text("${exits}" exits)
    file(WRITE ${extra}
         "[EXIT STATUS]\n${exits}\n"
         "${section}\n[PARAMETERS]\nThe names that get and set take, with the raw range of each.\n${parameters}\n"
         "[MACHINE FIELDS]\nThe fields that machine set takes, with their ranges.\n${fields}\n")
    list(APPEND includes --include=${extra})
endif()

execute_process(
    COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --name=${SUMMARY}
            ${includes} --output=${OUTPUT} ${PROGRAM}
    RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed for ${PROGRAM} (${status}): ${errors}")
endif()

# The commands and the exit codes have sections of their own: the usage's list of commands and its
# exit-code paragraph are not repeated above them.
if(COMMANDS)
    file(READ ${OUTPUT} page)
    string(FIND "${page}" ".SS \"Commands:\"\n" from)
    if(NOT from EQUAL -1)
        string(SUBSTRING "${page}" 0 ${from} before)
        string(SUBSTRING "${page}" ${from} -1 after)
        string(FIND "${after}" "\n.SH " to)
        math(EXPR to "${to} + 1")
        string(SUBSTRING "${after}" ${to} -1 after)
        file(WRITE ${OUTPUT} "${before}${after}")
    endif()
endif()

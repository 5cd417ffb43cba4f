# SPDX-License-Identifier: MIT
# Puts into page.js and lab.js, in the site staged in SITE, the numbers they share with the
# program (and the names of "set"): WRITER (run by NODE) prints each script's, which go in below its placeholder line.
set(placeholder "    // The numbers this script shares with the program, written here by the build.\n")
foreach(script page lab)
    execute_process(COMMAND ${NODE} ${WRITER} ${script} OUTPUT_VARIABLE numbers
                    COMMAND_ERROR_IS_FATAL ANY)
    file(READ ${SITE}/${script}.js text)
    string(FIND "${text}" "${placeholder}" at)
    if(at LESS 0)
        message(FATAL_ERROR "${script}.js has no line ${placeholder}")
    endif()
    string(REPLACE "${placeholder}" "${placeholder}${numbers}" text "${text}")
    file(WRITE ${SITE}/${script}.js "${text}")
endforeach()

# SPDX-License-Identifier: MIT
# Puts the start window into the site staged in SITE, so that it shows before any script
# has run: WRITER (run by NODE) prints its markup, which takes the place of index.html's
# placeholder line, and its rules, which go at the end of velmora.css.
set(placeholder "<!-- The start window: the build writes it here. -->\n")
execute_process(COMMAND ${NODE} ${WRITER} html OUTPUT_VARIABLE markup COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${NODE} ${WRITER} css OUTPUT_VARIABLE rules COMMAND_ERROR_IS_FATAL ANY)
file(READ ${SITE}/index.html page)
string(FIND "${page}" "${placeholder}" at)
if(at LESS 0)
    message(FATAL_ERROR "index.html has no line ${placeholder}")
endif()
string(REPLACE "${placeholder}" "${markup}" page "${page}")
file(WRITE ${SITE}/index.html "${page}")
file(APPEND ${SITE}/velmora.css "${rules}")

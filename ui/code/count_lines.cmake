# SPDX-License-Identifier: MIT
# Writes, into OUT, the rules' source as a table (sources.cpp) and a counted copy of each of
# its FILES (paths under ROOT), by TOOL (velmora-count-lines), run by RUN_WITH if the build's
# programs need one (node, Wine, qemu).
string(ASCII 1 marker)
set(files "")
set(index 0)
file(MAKE_DIRECTORY ${OUT})
foreach(path IN LISTS FILES)
    file(READ ${ROOT}/${path} text)
    string(APPEND files "${marker}${path}\n${text}")
    get_filename_component(name ${path} NAME)
    execute_process(COMMAND ${RUN_WITH} ${TOOL} counted ${index}
                    INPUT_FILE ${ROOT}/${path} OUTPUT_FILE ${OUT}/${name}
                    COMMAND_ERROR_IS_FATAL ANY)
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUT}/files.txt "${files}")
execute_process(COMMAND ${RUN_WITH} ${TOOL} table
                INPUT_FILE ${OUT}/files.txt OUTPUT_FILE ${OUT}/sources.cpp
                COMMAND_ERROR_IS_FATAL ANY)

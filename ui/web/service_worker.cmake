# SPDX-License-Identifier: MIT
# Writes the site's service worker, sw.js, from TEMPLATE into SITE: the list of the site's
# files, and a version made from their names and contents.
file(GLOB files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(contents "")
set(quoted "")
foreach(file IN LISTS files)
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND contents "${file} ${hash}\n")
    list(APPEND quoted "\"${file}\"")
endforeach()
string(SHA256 version "${contents}")
string(SUBSTRING ${version} 0 16 SITE_VERSION)
list(JOIN quoted ", " SITE_FILES)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)

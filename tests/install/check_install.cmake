# Installs the build into an empty PREFIX and checks it: exactly the files EXPECTED lists, the
# program runs from there, its desktop entry and metainfo carry every language of LINGUAS, and it
# names no path of the source or build tree it was made in, so it reads nothing from them at run
# time. `cmake -P`; the variables come with -D.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} --strip
    OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
file(STRINGS ${EXPECTED} expected)
list(SORT expected)
if(NOT installed STREQUAL expected)
    set(unexpected ${installed})
    list(REMOVE_ITEM unexpected ${expected})
    set(missing ${expected})
    list(REMOVE_ITEM missing ${installed})
    message(FATAL_ERROR "installed but not listed: ${unexpected}\nlisted but not installed: ${missing}")
endif()

execute_process(COMMAND ${PREFIX}/bin/tessary --version
    OUTPUT_VARIABLE version_line RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT version_line STREQUAL "tessary ${VERSION}\n")
    message(FATAL_ERROR "the installed tessary --version said \"${version_line}\" (status ${status})")
endif()

# The newest release the metainfo announces is this version.
file(READ ${PREFIX}/share/metainfo/org.tessary.Tessary.metainfo.xml metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" newest "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the metainfo's newest release is ${CMAKE_MATCH_1}, not ${VERSION}")
endif()

# The desktop entry and the metainfo speak every language there are translations for.
file(READ ${PREFIX}/share/applications/org.tessary.Tessary.desktop entry)
file(STRINGS ${LINGUAS} languages)
foreach(language ${languages})
    if(NOT entry MATCHES "\nComment\\[${language}\\]=" OR
       NOT metainfo MATCHES "<summary xml:lang=\"${language}\">")
        message(FATAL_ERROR "the installed desktop entry or metainfo has no text in ${language}")
    endif()
endforeach()

set(forbidden)
foreach(tree ${SOURCE_DIR} ${BUILD_DIR})
    string(REGEX REPLACE "([][+.*?()^$|\\])" "\\\\\\1" tree "${tree}")
    list(APPEND forbidden "${tree}")
endforeach()
list(JOIN forbidden "|" forbidden)
file(STRINGS ${PREFIX}/bin/tessary tree_paths REGEX "${forbidden}")
if(tree_paths)
    message(FATAL_ERROR "the installed program names paths of the tree it was built in: ${tree_paths}")
endif()

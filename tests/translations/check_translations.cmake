# `cmake -P`, the variables with -D. Brings copies of the .ts catalogs up to date with lupdate and
# asks that nothing changed and nothing is unfinished; extracts the desktop entry's and the
# metainfo's texts with xgettext and asks msgcmp that each .po translates all of them.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
separate_arguments(options UNIX_COMMAND "${LUPDATE_OPTIONS}")
set(problems)

file(GLOB catalogs ${TS_DIR}/*.ts)
foreach(catalog ${catalogs})
    get_filename_component(name ${catalog} NAME)
    file(COPY ${catalog} DESTINATION ${WORK})
    execute_process(COMMAND ${LUPDATE} -silent ${options} -I ${INCLUDE_DIR} @${SOURCES}
                            -ts ${WORK}/${name}
        RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        list(APPEND problems "lupdate failed on ${name}: ${errors}")
        continue()
    endif()
    file(READ ${catalog} committed)
    file(READ ${WORK}/${name} updated)
    if(NOT committed STREQUAL updated)
        list(APPEND problems "${name} differs from what lupdate makes of the sources: build the \
target update_translations and translate what it adds")
    endif()
    string(REGEX MATCHALL "<message[ >]" texts "${updated}")
    string(REGEX MATCHALL "<message numerus=\"yes\">" plurals "${updated}")
    string(REGEX MATCHALL "type=\"unfinished\"" unfinished "${updated}")
    list(LENGTH texts texts)
    list(LENGTH plurals plurals)
    list(LENGTH unfinished unfinished)
    message(STATUS "${name}: ${texts} texts (${plurals} with plural forms), ${unfinished} unfinished")
    if(unfinished GREATER 0)
        list(APPEND problems "${name} has ${unfinished} unfinished translations")
    endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -D XGETTEXT=${XGETTEXT} -D ITS=${ITS}
                        -D DATA_DIR=${DATA_DIR} -D POT=${WORK}/data.pot
                        -P ${TS_DIR}/data/extract.cmake
    RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    list(APPEND problems "extracting the desktop entry's and metainfo's texts failed: ${errors}")
endif()
file(STRINGS ${TS_DIR}/data/LINGUAS languages)
foreach(language ${languages})
    execute_process(COMMAND ${MSGCMP} ${TS_DIR}/data/${language}.po ${WORK}/data.pot
        RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        list(APPEND problems "data/${language}.po lacks translations: ${errors}")
    endif()
endforeach()

if(problems)
    list(JOIN problems "\n" problems)
    message(FATAL_ERROR "${problems}")
endif()

# `cmake -P`, the variables with -D: writes to POT the texts of the desktop entry and the
# metainfo in DATA_DIR that translators translate. xgettext reads each kind of file in its own
# pass, since the metainfo's rules (ITS) would have it read the desktop entry as XML.
execute_process(COMMAND ${XGETTEXT} --from-code=UTF-8 --package-name=Tessary --no-location
                        --language=Desktop
                        # The program's name stays as it is.
                        --keyword= --keyword=GenericName --keyword=Comment --keyword=Keywords
                        -o ${POT} ${DATA_DIR}/org.tessary.Tessary.desktop
    RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 0 AND errors STREQUAL "")
    execute_process(COMMAND ${XGETTEXT} --from-code=UTF-8 --package-name=Tessary --no-location
                            --its=${ITS} --join-existing
                            -o ${POT} ${DATA_DIR}/org.tessary.Tessary.metainfo.xml
        RESULT_VARIABLE status ERROR_VARIABLE errors)
endif()
# xgettext succeeds on a file it cannot read, only saying so.
if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
    message(FATAL_ERROR "xgettext: ${errors}")
endif()

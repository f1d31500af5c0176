# Fails unless the library exports exactly the symbols its package's symbols file lists
# (dpkg-gensymbols: a symbol gone, or a new one without an entry, fails).
execute_process(COMMAND dpkg-gensymbols -p${PACKAGE} -v${VERSION} -e${LIBRARY} -I${SYMBOLS}
                        -O/dev/null -c4
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc)
    message(FATAL_ERROR "exports differ from ${SYMBOLS}:\n${out}")
endif()

# Fails unless the library exports exactly its entry points and the error type hosts catch.
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(rc)
    message(FATAL_ERROR "nm failed: ${rc}")
endif()
string(REGEX MATCHALL "[^ \n]+\n" names "${out}")
list(TRANSFORM names STRIP)
list(SORT names)
set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer
    QfstoreSetMessageBoxHook _ZTIN7qfstore5ErrorE _ZTSN7qfstore5ErrorE _ZTVN7qfstore5ErrorE)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "exported: ${names}\nexpected: ${expected}")
endif()

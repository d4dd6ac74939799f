# Fails when a program or library links __cxa_thread_atexit, that is, when it
# has a thread_local object with a destructor. With this toolchain's emulated
# thread storage such a destructor runs after the thread's variables have been
# freed (docs/platform.md, "C run-time"), so none may exist.
# Run as: cmake -DNM=... "-DFILES=a.exe;b.dll" -P NoThreadLocalDestructors.cmake
foreach(file IN LISTS FILES)
    execute_process(COMMAND "${NM}" "${file}" OUTPUT_VARIABLE symbols RESULT_VARIABLE status
                    ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "nm ${file} failed (${status}): ${errors}")
    endif()
    if(NOT symbols MATCHES "[_a-zA-Z]")
        message(FATAL_ERROR "nm found no symbols in ${file}: the check would prove nothing")
    endif()
    if(symbols MATCHES "__cxa_thread_atexit")
        message(FATAL_ERROR "${file} links __cxa_thread_atexit: a thread_local object has a destructor")
    endif()
endforeach()
message(STATUS "no thread_local destructors in: ${FILES}")

# Checks with objdump that the DLL exports the fifteen settings functions under
# their plain names, with ordinals 1 to 15 in the order callers look them up, and
# nothing else. Run as: cmake -DOBJDUMP=... -DDLL=... -P CheckExports.cmake
set(expected
    OpenIniFile WriteIniFile CloseIniFile DoesNodeExist GetIniValueInt SetIniValueInt
    GetIniValueStr SetIniValueStr GetKeyCount GetKeyNameAt GetArrayCount SetArrayCount
    GetArrayItemAt SetArrayItemAt RemoveArrayItemAt)

execute_process(COMMAND "${OBJDUMP}" -p "${DLL}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump -p ${DLL} failed: ${status}")
endif()

# The name table: lines "\t[   2] CloseIniFile", the number being ordinal - base.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
if(start EQUAL -1)
    message(FATAL_ERROR "${DLL} has no export name table")
endif()
string(SUBSTRING "${dump}" ${start} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${table}")

string(REGEX MATCH "Ordinal Base ([0-9]+)" base_line "${dump}")
set(base ${CMAKE_MATCH_1})

list(LENGTH entries count)
list(LENGTH expected expected_count)
if(NOT count EQUAL expected_count)
    message(FATAL_ERROR "${DLL} exports ${count} names, not ${expected_count}:\n${table}")
endif()

set(failures "")
set(ordinal 1)
foreach(name IN LISTS expected)
    math(EXPR index "${ordinal} - ${base}")
    set(found FALSE)
    foreach(entry IN LISTS entries)
        if(entry MATCHES "^\\[ *([0-9]+)\\] (.+)$" AND CMAKE_MATCH_2 STREQUAL name)
            set(found TRUE)
            if(NOT CMAKE_MATCH_1 EQUAL index)
                string(APPEND failures "${name} has ordinal index ${CMAKE_MATCH_1}, expected ${index}\n")
            endif()
        endif()
    endforeach()
    if(NOT found)
        string(APPEND failures "${name} is not exported under its plain name\n")
    endif()
    math(EXPR ordinal "${ordinal} + 1")
endforeach()

if(failures)
    message(FATAL_ERROR "${failures}${table}")
endif()
message(STATUS "${DLL}: the fifteen exports are in place")

# Writes the default firmware file: RECORDS records of SIZE payload bytes,
# each record its length as two big-endian bytes and then its payload, the
# whole image as upper-case hexadecimal digit pairs without separators or
# line end (the form the updater reads).
#   cmake -DOUTPUT=file -DRECORDS=n -DSIZE=m -P MakeFirmwareImage.cmake
set(digits 0 1 2 3 4 5 6 7 8 9 A B C D E F)
function(hex_byte value out)
    math(EXPR high "(${value} >> 4) & 15")
    math(EXPR low "${value} & 15")
    list(GET digits ${high} h)
    list(GET digits ${low} l)
    set(${out} "${h}${l}" PARENT_SCOPE)
endfunction()

math(EXPR sizeHigh "${SIZE} >> 8")
math(EXPR sizeLow "${SIZE} & 255")
hex_byte(${sizeHigh} lengthHigh)
hex_byte(${sizeLow} lengthLow)
set(text "")
math(EXPR lastRecord "${RECORDS} - 1")
math(EXPR lastByte "${SIZE} - 1")
foreach(record RANGE ${lastRecord})
    string(APPEND text "${lengthHigh}${lengthLow}")
    foreach(index RANGE ${lastByte})
        math(EXPR value "(${record} * 31 + ${index} * 7 + 3) & 255")
        hex_byte(${value} pair)
        string(APPEND text "${pair}")
    endforeach()
endforeach()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")

# Reads machines.txt (its comments say what each column means): the list
# RINGCUBE_MACHINES of its machines, in order, and for each machine m and
# column c the variable machine_<m>_<c>. The build, the tests and the
# package include it; tools/cross reads the same file in sh.
set(_columns machine platform extension deken toolchain pd run)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../machines.txt _rows REGEX "^[^#]")
set(RINGCUBE_MACHINES)
foreach(_row ${_rows})
  string(STRIP "${_row}" _row)
  string(REGEX REPLACE "[ \t]+" ";" _row "${_row}")
  list(LENGTH _row _count)
  if(NOT _count EQUAL 7)
    message(FATAL_ERROR "machines.txt: ${_count} columns instead of 7 in: ${_row}")
  endif()
  list(GET _row 0 _machine)
  list(APPEND RINGCUBE_MACHINES ${_machine})
  foreach(_column ${_columns})
    list(POP_FRONT _row _value)
    set(machine_${_machine}_${_column} "${_value}")
  endforeach()
endforeach()

# The machine that builds for <system>-<processor>: the first row whose
# platform matches and that builds externals; "" when none does.
function(ringcube_machine_of platform out)
  foreach(m ${RINGCUBE_MACHINES})
    if(NOT machine_${m}_extension STREQUAL "-" AND platform MATCHES "^(${machine_${m}_platform})$")
      set(${out} ${m} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "" PARENT_SCOPE)
endfunction()

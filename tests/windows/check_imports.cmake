# Fails unless palisk.exe stands alone: every DLL it imports is one that
# Windows itself provides, so nothing has to be shipped beside it. Prints
# its size and its imports. Run with -DEXE=<palisk.exe> -DOBJDUMP=<objdump>.

cmake_policy(SET CMP0057 NEW)  # IN_LIST

set(system_dlls advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll pdh.dll psapi.dll user32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "${EXE} imports nothing: not a Windows program?")
endif()

set(others "")
foreach(line ${lines})
  string(REGEX REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" name)
  message(STATUS "imports ${dll}")
  if(NOT name IN_LIST system_dlls)
    list(APPEND others ${dll})
  endif()
endforeach()

file(SIZE ${EXE} size)
message(STATUS "palisk.exe: ${size} bytes")
if(others)
  message(FATAL_ERROR "palisk.exe needs DLLs that Windows does not provide: ${others}")
endif()

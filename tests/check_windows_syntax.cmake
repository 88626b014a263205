# Fails when a file of the system's own folders or of the dialog framework,
# or a conformance case of the surface, does not compile for 64-bit Windows
# against the real SDK headers (those of mingw-w64: the surface's win32/
# directory is left off the include path).
# Only the compiler's front end runs: nothing is built. Run with
# -DSOURCE_DIR=<repository root> -DCXX=<x86_64-w64-mingw32-g++>.

set(dirs app resources kernel sampling report charts control widgets platform/afx tests/conformance)
set(files "")
foreach(dir ${dirs})
  file(GLOB found ${SOURCE_DIR}/${dir}/*.cpp)
  list(APPEND files ${found})
endforeach()

set(failures "")
foreach(f ${files})
  execute_process(
    COMMAND ${CXX} -std=c++20 -fsyntax-only -Wall -Wextra -Werror -DUNICODE -D_UNICODE -DPSAPI_VERSION=1
            -I${SOURCE_DIR} -I${SOURCE_DIR}/platform/include/afx -I${SOURCE_DIR}/platform/include ${f}
    RESULT_VARIABLE result
    ERROR_VARIABLE messages)
  if(NOT result EQUAL 0)
    string(APPEND failures "${messages}")
  endif()
endforeach()

list(LENGTH files count)
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
message(STATUS "${count} files compile for Windows")

cmake_policy(SET CMP0057 NEW)
# Fails when a file of the system's own folders includes anything but the
# surface (Win32-style headers, the dialog framework, the native record
# layouts), the C++ standard library or the system's own headers, or names a
# host path. Run with -DSOURCE_DIR=<repository root>.

set(system_dirs app resources kernel sampling report charts control widgets)
set(surface_headers windows.h psapi.h pdh.h winternl.h commctrl.h)
set(standard_headers
  algorithm array atomic bit cassert cctype cerrno cfloat charconv chrono cinttypes climits cmath compare
  concepts cstdarg cstddef cstdint cstdio cstdlib cstring ctime cwchar cwctype deque exception functional
  initializer_list iterator limits map memory new numeric optional set span string string_view
  tuple type_traits unordered_map utility variant vector)

set(violations "")
foreach(dir ${system_dirs})
  file(GLOB_RECURSE files ${SOURCE_DIR}/${dir}/*.h ${SOURCE_DIR}/${dir}/*.hpp ${SOURCE_DIR}/${dir}/*.cpp)
  foreach(f ${files})
    file(STRINGS ${f} lines)
    set(n 0)
    foreach(line IN LISTS lines)
      math(EXPR n "${n} + 1")
      if(line MATCHES "/proc/|/sys/")
        list(APPEND violations "${f}:${n}: names a host path: ${line}")
      endif()
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
        continue()
      endif()
      set(kind ${CMAKE_MATCH_1})
      set(header ${CMAKE_MATCH_2})
      if(kind STREQUAL "\"")
        # The system's own headers, by path from the repository root.
        if(header MATCHES "^(app|resources|kernel|sampling|report|charts|control|widgets)/")
          continue()
        endif()
        list(APPEND violations "${f}:${n}: quoted include outside the system: ${header}")
        continue()
      endif()
      if(header IN_LIST surface_headers OR header IN_LIST standard_headers)
        continue()
      endif()
      if(header MATCHES "^afx[a-z0-9_]*\\.h$" OR header MATCHES "^nt/[a-z0-9_]+\\.h$")
        continue()
      endif()
      list(APPEND violations "${f}:${n}: not part of the surface: <${header}>")
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "The system's folders may include only the surface:\n${text}")
endif()
message(STATUS "surface includes: clean")

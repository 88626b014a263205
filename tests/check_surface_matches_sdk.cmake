# Fails where the surface (platform/include/win32) and mingw-w64's SDK
# disagree: every function the surface declares must have the SDK's
# signature, and every integer or text constant it defines the SDK's value.
# The surface may hold less than the SDK, never something else.
#
# The surface's values are those the build machine's compiler sees; the
# check is the SDK compiler's front end over static assertions of them.
# Run with -DSOURCE_DIR=<repository root> -DHOST_CXX=<c++> -DWINDOWS_CXX=<x86_64-w64-mingw32-g++>
# -DWORK_DIR=<a scratch folder>.

cmake_policy(SET CMP0057 NEW)  # IN_LIST

set(surface ${SOURCE_DIR}/platform/include/win32)
set(headers windows.h commctrl.h pdh.h pdhmsg.h psapi.h winternl.h ntstatus.h)
set(not_constants WINAPI CALLBACK APIENTRY NTAPI CONST VOID TEXT _T)
file(MAKE_DIRECTORY ${WORK_DIR})

# ---- what the surface declares ---------------------------------------------------
set(constants "")
set(functions "")
set(macros "")
file(GLOB files ${surface}/*.h)
foreach(f ${files})
  file(READ ${f} text)
  string(REGEX MATCHALL "#define[ \t]+[A-Za-z_][A-Za-z0-9_]*\\(" function_like "${text}")
  foreach(m ${function_like})
    string(REGEX MATCH "#define[ \t]+([A-Za-z_][A-Za-z0-9_]*)" _ "${m}")
    list(APPEND macros ${CMAKE_MATCH_1})
  endforeach()
endforeach()
foreach(f ${files})
  file(READ ${f} text)
  string(REPLACE ";" "@SEMICOLON@" text "${text}")
  string(REGEX REPLACE "//[^\n]*" "" text "${text}")
  string(REGEX MATCHALL "#define[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+[^\n]+" defines "${text}")
  foreach(d ${defines})
    string(REGEX MATCH "#define[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+([^\n]+)" _ "${d}")
    set(name ${CMAKE_MATCH_1})
    string(STRIP "${CMAKE_MATCH_2}" value)
    # Another name for a function-like macro is no value (MAKEINTRESOURCE).
    if(NOT name IN_LIST not_constants AND NOT value IN_LIST macros)
      list(APPEND constants ${name})
    endif()
  endforeach()
  # Declarations: statements (preprocessor lines taken out) naming a WINAPI function.
  string(REGEX REPLACE "#[^\n]*" "" code "${text}")
  string(REGEX MATCHALL "[A-Za-z_][^@{}]*(WINAPI|NTAPI)[ \t\n]+[A-Za-z_][A-Za-z0-9_]*[ \t\n]*\\([^@{}]*\\)[ \t\n]*@SEMICOLON@"
         declarations "${code}")
  foreach(d ${declarations})
    string(REPLACE "@SEMICOLON@" "" d "${d}")
    string(REGEX MATCH "(WINAPI|NTAPI)[ \t\n]+([A-Za-z_][A-Za-z0-9_]*)[ \t\n]*\\(" _ "${d}")
    string(REPLACE "\n" " " d "${d}")
    list(APPEND functions "${CMAKE_MATCH_2}|${d}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES constants)

# ---- the surface's values, printed by a program of the build machine ----------------
set(includes "")
foreach(h ${headers})
  string(APPEND includes "#include <${h}>\n")
endforeach()
set(printer "${includes}#include <cstdio>\n#include <string>\n#include <type_traits>\n
template <typename T> void Print(const char* name, T value) {
    using V = std::decay_t<T>;
    if constexpr (std::is_integral_v<V> || std::is_enum_v<V>) {
        if constexpr (std::is_signed_v<V>) std::printf(\"int %s %lld\\n\", name, static_cast<long long>(value));
        else std::printf(\"int %s %llu\\n\", name, static_cast<unsigned long long>(value));
    } else if constexpr (std::is_same_v<V, const wchar_t*> || std::is_same_v<V, wchar_t*>) {
        if (reinterpret_cast<unsigned long long>(value) < 0x10000) return;  // an ordinal, not a text
        std::string text;
        for (const wchar_t* c = value; *c; ++c) text += static_cast<char>(*c);
        std::printf(\"text %s %s\\n\", name, text.c_str());
    }
}
int main() {\n")
foreach(c ${constants})
  string(APPEND printer "    Print(\"${c}\", ${c});\n")
endforeach()
string(APPEND printer "}\n")
file(WRITE ${WORK_DIR}/surface_values.cpp "${printer}")
execute_process(
  COMMAND ${HOST_CXX} -std=c++20 -w -I${surface} -I${SOURCE_DIR}/platform/include ${WORK_DIR}/surface_values.cpp
          -o ${WORK_DIR}/surface_values -Wl,--unresolved-symbols=ignore-all
  RESULT_VARIABLE result ERROR_VARIABLE messages)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the surface's values cannot be printed:\n${messages}")
endif()
execute_process(COMMAND ${WORK_DIR}/surface_values OUTPUT_VARIABLE values RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the surface's values cannot be printed")
endif()

# ---- the same, asserted against the SDK -------------------------------------------
set(check "#define WIN32_NO_STATUS\n#include <windows.h>\n#undef WIN32_NO_STATUS\n${includes}#include <type_traits>\n
constexpr bool SameText(const wchar_t* a, const wchar_t* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}\n")
string(REPLACE ";" "@SEMICOLON@" values "${values}")
string(REPLACE "\n" ";" lines "${values}")
set(count 0)
foreach(line ${lines})
  if(line MATCHES "^int ([A-Za-z0-9_]+) (-?[0-9]+)$")
    string(APPEND check "static_assert(static_cast<long long>(${CMAKE_MATCH_1}) == ${CMAKE_MATCH_2}LL, \"${CMAKE_MATCH_1}\")@SEMICOLON@\n")
    math(EXPR count "${count} + 1")
  elseif(line MATCHES "^text ([A-Za-z0-9_]+) (.*)$")
    set(name ${CMAKE_MATCH_1})
    string(REPLACE "\\" "\\\\" literal "${CMAKE_MATCH_2}")
    string(REPLACE "\"" "\\\"" literal "${literal}")
    string(APPEND check "static_assert(SameText(${name}, L\"${literal}\"), \"${name}\")@SEMICOLON@\n")
    math(EXPR count "${count} + 1")
  endif()
endforeach()
list(LENGTH functions function_count)
foreach(f ${functions})
  string(REGEX MATCH "^([^|]+)\\|(.*)$" _ "${f}")
  string(APPEND check "namespace surface_${CMAKE_MATCH_1} { ${CMAKE_MATCH_2}@SEMICOLON@ }\n"
         "static_assert(std::is_same_v<decltype(&::${CMAKE_MATCH_1}), decltype(&surface_${CMAKE_MATCH_1}::${CMAKE_MATCH_1})>, \"${CMAKE_MATCH_1}\")@SEMICOLON@\n")
endforeach()
string(REPLACE "@SEMICOLON@" ";" check "${check}")
file(WRITE ${WORK_DIR}/sdk_check.cpp "${check}")
execute_process(
  COMMAND ${WINDOWS_CXX} -std=c++20 -fsyntax-only -w -DUNICODE -D_UNICODE -DPSAPI_VERSION=1 ${WORK_DIR}/sdk_check.cpp
  RESULT_VARIABLE result ERROR_VARIABLE messages)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the surface and the SDK disagree (${WORK_DIR}/sdk_check.cpp):\n${messages}")
endif()
message(STATUS "${count} constants and ${function_count} functions agree with the SDK")

# Run by `cmake --install`: writes the files that name where Palisk is
# installed, for the prefix in force now, and installs them (DESTDIR is
# honoured, and they go into the install manifest like every other file).
# desktop/CMakeLists.txt sets the PALISK_* variables before.

function(palisk_full_dir dir out)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

# A path as one word of a shell script: in single quotes.
function(palisk_shell_word path out)
  string(REPLACE "'" "'\\''" quoted "${path}")
  set(${out} "'${quoted}'" PARENT_SCOPE)
endfunction()

# A path as the program of a menu entry's Exec key: always in double
# quotes, which a desktop entry allows for any argument,
# with its escapes inside the quotes and then those of a string value.
function(palisk_exec_word path out)
  string(REPLACE "\\" "\\\\" quoted "${path}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(${out} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

function(palisk_xml_text text out)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

palisk_full_dir("${PALISK_BINDIR}" PALISK_BIN)
palisk_full_dir("${PALISK_LIBEXECDIR}" libexec)
palisk_full_dir("${PALISK_DATADIR}" datadir)
set(on_display "${libexec}/palisk/palisk-on-display")

palisk_shell_word("${PALISK_BIN}/palisk" PALISK_PALISK_SH)
palisk_shell_word("${PALISK_BIN}/palisk-report" PALISK_REPORT_SH)
palisk_shell_word("${on_display}" PALISK_ON_DISPLAY_SH)
palisk_exec_word("${PALISK_BIN}/palisk" PALISK_EXEC_PALISK)
palisk_exec_word("${PALISK_BIN}/palisk-admin" PALISK_EXEC_ADMIN)
set(PALISK_TRYEXEC "${PALISK_BIN}/palisk")
palisk_xml_text("${on_display}" PALISK_ON_DISPLAY_XML)

# One staging folder per prefix, so that two installs do not meet.
string(MD5 key "${CMAKE_INSTALL_PREFIX}")
set(stage "${PALISK_STAGE}/${key}")
foreach(name palisk.desktop org.palisk.policy palisk-admin palisk-on-display)
  configure_file("${PALISK_DESKTOP_SOURCE}/${name}.in" "${stage}/${name}" @ONLY)
endforeach()

set(programs OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(INSTALL "${stage}/palisk-admin" DESTINATION "${PALISK_BIN}" FILE_PERMISSIONS ${programs})
file(INSTALL "${stage}/palisk-on-display" DESTINATION "${libexec}/palisk" FILE_PERMISSIONS ${programs})
file(INSTALL "${stage}/palisk.desktop" DESTINATION "${datadir}/applications")
file(INSTALL "${stage}/org.palisk.policy" DESTINATION "${datadir}/polkit-1/actions")

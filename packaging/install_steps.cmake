# The install steps that depend on the prefix given to cmake --install: the link, the desktop
# entry and the default settings file. Runs inside cmake_install.cmake, after the programs are in.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

set(link "${root}/bin/korvu")
message(STATUS "Installing: ${link} -> ../${KORVU_INSTALL_DIR}/Korvu")
file(MAKE_DIRECTORY "${root}/bin")
file(CREATE_LINK "../${KORVU_INSTALL_DIR}/Korvu" "${link}" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")

# Exec takes the path quoted: inside the quotes \ " ` $ take a backslash, and then the value's
# own escaping doubles every backslash; % is the field-code sign.
set(exec "${CMAKE_INSTALL_PREFIX}/bin/korvu")
foreach(special "\\" "\"" "`" "$")
  string(REPLACE "${special}" "\\${special}" exec "${exec}")
endforeach()
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(KORVU_DESKTOP_EXEC "\"${exec}\"")
# The program starts in its own folder, where relative names such as the statistics file go.
set(KORVU_DESKTOP_PATH "${CMAKE_INSTALL_PREFIX}/${KORVU_INSTALL_DIR}")
string(REPLACE "\\" "\\\\" KORVU_DESKTOP_PATH "${KORVU_DESKTOP_PATH}")
set(entry "${root}/share/applications/${KORVU_APP_ID}.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${KORVU_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")

# The default Korvu.ini follows the rule of ./run's staging, which keeps one that exists: it holds
# the user's saved defaults. It stays out of the install manifest, so uninstalling keeps it too.
# A DESTDIR install (a package's) is a staged copy: its Korvu.ini names the encoder where the
# package puts it.
set(installed)
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  set(installed "${CMAKE_INSTALL_PREFIX}/${KORVU_INSTALL_DIR}")
endif()
execute_process(COMMAND "${KORVU_STAGE}" "${root}/${KORVU_INSTALL_DIR}" ${installed}
                COMMAND_ERROR_IS_FATAL ANY)

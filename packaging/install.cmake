# Korvu installs for one user (cmake --install build/rel --prefix ~/.local): its default settings
# file and its job script live beside the program, so the three programs get a folder of their own
# that their user can write, and a link in bin/ leads there. The program finds its folder through
# its own real path, not through the link.
set(KORVU_INSTALL_DIR lib/korvu)

install(TARGETS Korvu korvu-cmd korvu-enc RUNTIME DESTINATION ${KORVU_INSTALL_DIR})
foreach(size 32 48 256)
  install(FILES ${CMAKE_SOURCE_DIR}/app/qt/pictures/korvu-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${KORVU_APP_ID}.png)
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/korvu.metainfo.xml.in ${CMAKE_BINARY_DIR}/packaging/${KORVU_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${KORVU_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# The desktop entry names the link and the program's folder by their absolute paths, which only
# the install step knows (the prefix may be given there); a menu then starts Korvu in its folder
# whether or not bin/ is on PATH.
set(KORVU_DESKTOP_EXEC @KORVU_DESKTOP_EXEC@)
set(KORVU_DESKTOP_PATH @KORVU_DESKTOP_PATH@)
configure_file(${CMAKE_CURRENT_LIST_DIR}/korvu.desktop.in ${CMAKE_BINARY_DIR}/packaging/korvu.desktop.in @ONLY)
install(CODE "
  set(KORVU_APP_ID ${KORVU_APP_ID})
  set(KORVU_INSTALL_DIR ${KORVU_INSTALL_DIR})
  set(KORVU_DESKTOP_TEMPLATE [==[${CMAKE_BINARY_DIR}/packaging/korvu.desktop.in]==])
  set(KORVU_STAGE [==[${CMAKE_SOURCE_DIR}/scripts/stage]==])
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install_steps.cmake)

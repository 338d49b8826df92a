# The X11 backend's sources, compiled into vlt2gui.
set(VLT2GUI_X11_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/X11Frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/X11ErrorTrap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XdndReceiver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UriList.cpp)

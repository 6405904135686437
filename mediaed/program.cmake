# The media editor: a widget-free core and its windows in one library that the program and
# the tests link, and an executable that only creates the main window.
file(GLOB OVRA_MEDIAED_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
list(FILTER OVRA_MEDIAED_SOURCES EXCLUDE REGEX "/(main|stocktable)\\.(cpp|h)$")
add_library(ovra_mediaed STATIC ${OVRA_MEDIAED_SOURCES})
target_include_directories(ovra_mediaed PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ovra_mediaed PUBLIC ovra_settings ovra_rtf ovra_mediaed_stock
  Qt6::Widgets Qt6::Multimedia Qt6::MultimediaWidgets)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
  qt_add_executable(Ovra3MediaEd main.cpp)
  target_link_libraries(Ovra3MediaEd PRIVATE ovra_mediaed)
endif()

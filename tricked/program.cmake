# The trick editor: a widget-free core and its windows in one library that the program and
# the tests link, and an executable that only creates the main window.
file(GLOB OVRA_TRICKED_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
list(FILTER OVRA_TRICKED_SOURCES EXCLUDE REGEX "/main\\.cpp$")
if(OVRA_TRICKED_SOURCES)
  add_library(ovra_tricked STATIC ${OVRA_TRICKED_SOURCES})
  target_include_directories(ovra_tricked PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(ovra_tricked PUBLIC ovra_settings ovra_rtf Qt6::Widgets)
endif()

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
  qt_add_executable(Ovra3TrickEd main.cpp)
  target_link_libraries(Ovra3TrickEd PRIVATE ovra_tricked)
endif()

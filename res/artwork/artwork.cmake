# The program's bitmaps are drawn at build time by a small Qt tool, so their
# sources are code that reviews and diffs read. Sets TAVIMO_ARTWORK_QRC, the
# generated resource list that the program compiles in (AUTORCC).
find_package(Qt6 REQUIRED COMPONENTS Gui)

file(GLOB artwork_tool_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_executable(render_artwork ${artwork_tool_sources})
target_include_directories(render_artwork PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(render_artwork PRIVATE Qt6::Gui)

set(TAVIMO_ARTWORK_DIR ${PROJECT_BINARY_DIR}/res/artwork)
set(TAVIMO_ARTWORK_QRC ${TAVIMO_ARTWORK_DIR}/artwork.qrc)
# Qt's own allocations at exit are no leak of ours; sanitizer builds still run
# the tool.
add_custom_command(OUTPUT ${TAVIMO_ARTWORK_QRC}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:render_artwork> ${TAVIMO_ARTWORK_DIR}
  DEPENDS render_artwork
  COMMENT "Drawing the program's bitmaps"
  VERBATIM)

install(FILES ${TAVIMO_ARTWORK_DIR}/orvex-tavimo.png DESTINATION share/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_SOURCE_DIR}/res/orvex-tavimo.desktop DESTINATION share/applications)

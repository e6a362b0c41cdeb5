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
# The program icon in the desktop's icon theme sizes (hicolor/<n>x<n>/apps).
set(TAVIMO_ICON_SIZES 16 22 24 32 48 64 128 256)
set(theme_icons)
foreach(size IN LISTS TAVIMO_ICON_SIZES)
  list(APPEND theme_icons ${TAVIMO_ARTWORK_DIR}/hicolor/${size}x${size}/apps/orvex-tavimo.png)
endforeach()
# Qt's own allocations at exit are no leak of ours, and Qt's threads are not
# the checker's to follow (tests/tsan.supp); sanitizer builds still run the tool.
add_custom_command(OUTPUT ${TAVIMO_ARTWORK_QRC} ${theme_icons}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp
          QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:render_artwork> ${TAVIMO_ARTWORK_DIR}
  DEPENDS render_artwork
  COMMENT "Drawing the program's bitmaps"
  VERBATIM)

install(DIRECTORY ${TAVIMO_ARTWORK_DIR}/hicolor DESTINATION share/icons)
install(FILES ${PROJECT_SOURCE_DIR}/res/orvex-tavimo.desktop DESTINATION share/applications)

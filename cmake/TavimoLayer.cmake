# One static library per layer of the program, built from every source in
# its folder, with the layers it may use declared as its dependencies.
#
#   tavimo_layer(<name> <folder> [USES <library>...])
#
# Each layer also links once on its own into a shared object with
# --no-undefined (<name>_layer_check): a call from a layer into one it does
# not declare (an upward call) then fails the build instead of resolving
# quietly in the final program. Sanitizer builds skip the check.
function(tavimo_layer name folder)
  cmake_parse_arguments(LAYER "" "" "USES" ${ARGN})
  file(GLOB layer_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER layer_sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(${name} STATIC ${layer_sources} ${LAYER_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${LAYER_USES})
  tavimo_layer_check(${name})
endfunction()

# The link check alone, for libraries made another way (platform/, components/).
function(tavimo_layer_check name)
  if(TAVIMO_SANITIZE)
    return()
  endif()
  add_library(${name}_layer_check SHARED ${PROJECT_SOURCE_DIR}/cmake/layer_check.cpp)
  target_link_libraries(${name}_layer_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}>")
  target_link_options(${name}_layer_check PRIVATE -Wl,--no-undefined)
endfunction()

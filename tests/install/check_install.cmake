# Installs the build at BUILD_DIR into a temporary prefix, checks that exactly
# the expected files are there and that the installed program starts, then
# removes the prefix. Usage: cmake -DBUILD_DIR=<build> -P check_install.cmake
cmake_minimum_required(VERSION 3.25)

set(icon_sizes 16 22 24 32 48 64 128 256)
set(expected
    bin/tavimo
    share/applications/orvex-tavimo.desktop
    share/doc/orvex-tavimo/manual.pdf)
foreach(size IN LISTS icon_sizes)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/orvex-tavimo.png)
endforeach()

if(DEFINED ENV{TMPDIR} AND IS_DIRECTORY "$ENV{TMPDIR}")
  set(temporary "$ENV{TMPDIR}")
else()
  set(temporary /tmp)
endif()
string(RANDOM LENGTH 12 suffix)
set(work "${temporary}/tavimo-install-test-${suffix}")
set(prefix "${work}/usr")
file(MAKE_DIRECTORY "${work}")

set(faults)
macro(fault text)
  list(APPEND faults "${text}")
endmacro()

# `cmake --install` runs the build's install script with the prefix set, and
# that script writes its manifest into the build folder; a copy that writes
# it into the temporary folder installs the same files and nothing else.
file(READ "${BUILD_DIR}/cmake_install.cmake" script)
string(REPLACE "file(WRITE \"${BUILD_DIR}/" "file(WRITE \"${work}/" contained "${script}")
if(contained STREQUAL script)
  fault("the install script's manifest line was not found")
else()
  file(WRITE "${work}/install.cmake" "${contained}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -DCMAKE_INSTALL_PREFIX=${prefix} -P "${work}/install.cmake"
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    fault("installing failed (${status}): ${errors}")
  endif()
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${prefix}" "${prefix}/*")
list(SORT installed)
set(sorted ${expected})
list(SORT sorted)
if(NOT installed STREQUAL sorted)
  fault("installed files differ from the expected ones:\n  installed: ${installed}\n  expected: ${sorted}")
endif()

if(EXISTS "${prefix}/share/doc/orvex-tavimo/manual.pdf")
  file(READ "${prefix}/share/doc/orvex-tavimo/manual.pdf" head LIMIT 4 HEX)
  if(NOT head STREQUAL "25504446")  # "%PDF"
    fault("the manual is no PDF (it starts with the bytes ${head})")
  endif()
endif()

# Optional: desktop-file-utils is not needed to build.
find_program(desktop_file_validate desktop-file-validate)
if(desktop_file_validate AND EXISTS "${prefix}/share/applications/orvex-tavimo.desktop")
  execute_process(COMMAND "${desktop_file_validate}" "${prefix}/share/applications/orvex-tavimo.desktop"
                  RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
  if(NOT status EQUAL 0 OR report)
    fault("the desktop file is not valid: ${report}")
  endif()
endif()

# A PNG's width and height are the big-endian words at bytes 16 and 20.
foreach(size IN LISTS icon_sizes)
  set(icon "${prefix}/share/icons/hicolor/${size}x${size}/apps/orvex-tavimo.png")
  if(EXISTS "${icon}")
    file(READ "${icon}" header OFFSET 16 LIMIT 8 HEX)
    math(EXPR side "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "0x" "" side "${side}")
    string(LENGTH "${side}" length)
    math(EXPR padding "8 - ${length}")
    string(REPEAT "0" ${padding} zeros)
    if(NOT header STREQUAL "${zeros}${side}${zeros}${side}")
      fault("the ${size}x${size} icon has the wrong size (${header})")
    endif()
  endif()
endforeach()

if(EXISTS "${prefix}/bin/tavimo")
  execute_process(COMMAND "${prefix}/bin/tavimo" --version RESULT_VARIABLE status OUTPUT_VARIABLE version
                  ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT version MATCHES "^Orvex Tavimo [0-9]")
    fault("the installed program does not start (${status}): ${version}${errors}")
  endif()
endif()

file(REMOVE_RECURSE "${work}")
if(faults)
  list(JOIN faults "\n" report)
  message(FATAL_ERROR "${report}")
endif()
message(STATUS "installed and checked: ${expected}")

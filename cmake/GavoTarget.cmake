# Common settings of every Gavo target: warnings, sanitizers, include root.
function(gavo_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(GAVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(GAVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# gavo_library(NAME SOURCES... [DEPENDS targets...])
# One static library per subsystem; its public headers are included as "folder/header.h"
# relative to src/.
function(gavo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
  gavo_target_defaults(${name})
endfunction()

# gavo_test(NAME SOURCES... DEPENDS targets... [LABELS labels...])
function(gavo_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE GAVO_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  gavo_target_defaults(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "GAVO_NO_BOXES=1" LABELS "${ARG_LABELS}")
endfunction()

# gavo_pixel_test(NAME SOURCES... DEPENDS targets...)
# A test that draws through the OpenGL driver: under an X virtual frame buffer on Mesa's
# software rasteriser where xvfb-run exists. The test skips, saying why, where no display with
# OpenGL can be had. Xvfb must not reset when its last client leaves, or an engine restart finds
# no server for a moment; the tests share one lock so that only one server runs at a time.
function(gavo_pixel_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  gavo_target_defaults(${name})
  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN)
    add_test(NAME ${name} COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24 -noreset" $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  # Mesa's driver keeps allocations to process end, which the leak checker would report.
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "GAVO_NO_BOXES=1;ASAN_OPTIONS=detect_leaks=0"
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
    RESOURCE_LOCK xvfb)
endfunction()

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

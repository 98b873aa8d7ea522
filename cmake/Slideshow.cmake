# hl_library(<name> SOURCES <files...> DEPS <targets...>)
# One static library per folder; the folder's parent of the repository root is the include root,
# so headers are included by their folder path: #include "Platform/Foundation/HLAssert.h".
function(hl_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
endfunction()

# hl_test(<name> SOURCES <files...> DEPS <targets...> [WIDGETS] [PROPERTIES <name value...>])
# One GoogleTest program per library; each of its tests is its own CTest entry, so the suite
# runs in parallel and one test can be run alone. Tests are listed when CTest runs (not when
# the program is built), on the offscreen platform that the test main sets. The timeout only
# stops a hung test from eating CI's whole budget; under the sanitizers (HL_SANITIZED) tests
# run many times slower. PROPERTIES are further test properties for every test of the program.
include(GoogleTest)
function(hl_test name)
  cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;DEPS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_WIDGETS)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} test_support_widgets)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} test_support)
  endif()
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  set(timeout 300)
  set(listing 60)
  if(HL_SANITIZED)
    set(timeout 3600)
    set(listing 600)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT ${listing}
    PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      TIMEOUT ${timeout}
      ${ARG_PROPERTIES})
endfunction()

# hl_bench(<name> SOURCES <files...> DEPS <targets...>)
function(hl_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()

# hl_screens(<name> SOURCES <files...> DEPS <targets...>)
# A program that opens windows in the states their tests set up and writes a PNG of each
# into the folder given as its argument; scripts/screenshots runs every one of them.
function(hl_screens name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Widgets)
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/screens)
endfunction()

# korvane_library(NAME FOLDER DEPENDS ...): a static library of the .cpp files of one folder
# (not its sub folders). Headers are included from the repository root
# ("platform/registry.hpp"). A folder without sources yet gives an interface library.
function(korvane_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope}
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:include/korvane>)
  if(ARG_DEPENDS)
    target_link_libraries(${name} ${scope} ${ARG_DEPENDS})
  endif()
endfunction()

# korvane_test(NAME DEPENDS ...): the *_test.cpp files of the current folder as one
# GoogleTest executable; ctest lists each of its test cases (found when the tests run), so a
# failure names its case and cases run in parallel.
include(GoogleTest)
function(korvane_test name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  korvane_test_settings(${name})
  target_precompile_headers(${name} REUSE_FROM korvane_test_pch)
  gtest_discover_tests(${name} EXTRA_ARGS --gtest_brief=1 DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "KORVANE_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# What every test target compiles with; the shared precompiled header needs them identical.
function(korvane_test_settings name)
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main
    nlohmann_json::nlohmann_json)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    KORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KORVANE_BINARY_DIR="${PROJECT_BINARY_DIR}"
    KORVANE_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures/peers")
endfunction()

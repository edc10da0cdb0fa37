# Native build: unit tests of the portable code against a fake system, and build tools.
find_package(GTest REQUIRED)
enable_testing()

# formc: compiles a layout's text source into the binary form stream.
add_library(formc_compiler STATIC tools/formc/FormCompiler.cpp)
target_include_directories(formc_compiler PUBLIC tools)
add_executable(formc tools/formc/formc.cpp)
target_link_libraries(formc PRIVATE formc_compiler)

add_executable(unit_tests
  tests/unit/TextTest.cpp
  tests/unit/CodePageTest.cpp
  tests/unit/LocationsTest.cpp
  tests/unit/InstallTest.cpp
  tests/unit/FormStreamTest.cpp
)
target_include_directories(unit_tests PRIVATE tests/unit)
target_link_libraries(unit_tests PRIVATE termika_core formc_compiler GTest::gtest GTest::gtest_main)
add_test(NAME unit_tests COMMAND unit_tests)
set_source_files_properties(tests/unit/FormStreamTest.cpp PROPERTIES
  COMPILE_DEFINITIONS TERMIKA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# The layout must compile to the same bytes on every build.
add_test(NAME formc_reproducible COMMAND ${CMAKE_COMMAND}
  -DFORMC=$<TARGET_FILE:formc> -DSOURCE=${CMAKE_SOURCE_DIR}/src/app/Unit1.layout
  -DEXPECTED=${CMAKE_SOURCE_DIR}/tests/fixtures/Unit1.form -DOUT=${CMAKE_BINARY_DIR}/Unit1.form
  -P ${CMAKE_SOURCE_DIR}/tools/formc/CheckFormc.cmake)

# make_icon: draws the installer's icon; the .ico in the tree must be what it draws.
add_executable(make_icon tools/icon/MakeIcon.cpp)
add_test(NAME icon_matches_generator COMMAND ${CMAKE_COMMAND}
  -DMAKE_ICON=$<TARGET_FILE:make_icon> -DEXPECTED=${CMAKE_SOURCE_DIR}/src/app/MainIcon.ico
  -DOUT=${CMAKE_BINARY_DIR}/MainIcon.ico -P ${CMAKE_SOURCE_DIR}/tools/icon/CheckIcon.cmake)

# Fuzz targets, built by scripts/native-checks.sh in a build of their own with clang's
# libFuzzer; the whole build is then instrumented with -fsanitize=fuzzer-no-link.
option(TERMIKA_FUZZ "Build the libFuzzer targets in tests/fuzz (clang only)" OFF)
if(TERMIKA_FUZZ)
  add_subdirectory(tests/fuzz)
endif()

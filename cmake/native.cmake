# Native build: unit tests of the portable code against a fake system, and build tools.
find_package(GTest REQUIRED)
enable_testing()

add_executable(unit_tests
  tests/unit/TextTest.cpp
  tests/unit/CodePageTest.cpp
  tests/unit/LocationsTest.cpp
  tests/unit/InstallTest.cpp
)
target_include_directories(unit_tests PRIVATE tests/unit)
target_link_libraries(unit_tests PRIVATE termika_core GTest::gtest GTest::gtest_main)
add_test(NAME unit_tests COMMAND unit_tests)

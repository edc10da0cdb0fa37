# Windows build: the installer and the programs that test it under Wine.
# The installer is downloaded, so it is built for size: one section per function so the
# linker can drop what is unused, the runtime linked in statically, symbols stripped.
target_compile_definitions(termika_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601)
add_compile_options(-ffunction-sections -fdata-sections)
set(TERMIKA_LINK_OPTIONS -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)

add_library(termika_win STATIC
  src/sys/WinSystem.cpp
  src/toolkit/Application.cpp
  src/toolkit/MessageForm.cpp
)
target_link_libraries(termika_win PUBLIC termika_core)

# Tests that run under Wine: console programs that count their failures.
add_executable(install_wine_test tests/wine/InstallWineTest.cpp tests/wine/WineTest.cpp)
target_link_libraries(install_wine_test PRIVATE termika_win)
target_link_options(install_wine_test PRIVATE ${TERMIKA_LINK_OPTIONS})

# Stands in for the program that opens .txt files: notes which file it was asked to open.
add_executable(open_recorder tests/wine/OpenRecorder.cpp)
target_link_options(open_recorder PRIVATE ${TERMIKA_LINK_OPTIONS} -mwindows)

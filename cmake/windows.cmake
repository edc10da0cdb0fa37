# Windows build: the installer and the programs that test it under Wine.
# The installer is downloaded, so it is built for size: one section per function so the
# linker can drop what is unused, the runtime linked in statically, symbols stripped.
target_compile_definitions(termika_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601)
add_compile_options(-ffunction-sections -fdata-sections)
# Terminal Server aware: on such a server the Windows folder the program is told is the
# real one, not a private per-user copy.
set(TERMIKA_LINK_OPTIONS -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp -Wl,--tsaware)

enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -F pe-i386")

# The system calls and the small toolkit the window is made of.
add_library(termika_win STATIC
  src/sys/DllSearch.cpp
  src/sys/SystemLibrary.cpp
  src/sys/WinSystem.cpp
  src/toolkit/Application.cpp
  src/toolkit/Component.cpp
  src/toolkit/Controls.cpp
  src/toolkit/Forms.cpp
  src/toolkit/MessageForm.cpp
)
target_link_libraries(termika_win PUBLIC termika_core)

# The window layout, compiled from its text source by the native build's formc.
if(NOT FORMC)
  message(FATAL_ERROR "Pass -DFORMC=<path of the native build's formc>")
endif()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Unit1.bin
  COMMAND ${FORMC} ${CMAKE_SOURCE_DIR}/src/app/Unit1.layout ${CMAKE_BINARY_DIR}/Unit1.bin
  DEPENDS ${CMAKE_SOURCE_DIR}/src/app/Unit1.layout ${FORMC}
  COMMENT "Compiling the window layout")
add_custom_target(layout DEPENDS ${CMAKE_BINARY_DIR}/Unit1.bin)

# The program's unit and main block; the system instance is linked in separately so
# test builds can put a faulty one in its place.
add_library(termika_app STATIC src/app/Unit1.cpp)
target_link_libraries(termika_app PUBLIC termika_win)

# termika_program(name rc-file system-source...): the installer, or a test build of it.
function(termika_program name rc)
  add_executable(${name} WIN32 ${CMAKE_SOURCE_DIR}/src/app/TermikaSetUp.cpp ${rc} ${ARGN})
  target_link_libraries(${name} PRIVATE termika_app)
  target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/src/app)
  target_link_options(${name} PRIVATE ${TERMIKA_LINK_OPTIONS} -mwindows)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
    "${CMAKE_BINARY_DIR}/Unit1.bin;${CMAKE_SOURCE_DIR}/src/app/MainIcon.ico;${CMAKE_SOURCE_DIR}/src/app/TermikaSetUp.manifest")
  add_dependencies(${name} layout)
endfunction()

termika_program(TermikaSetUp ${CMAKE_SOURCE_DIR}/src/app/TermikaSetUp.rc src/app/AppSystem.cpp)

# Tests that run under Wine: console programs that count their failures.
add_executable(install_wine_test tests/wine/InstallWineTest.cpp tests/wine/WineTest.cpp)
target_link_libraries(install_wine_test PRIVATE termika_win)
target_link_options(install_wine_test PRIVATE ${TERMIKA_LINK_OPTIONS})

# Reads the installer's resources back from the built exe.
add_executable(resource_wine_test tests/wine/ResourceWineTest.cpp tests/wine/WineTest.cpp)
target_link_libraries(resource_wine_test PRIVATE termika_core version)
target_link_options(resource_wine_test PRIVATE ${TERMIKA_LINK_OPTIONS})

# Stands in for the program that opens .txt files: notes which file it was asked to open.
add_executable(open_recorder tests/wine/OpenRecorder.cpp)
target_link_options(open_recorder PRIVATE ${TERMIKA_LINK_OPTIONS} -mwindows)

# End-to-end tests of the window: test builds of the installer (a system that throws on
# request, a missing and a malformed layout) and the driver that works them from outside.
termika_program(TermikaSetUp_faulty ${CMAKE_SOURCE_DIR}/src/app/TermikaSetUp.rc tests/wine/e2e/FaultySystem.cpp)
termika_program(TermikaSetUp_nolayout ${CMAKE_SOURCE_DIR}/tests/wine/resources/MissingLayout.rc src/app/AppSystem.cpp)
termika_program(TermikaSetUp_badlayout ${CMAKE_SOURCE_DIR}/tests/wine/resources/BadLayout.rc src/app/AppSystem.cpp)
add_executable(window_driver tests/wine/e2e/WindowDriver.cpp tests/wine/e2e/Driver.cpp tests/wine/WineTest.cpp)
target_link_libraries(window_driver PRIVATE termika_core gdi32)
target_link_options(window_driver PRIVATE ${TERMIKA_LINK_OPTIONS})
# The driver's spy inside the installer; exported by its plain name.
add_library(menu_spy SHARED tests/wine/e2e/MenuSpy.cpp)
target_include_directories(menu_spy PRIVATE ${CMAKE_SOURCE_DIR}/src)
set_target_properties(menu_spy PROPERTIES PREFIX "")
target_link_options(menu_spy PRIVATE ${TERMIKA_LINK_OPTIONS} -Wl,--kill-at)

# The library search: a library planted beside the installer, and a build of the installer
# without the restriction to show the planted library would otherwise be loaded.
add_library(planted_dll SHARED tests/wine/dllsearch/PlantedDll.cpp)
set_target_properties(planted_dll PROPERTIES PREFIX "" OUTPUT_NAME uxtheme)
target_link_options(planted_dll PRIVATE ${TERMIKA_LINK_OPTIONS})
termika_program(TermikaSetUp_unrestricted ${CMAKE_SOURCE_DIR}/src/app/TermikaSetUp.rc
  src/app/AppSystem.cpp tests/wine/dllsearch/NoDllRestriction.cpp)

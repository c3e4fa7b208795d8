# Windows build: the program, the simulated driver library, the demonstration
# session and the tests that run under Wine.
# Static runtime (no MinGW DLLs to ship); release builds carry no symbols.
set(PV_STATIC_LINK -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
foreach(t pv_core sim_model)
  target_compile_definitions(${t} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
endforeach()

set(PV_MAIN_SOURCE ${CMAKE_SOURCE_DIR}/src/app/main_win32.cpp)
set(PV_ADAPTER_SOURCES ${PV_WIN32_SOURCES})
list(REMOVE_ITEM PV_ADAPTER_SOURCES ${PV_MAIN_SOURCE})

# The Windows adapters, kept in a library so that tests under Wine can link
# single adapters (the driver-library loader, for one) without the program.
add_library(pv_win32 STATIC ${PV_ADAPTER_SOURCES})
target_link_libraries(pv_win32 PUBLIC pv_core user32 gdi32 winmm shell32 kernel32 ole32 windowscodecs uuid)
# The platform-free CSV log writes through its file operations, which live in
# pv_win32 (log_file_win32.cpp): the two static libraries need each other.
target_link_libraries(pv_core PUBLIC pv_win32)
target_compile_options(pv_win32 PRIVATE ${PV_WARNINGS})

add_executable(Pendra_Visualizer WIN32 ${PV_MAIN_SOURCE} ${CMAKE_SOURCE_DIR}/src/resources/pendra.rc)
target_link_libraries(Pendra_Visualizer PRIVATE pv_win32)
target_compile_options(Pendra_Visualizer PRIVATE ${PV_WARNINGS})
target_link_options(Pendra_Visualizer PRIVATE ${PV_STATIC_LINK})
set_target_properties(Pendra_Visualizer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 932")
# windres does not report the files pendra.rc includes; name them so that an
# edited template, icon or manifest rebuilds the program's resources.
file(GLOB PV_RC_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/*.rc
     ${CMAKE_SOURCE_DIR}/src/resources/*.h ${CMAKE_SOURCE_DIR}/src/resources/*.ico
     ${CMAKE_SOURCE_DIR}/src/resources/*.manifest)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/resources/pendra.rc PROPERTIES OBJECT_DEPENDS "${PV_RC_INPUTS}")

# The simulated uusbd.dll lives in its own output folder, never beside the
# released program, where it would shadow the real driver library.
add_library(uusbd SHARED ${SIM_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/sim/uusbd.def)
target_link_libraries(uusbd PRIVATE sim_model)
target_compile_options(uusbd PRIVATE ${PV_WARNINGS})
target_link_options(uusbd PRIVATE ${PV_STATIC_LINK} -Wl,--kill-at)
set_target_properties(uusbd PROPERTIES PREFIX "" OUTPUT_NAME uusbd
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/sim)

# The demonstration session of the run command and the screenshot script
# (tools/demo_session.cpp): it starts the program and plays the operator.
add_executable(demo_session ${CMAKE_SOURCE_DIR}/tools/demo_session.cpp)
target_include_directories(demo_session PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(demo_session PRIVATE user32 gdi32)
target_compile_options(demo_session PRIVATE ${PV_WARNINGS})
target_link_options(demo_session PRIVATE ${PV_STATIC_LINK})
set_target_properties(demo_session PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# The tests run each Windows program through a runner script.  The 64-bit
# build runs under the machine's Wine (wine.*, the fast loop); the 32-bit
# build, the shipped one, runs emulated under the Wine of a tree of its own
# (wine32.*, scripts/run-wine32.sh) and counts as skipped where the machine
# cannot run it.  Emulated runs are long, so they form two chains that run
# beside each other and beside the rest; each chain has a Wine prefix of its
# own, which its runs share one at a time.  CTest starts their links first.
enable_testing()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PV_TEST_GROUP wine)
  set(PV_WINE_RUNNER ${CMAKE_SOURCE_DIR}/scripts/run-wine.sh)
else()
  set(PV_TEST_GROUP wine32)
  set(PV_WINE_RUNNER ${CMAKE_SOURCE_DIR}/scripts/run-wine32.sh)
endif()
set(PV_WINE32_CHAIN 0)
# pv_add_wine_test(NAME TIMEOUT PROGRAM ARGUMENTS...): test GROUP.NAME.
function(pv_add_wine_test name timeout)
  set(test ${PV_TEST_GROUP}.${name})
  add_test(NAME ${test} COMMAND ${PV_WINE_RUNNER} ${ARGN})
  set_tests_properties(${test} PROPERTIES TIMEOUT ${timeout})
  if(PV_TEST_GROUP STREQUAL wine32)
    math(EXPR chain "(${PV_WINE32_CHAIN} + 1) % 2")
    set(PV_WINE32_CHAIN ${chain} PARENT_SCOPE)
    set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE 77 COST 1000
      RESOURCE_LOCK wineprefix32-${chain}
      ENVIRONMENT PV_WINEPREFIX32=${CMAKE_BINARY_DIR}/wineprefix-${chain})
  endif()
endfunction()

# The whole session against the demonstration board, without screenshots:
# every step takes effect and the day's CSV file gains a block.
set(PV_DEMO_FOLDER ${CMAKE_BINARY_DIR}/demo-session)
file(MAKE_DIRECTORY ${PV_DEMO_FOLDER})
pv_add_wine_test(demo_session 300 $<TARGET_FILE:demo_session> ${CMAKE_BINARY_DIR}/with-sim/Pendra_Visualizer.exe)
set_tests_properties(${PV_TEST_GROUP}.demo_session PROPERTIES WORKING_DIRECTORY ${PV_DEMO_FOLDER})
set_property(TEST ${PV_TEST_GROUP}.demo_session APPEND PROPERTY ENVIRONMENT
  "UUSBD_SIM_CONFIG=Z:${CMAKE_SOURCE_DIR}/sim/examples/demo.ini")

# with-sim/: the program beside the simulator, for the run script and the
# scenario tests.
set(PV_WITH_SIM ${CMAKE_BINARY_DIR}/with-sim)
add_custom_target(with_sim ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PV_WITH_SIM}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Pendra_Visualizer> $<TARGET_FILE:uusbd> ${PV_WITH_SIM}/
  DEPENDS Pendra_Visualizer uusbd)

# The operator's manual (docs/manual: the HTML file and its screenshots/
# folder) beside the program in bin/ and with-sim/, where the Help menu looks
# for it.  Run on every build, so an edited manual or a new picture is copied
# without the program being relinked.
set(PV_MANUAL_DIR ${CMAKE_SOURCE_DIR}/docs/manual)
add_custom_target(manual ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PV_MANUAL_DIR} ${CMAKE_BINARY_DIR}/bin
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PV_MANUAL_DIR} ${PV_WITH_SIM}
  VERBATIM)

# The tests under Wine, built for both architectures.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Helpers shared by the tests under Wine (start the program in a fresh
# folder, find and drive controls, answer message boxes, read the
# simulator's record).
file(GLOB PV_WINE_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/support/*.cpp)
add_library(wine_support STATIC ${PV_WINE_SUPPORT})
target_include_directories(wine_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/wine/support ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/sim)
target_link_libraries(wine_support PUBLIC gtest user32 gdi32 kernel32)
target_compile_options(wine_support PRIVATE ${PV_WARNINGS})

set(PV_WINE_TESTS_DIR ${CMAKE_BINARY_DIR}/wine-tests)
file(GLOB PV_WINE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
# A Windows program of tests/wine/, built beside a copy of the simulator.
function(pv_add_wine_program name src)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE wine_support pv_win32 sim_model gtest_main)
  target_compile_options(${name} PRIVATE ${PV_WARNINGS})
  target_link_options(${name} PRIVATE ${PV_STATIC_LINK})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PV_WINE_TESTS_DIR})
  add_dependencies(${name} with_sim)
  # The driver-library loader looks beside its program.
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:uusbd> ${PV_WINE_TESTS_DIR}/)
endfunction()

foreach(src ${PV_WINE_TESTS})
  get_filename_component(name ${src} NAME_WE)
  pv_add_wine_program(${name} ${src})
  pv_add_wine_test(${name} 600 $<TARGET_FILE:${name}>)
  set_property(TEST ${PV_TEST_GROUP}.${name} APPEND PROPERTY ENVIRONMENT
    "PV_WITH_SIM=${PV_WITH_SIM}" "PV_BIN=${CMAKE_BINARY_DIR}/bin" "PV_SIM_DIR=${CMAKE_BINARY_DIR}/sim"
    "PV_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endforeach()
# The full-disk case of the log-fault scenario runs on a small filesystem
# mounted around it, when the machine allows (scripts/small-disk.sh).
set(PV_SMALL_DISK ${CMAKE_BINARY_DIR}/small-disk)
add_test(NAME ${PV_TEST_GROUP}.small_disk_mount COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/small-disk.sh mount ${PV_SMALL_DISK})
add_test(NAME ${PV_TEST_GROUP}.small_disk_unmount COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/small-disk.sh unmount ${PV_SMALL_DISK})
set_tests_properties(${PV_TEST_GROUP}.small_disk_mount PROPERTIES FIXTURES_SETUP ${PV_TEST_GROUP}_small_disk)
set_tests_properties(${PV_TEST_GROUP}.small_disk_unmount PROPERTIES FIXTURES_CLEANUP ${PV_TEST_GROUP}_small_disk)
set_tests_properties(${PV_TEST_GROUP}.log_faults_scenario_test PROPERTIES FIXTURES_REQUIRED ${PV_TEST_GROUP}_small_disk)
set_property(TEST ${PV_TEST_GROUP}.log_faults_scenario_test APPEND PROPERTY ENVIRONMENT "PV_SMALL_DISK=${PV_SMALL_DISK}")
# Tests that give real input or need the foreground window: one Wine server
# (one prefix) has one foreground window for all its displays, so these take
# turns.
foreach(name demo_session graph_picture_scenario_test startup_settings_test)
  set_property(TEST ${PV_TEST_GROUP}.${name} APPEND PROPERTY RESOURCE_LOCK foreground)
endforeach()
# The installer test reads the Start-menu shortcut through COM.
target_link_libraries(installer_test PRIVATE ole32 uuid)

# Measurement programs: scripted runs of the real program whose figures are
# reported, never asserted (scripts/measure.sh runs them).  64-bit only:
# emulated runs would measure the emulator.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  file(GLOB PV_WINE_MEASURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/wine/*_measure.cpp)
  foreach(src ${PV_WINE_MEASURES})
    get_filename_component(name ${src} NAME_WE)
    pv_add_wine_program(${name} ${src})
  endforeach()
endif()

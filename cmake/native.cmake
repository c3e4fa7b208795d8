# Native build: the platform-free code with its unit tests and benchmarks.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

if(PV_SANITIZE)
  set(PV_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  foreach(t pv_core sim_model)
    target_compile_options(${t} PRIVATE ${PV_SAN_FLAGS})
    target_link_options(${t} PUBLIC ${PV_SAN_FLAGS})
  endforeach()
endif()

# The optimised benchmark build leaves the unit tests out.
if(PV_SANITIZE)
  file(GLOB PV_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
endif()
foreach(src ${PV_UNIT_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/unit)
  # Tests that read files of the repository (the manual, the templates).
  target_compile_definitions(${name} PRIVATE PV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE pv_core sim_model GTest::gtest GTest::gtest_main)
  target_compile_options(${name} PRIVATE ${PV_WARNINGS})
  if(PV_SANITIZE)
    target_compile_options(${name} PRIVATE ${PV_SAN_FLAGS})
  endif()
  gtest_discover_tests(${name} TEST_PREFIX "unit." DISCOVERY_TIMEOUT 30)
endforeach()

# Benchmarks are built here but run by hand (scripts/bench.sh); they are
# measurements, not tests.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  file(GLOB PV_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
  foreach(src ${PV_BENCHES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE pv_core sim_model benchmark::benchmark)
    target_compile_options(${name} PRIVATE ${PV_WARNINGS})
  endforeach()
endif()

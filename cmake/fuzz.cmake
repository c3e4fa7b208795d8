# libFuzzer targets over the parsers, each run for a few seconds as a test.
enable_testing()
set(PV_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
foreach(t pv_core sim_model)
  target_compile_options(${t} PRIVATE ${PV_FUZZ_FLAGS})
endforeach()

set(PV_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs under ctest")
file(GLOB PV_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(src ${PV_FUZZERS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE pv_core sim_model)
  target_compile_options(${name} PRIVATE ${PV_WARNINGS} -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  add_test(NAME fuzz.${name}
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-fuzzer.sh $<TARGET_FILE:${name}> ${corpus} ${PV_FUZZ_SECONDS})
endforeach()

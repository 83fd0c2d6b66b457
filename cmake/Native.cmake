# The native build: the simulated machine, unit and contract tests, tools,
# benchmarks and fuzz targets.
file(GLOB TARN_SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
add_library(tarn_sim STATIC ${TARN_SIM_SOURCES})
target_link_libraries(tarn_sim PUBLIC tarn_base)
tarn_warnings(tarn_sim)

enable_testing()

if(TARN_FUZZ)
  file(GLOB TARN_FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*_fuzzer.cpp)
  foreach(source ${TARN_FUZZ_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE tarn_core tarn_sim)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    tarn_warnings(${name})
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

file(GLOB_RECURSE TARN_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(tarn_unit_tests ${TARN_UNIT_SOURCES})
target_include_directories(tarn_unit_tests PRIVATE tests)
target_link_libraries(tarn_unit_tests PRIVATE tarn_core tarn_sim GTest::gtest GTest::gtest_main
  GTest::gmock Threads::Threads)
tarn_warnings(tarn_unit_tests)
# Lets tests read files of the repository, such as languages.ini.
target_compile_definitions(tarn_unit_tests PRIVATE TARN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_test(NAME unit COMMAND tarn_unit_tests)

file(GLOB TARN_CONTRACT_SOURCES CONFIGURE_DEPENDS tests/contract/*.cpp tests/contract/sim/*.cpp)
add_executable(tarn_contract_sim ${TARN_CONTRACT_SOURCES})
target_include_directories(tarn_contract_sim PRIVATE tests)
target_link_libraries(tarn_contract_sim PRIVATE tarn_core tarn_sim GTest::gtest GTest::gtest_main
  Threads::Threads)
tarn_warnings(tarn_contract_sim)
add_test(NAME contract_sim COMMAND tarn_contract_sim)

# Developer tools, one executable per file.
file(GLOB TARN_TOOL_SOURCES CONFIGURE_DEPENDS tools/*.cpp)
foreach(source ${TARN_TOOL_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE tarn_core tarn_sim)
  tarn_warnings(${name})
endforeach()

if(TARN_BENCH AND NOT TARN_SANITIZE)
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    file(GLOB TARN_BENCH_SOURCES CONFIGURE_DEPENDS bench/*_bench.cpp)
    # "benchmarks" builds just these, so the bench lane need not build the tests again.
    add_custom_target(benchmarks)
    foreach(source ${TARN_BENCH_SOURCES})
      get_filename_component(name ${source} NAME_WE)
      add_executable(${name} ${source})
      target_link_libraries(${name} PRIVATE tarn_core tarn_sim benchmark::benchmark)
      tarn_warnings(${name})
      add_dependencies(benchmarks ${name})
    endforeach()
  endif()
endif()

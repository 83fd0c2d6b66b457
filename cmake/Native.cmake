# The native build: the simulated machine, unit and contract tests, tools,
# benchmarks and fuzz targets.
file(GLOB TARN_SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
add_library(tarn_sim STATIC ${TARN_SIM_SOURCES})
target_link_libraries(tarn_sim PUBLIC tarn_platform)
tarn_warnings(tarn_sim)

# The portable part of the user-interface folder (reading dialog templates),
# so that it is tested and fuzzed natively.
add_library(tarn_ui_portable STATIC src/ui/dialog_template.cpp)
target_include_directories(tarn_ui_portable PUBLIC src)
tarn_warnings(tarn_ui_portable)

# Everything a native program of this project links: the whole core and the
# simulated machine.
add_library(tarn_native INTERFACE)
target_link_libraries(tarn_native INTERFACE tarn_wizard tarn_ui_portable tarn_sim)

# The package lists of other managers that tarn_plan --import reads: JSON
# and XML through Debian's nlohmann/json and pugixml. The native tools only;
# tarn.exe never links them.
find_package(nlohmann_json 3 REQUIRED)
find_package(pugixml REQUIRED)
file(GLOB TARN_IMPORT_SOURCES CONFIGURE_DEPENDS tools/import/*.cpp)
add_library(tarn_import STATIC ${TARN_IMPORT_SOURCES})
target_include_directories(tarn_import PUBLIC tools)
target_link_libraries(tarn_import PUBLIC nlohmann_json::nlohmann_json pugixml::pugixml)
tarn_warnings(tarn_import)

enable_testing()
include(cmake/LayerTests.cmake)

if(TARN_FUZZ)
  file(GLOB TARN_FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*_fuzzer.cpp)
  foreach(source ${TARN_FUZZ_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE tarn_native tarn_import)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    tarn_warnings(${name})
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
include(cmake/FleetReport.cmake)

# Test doubles and helpers that tests and benchmarks share.
file(GLOB TARN_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
add_library(tarn_test_support STATIC ${TARN_TEST_SUPPORT_SOURCES})
target_include_directories(tarn_test_support PUBLIC tests)
target_link_libraries(tarn_test_support PUBLIC tarn_run Threads::Threads)
tarn_warnings(tarn_test_support)

file(GLOB_RECURSE TARN_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(tarn_unit_tests ${TARN_UNIT_SOURCES})
target_include_directories(tarn_unit_tests PRIVATE tests)
target_link_libraries(tarn_unit_tests PRIVATE tarn_native tarn_test_support tarn_report_lib
  GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
tarn_warnings(tarn_unit_tests)
# Lets tests read files of the repository, such as languages.ini.
target_compile_definitions(tarn_unit_tests PRIVATE TARN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# gtest's headers cost more to compile than most tests do.
target_precompile_headers(tarn_unit_tests PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
# In shards, so that ctest -j spreads the slow cases over the cores.
set(TARN_UNIT_SHARDS 4)
math(EXPR last_shard "${TARN_UNIT_SHARDS} - 1")
foreach(shard RANGE ${last_shard})
  add_test(NAME unit_${shard} COMMAND tarn_unit_tests)
  set_tests_properties(unit_${shard} PROPERTIES
    ENVIRONMENT "GTEST_TOTAL_SHARDS=${TARN_UNIT_SHARDS};GTEST_SHARD_INDEX=${shard}")
endforeach()

file(GLOB TARN_CONTRACT_SOURCES CONFIGURE_DEPENDS tests/contract/*.cpp tests/contract/sim/*.cpp)
add_executable(tarn_contract_sim ${TARN_CONTRACT_SOURCES})
target_include_directories(tarn_contract_sim PRIVATE tests)
target_link_libraries(tarn_contract_sim PRIVATE tarn_native tarn_test_support GTest::gtest GTest::gtest_main
  Threads::Threads)
tarn_warnings(tarn_contract_sim)
target_precompile_headers(tarn_contract_sim PRIVATE <gtest/gtest.h>)
add_test(NAME contract_sim COMMAND tarn_contract_sim)

# The result file against its JSON Schema (docs/result.schema.json): sample
# files written by runs on the simulated machine, checked by the Python
# module jsonschema (python3-jsonschema).
find_package(Python3 COMPONENTS Interpreter)
add_executable(tarn_result_samples tests/schema/result_samples.cpp)
target_include_directories(tarn_result_samples PRIVATE tests)
target_link_libraries(tarn_result_samples PRIVATE tarn_native tarn_test_support GTest::gtest
  GTest::gtest_main Threads::Threads)
tarn_warnings(tarn_result_samples)
add_test(NAME result_schema
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/schema/check_result_schema.py --samples
    ${CMAKE_SOURCE_DIR}/docs/result.schema.json $<TARGET_FILE:tarn_result_samples>
    ${CMAKE_CURRENT_BINARY_DIR}/result-samples)

# Developer tools, one executable per file.
file(GLOB TARN_TOOL_SOURCES CONFIGURE_DEPENDS tools/*.cpp)
# tarn_report needs none of the core (cmake/FleetReport.cmake).
list(REMOVE_ITEM TARN_TOOL_SOURCES ${CMAKE_SOURCE_DIR}/tools/tarn_report.cpp)
foreach(source ${TARN_TOOL_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE tarn_native)
  tarn_warnings(${name})
endforeach()
target_link_libraries(tarn_plan PRIVATE tarn_import)

# tarn_plan as a person calls it: the plan of a file on a described machine,
# and each import checked and planned again (tests/tools).
add_test(NAME tarn_plan_cases
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/tools/tarn_plan_cases.sh $<TARGET_FILE:tarn_plan>
    ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/tarn-plan-cases)

if(TARN_BENCH AND NOT TARN_SANITIZE)
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    file(GLOB TARN_BENCH_SOURCES CONFIGURE_DEPENDS bench/*_bench.cpp)
    list(REMOVE_ITEM TARN_BENCH_SOURCES ${CMAKE_SOURCE_DIR}/bench/fleet_report_bench.cpp)
    # "benchmarks" builds just these, so the bench lane need not build the tests again.
    add_custom_target(benchmarks)
    foreach(source ${TARN_BENCH_SOURCES})
      get_filename_component(name ${source} NAME_WE)
      add_executable(${name} ${source})
      target_link_libraries(${name} PRIVATE tarn_native tarn_test_support benchmark::benchmark)
      tarn_warnings(${name})
      add_dependencies(benchmarks ${name})
    endforeach()
    # The fleet report's needs none of the core.
    add_executable(fleet_report_bench bench/fleet_report_bench.cpp)
    target_link_libraries(fleet_report_bench PRIVATE tarn_report_lib benchmark::benchmark)
    tarn_warnings(fleet_report_bench)
    add_dependencies(benchmarks fleet_report_bench)
  endif()
endif()

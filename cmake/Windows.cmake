# The Windows build: the real program, the win32 backend and the test
# executables that run under Wine.
file(GLOB TARN_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_library(tarn_win32 STATIC ${TARN_WIN32_SOURCES})
target_link_libraries(tarn_win32 PUBLIC tarn_platform)
target_compile_definitions(tarn_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601)
# Only libraries the system maps from its own folder (the known DLLs) and the
# common controls (side by side, through the manifest) are linked; netapi32,
# userenv, version and the rest are loaded from the system folder at run
# time (win32_system_library.h), out of reach of a planted copy.
target_link_libraries(tarn_win32 PUBLIC advapi32 shlwapi shell32 ole32 oleaut32 comctl32 comdlg32 gdi32
  user32 kernel32)
tarn_warnings(tarn_win32)

# The Win32 binding of the wizard, apart from the entry point, so that a test
# program under Wine can drive it.
file(GLOB TARN_UI_SOURCES CONFIGURE_DEPENDS src/ui/*.cpp)
list(REMOVE_ITEM TARN_UI_SOURCES ${CMAKE_SOURCE_DIR}/src/ui/main.cpp)
add_library(tarn_ui STATIC ${TARN_UI_SOURCES})
target_link_libraries(tarn_ui PUBLIC tarn_wizard tarn_win32)
target_include_directories(tarn_ui PUBLIC resources)
tarn_warnings(tarn_ui)

add_executable(tarn WIN32 src/ui/main.cpp resources/tarn.rc)
# The resource compiler's dependencies are not scanned: name the files the
# script pulls in, so that a changed manifest or number rebuilds it.
file(GLOB TARN_RESOURCE_PARTS CONFIGURE_DEPENDS resources/*.rc resources/*.bmp resources/*.ico)
set_source_files_properties(resources/tarn.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/resource.h;${TARN_GENERATED_DIR}/tarn_version.h;${CMAKE_SOURCE_DIR}/resources/tarn.manifest;${TARN_RESOURCE_PARTS}")
target_link_libraries(tarn PRIVATE tarn_ui)
target_link_options(tarn PRIVATE -municode)
# The linker's map names every archive member a program took in; the
# release's bill of materials and notices are made from it
# (scripts/release-bom.py).
function(tarn_link_map target)
  target_link_options(${target} PRIVATE "LINKER:-Map=$<TARGET_FILE:${target}>.map")
endfunction()
tarn_link_map(tarn)
tarn_warnings(tarn)
# The program looks for its translations beside itself.
add_custom_command(TARGET tarn POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/languages.ini
    $<TARGET_FILE_DIR:tarn>/languages.ini)

enable_testing()
include(cmake/LayerTests.cmake)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB TARN_CONTRACT_SOURCES CONFIGURE_DEPENDS tests/contract/*.cpp tests/contract/win32/*.cpp)
add_executable(tarn_contract_win32 ${TARN_CONTRACT_SOURCES})
target_include_directories(tarn_contract_win32 PRIVATE tests)
file(GLOB TARN_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
add_library(tarn_test_support STATIC ${TARN_TEST_SUPPORT_SOURCES})
target_include_directories(tarn_test_support PUBLIC tests)
target_link_libraries(tarn_test_support PUBLIC tarn_run)
tarn_warnings(tarn_test_support)
# The stand-ins for the network management functions allocate their answers
# the way the real ones do, so the test links netapi32 itself.
target_link_libraries(tarn_contract_win32 PRIVATE tarn_startup tarn_win32 tarn_test_support gtest
  gtest_main netapi32)
tarn_warnings(tarn_contract_win32)
tarn_link_map(tarn_contract_win32)
# gtest's headers cost more to compile than most tests do.
target_precompile_headers(tarn_contract_win32 PRIVATE <gtest/gtest.h>)
add_test(NAME contract_win32 COMMAND tarn_contract_win32)
# Wine takes the ANSI code page from the locale: the portable profile reader
# again, against a Cyrillic (Windows-1251) system.
add_test(NAME contract_win32_cyrillic
  COMMAND tarn_contract_win32 --gtest_filter=DocumentMatchesBackend.*)
set_tests_properties(contract_win32_cyrillic PROPERTIES
  ENVIRONMENT "LANG=ru_RU.UTF-8;LC_ALL=ru_RU.UTF-8")

# The libraries the built program links to, read from tarn.exe itself with
# the portable PE reader.
add_executable(program_imports_test tests/program/program_imports_test.cpp)
target_link_libraries(program_imports_test PRIVATE tarn_platform gtest gtest_main)
target_compile_definitions(program_imports_test PRIVATE
  TARN_PROGRAM_PATH="$<TARGET_FILE:tarn>")
add_dependencies(program_imports_test tarn)
tarn_warnings(program_imports_test)
add_test(NAME program_imports COMMAND program_imports_test)

# The glue of src/ui under Wine: real windows from the program's own
# resources.
file(GLOB TARN_UI_TEST_SOURCES CONFIGURE_DEPENDS tests/ui/*.cpp)
add_executable(tarn_ui_tests ${TARN_UI_TEST_SOURCES} resources/tarn.rc)
target_link_libraries(tarn_ui_tests PRIVATE tarn_ui gtest gtest_main)
target_include_directories(tarn_ui_tests PRIVATE tests)
# The label-fit check measures the shipped translations.
target_compile_definitions(tarn_ui_tests PRIVATE
  TARN_LANGUAGES_FILE="${CMAKE_SOURCE_DIR}/languages.ini")
tarn_warnings(tarn_ui_tests)
target_precompile_headers(tarn_ui_tests PRIVATE <gtest/gtest.h>)
add_test(NAME ui_win32 COMMAND tarn_ui_tests)

# A program that only carries a version resource from the resource compiler;
# the version resource contract compares the system's reading with the
# portable reader on it. It sits next to the contract test executable.
add_executable(versioned_sample tests/contract/data/versioned_sample.c
  tests/contract/data/versioned_sample.rc)
add_dependencies(tarn_contract_win32 versioned_sample)

# Timed tools for the figures under Wine: Google Benchmark is not built for
# mingw, so bench/*_timing.cpp measure with the standard clock instead.
file(GLOB TARN_TIMING_SOURCES CONFIGURE_DEPENDS bench/*_timing.cpp)
foreach(source ${TARN_TIMING_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE tarn_wizard tarn_test_support tarn_win32)
  tarn_warnings(${name})
endforeach()
if(TARGET window_timing)
  target_link_options(window_timing PRIVATE -municode)
endif()
# The software list's timing drives the list control of the user interface.
if(TARGET software_list_timing)
  target_link_libraries(software_list_timing PRIVATE tarn_ui)
endif()
# The yardstick window_timing measures the wizard against.
add_executable(minimal_window WIN32 bench/minimal_window.cpp)
target_link_options(minimal_window PRIVATE -municode)
tarn_warnings(minimal_window)
# The floor: a bare Wizard97 sheet with one of the program's pages.
add_executable(bare_wizard WIN32 bench/bare_wizard.cpp resources/tarn.rc)
target_include_directories(bare_wizard PRIVATE resources ${TARN_GENERATED_DIR})
target_link_libraries(bare_wizard PRIVATE comctl32)
target_link_options(bare_wizard PRIVATE -municode)
tarn_warnings(bare_wizard)

# The end-to-end cases read where a window's controls lie with this.
add_executable(window_query tests/e2e/tools/window_query.c)
target_link_options(window_query PRIVATE -municode)

# The fleet report for Windows, with a manifest that makes its arguments
# UTF-8; a run over the sample folder under Wine.
include(cmake/FleetReport.cmake)
target_sources(tarn_report PRIVATE tools/report/tarn_report.rc)
set_source_files_properties(tools/report/tarn_report.rc PROPERTIES OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/tools/report/tarn_report.manifest)
add_test(NAME report_tool_win32
  COMMAND tarn_report ${CMAKE_SOURCE_DIR}/tests/report/fleet --html report-sample.html
    --csv report-sample.csv)
set_tests_properties(report_tool_win32 PROPERTIES
  PASS_REGULAR_EXPRESSION "tarn_report: 7 machines, 1 unreadable files")

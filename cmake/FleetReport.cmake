# tarn_report, the fleet view of a report folder: its reading and writing in
# a library the unit tests use, and the program, natively and for Windows.
# nlohmann/json is header-only (Debian's nlohmann-json3-dev); the Windows
# build takes the same headers from a copy of their own folder, so that no
# other header of the build machine's /usr/include reaches the cross build.
if(WIN32)
  find_path(TARN_NLOHMANN_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(COPY ${TARN_NLOHMANN_INCLUDE}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/nlohmann-include)
  add_library(tarn_nlohmann_json INTERFACE)
  target_include_directories(tarn_nlohmann_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/nlohmann-include)
else()
  find_package(nlohmann_json 3 REQUIRED)
  add_library(tarn_nlohmann_json INTERFACE)
  target_link_libraries(tarn_nlohmann_json INTERFACE nlohmann_json::nlohmann_json)
endif()

file(GLOB TARN_REPORT_SOURCES CONFIGURE_DEPENDS tools/report/*.cpp)
add_library(tarn_report_lib STATIC ${TARN_REPORT_SOURCES})
target_include_directories(tarn_report_lib PUBLIC tools)
target_link_libraries(tarn_report_lib PUBLIC tarn_nlohmann_json)
tarn_warnings(tarn_report_lib)

add_executable(tarn_report tools/tarn_report.cpp)
target_link_libraries(tarn_report PRIVATE tarn_report_lib)
tarn_warnings(tarn_report)

if(NOT WIN32)
  # The page in headless Chromium (tests/report/check_page.sh).
  add_test(NAME report_page
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/report/check_page.sh $<TARGET_FILE:tarn_report>
      ${CMAKE_SOURCE_DIR}/tests/report/fleet ${CMAKE_CURRENT_BINARY_DIR}/report-page)
endif()

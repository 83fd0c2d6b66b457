# The program's version (project(... VERSION)) and the time of the commit it
# is built from, in one generated header that the core and the resource
# script read: tarn_version.h in <build>/generated.
#
# The commit time is SOURCE_DATE_EPOCH when the build is given one (the
# release script does, also for an exported tree without .git), else the
# last commit's time from git, else unknown (-1). A new commit configures
# again, so that a developer's build shows the date of what it was built from.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TARN_SOURCE_DATE "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(
    COMMAND git log -1 --format=%ct
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE TARN_SOURCE_DATE
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_result
    ERROR_QUIET)
  if(NOT git_result EQUAL 0)
    set(TARN_SOURCE_DATE "")
  endif()
  execute_process(
    COMMAND git rev-parse --path-format=absolute --git-path logs/HEAD
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE head_log
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_result
    ERROR_QUIET)
  if(git_result EQUAL 0 AND EXISTS "${head_log}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
  endif()
endif()
if(NOT TARN_SOURCE_DATE MATCHES "^[0-9]+$")
  set(TARN_SOURCE_DATE -1)
endif()

set(TARN_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/tarn_version.h.in ${TARN_GENERATED_DIR}/tarn_version.h @ONLY)

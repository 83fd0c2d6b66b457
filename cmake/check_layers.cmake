cmake_minimum_required(VERSION 3.25)
# Checks that every file under ROOT/src includes only its own folder and the
# folders below it. Run as: cmake -DROOT=<tree> -P check_layers.cmake
# Exits with an error listing every include against the order.

# What each folder may include besides itself. catalogue and accounts are
# siblings: neither sees the other. The two platform backends see only the
# platform layer and what it sees; only the user interface, tests and tools
# name a backend. An include without a folder, such as the numbers in
# resources/resource.h, is open to every layer and not looked at.
set(allowed_base "")
set(allowed_platform base)
set(allowed_app base platform)
set(allowed_catalogue base platform app)
set(allowed_accounts base platform app)
set(allowed_run base platform app catalogue accounts)
set(allowed_startup base platform app catalogue accounts run)
set(allowed_wizard base platform app catalogue accounts run startup)
set(allowed_ui base platform app catalogue accounts run startup wizard)
set(backends "platform/sim/" "platform/win32/")

if(NOT ROOT)
  message(FATAL_ERROR "ROOT not set")
endif()

set(faults "")
foreach(layer base platform app catalogue accounts run startup wizard ui)
  file(GLOB_RECURSE files ${ROOT}/src/${layer}/*.h ${ROOT}/src/${layer}/*.cpp)
  foreach(file ${files})
    file(RELATIVE_PATH relative ${ROOT}/src ${file})
    file(STRINGS ${file} includes REGEX "^#include \"[a-z_0-9]+/")
    foreach(line ${includes})
      string(REGEX MATCH "^#include \"([a-z_0-9]+)/([^\"]*)\"" _ "${line}")
      set(target ${CMAKE_MATCH_1})
      set(path "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
      set(ok FALSE)
      if(target STREQUAL layer OR target IN_LIST allowed_${layer})
        set(ok TRUE)
      endif()
      # A backend is seen only by itself and by the user interface.
      foreach(backend ${backends})
        string(FIND "${path}" "${backend}" at)
        string(FIND "${relative}" "${backend}" inside)
        if(at EQUAL 0 AND NOT inside EQUAL 0 AND NOT layer STREQUAL "ui")
          set(ok FALSE)
        endif()
      endforeach()
      if(NOT ok)
        string(APPEND faults "  ${relative} includes ${path}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "includes against the layer order:\n${faults}")
endif()

# The layers of the portable core and their order.

# One static library per folder of src/, linking only the libraries named.
#   tarn_layer(<folder> [<lower folder>...])
function(tarn_layer folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
  add_library(tarn_${folder} STATIC ${sources})
  target_include_directories(tarn_${folder} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  # The numbers of dialogs, controls and texts are shared with the resource
  # script, so every layer reads them from the one plain header there; the
  # version header is generated beside the build (cmake/Version.cmake).
  if(folder STREQUAL "base")
    target_include_directories(tarn_${folder} PUBLIC ${CMAKE_SOURCE_DIR}/resources
                                                     ${TARN_GENERATED_DIR})
  endif()
  foreach(lower ${ARGN})
    target_link_libraries(tarn_${folder} PUBLIC tarn_${lower})
  endforeach()
  tarn_warnings(tarn_${folder})
endfunction()

# Stops the configuration when a source file of the tree at <root> includes a
# folder its layer may not see. The rules live in check_layers.cmake so that a
# test can run them on a tree with a deliberate fault.
function(tarn_check_layers root)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DROOT=${root} -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Layer order broken:\n${output}")
  endif()
endfunction()

# The layer check itself: a tree within the order passes, and each kind of
# include against it (upwards, between siblings, naming a backend) fails.
foreach(tree clean upward sibling backend)
  add_test(NAME layers_${tree}
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR}/tests/layers/${tree}
      -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake)
  if(NOT tree STREQUAL "clean")
    set_tests_properties(layers_${tree} PROPERTIES WILL_FAIL TRUE)
  endif()
endforeach()

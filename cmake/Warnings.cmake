function(tarn_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Werror -Wshadow -Wnon-virtual-dtor -Wcast-align
    -Woverloaded-virtual -Wimplicit-fallthrough)
  # GCC 12 reports impossible sizes inside inlined std::string and std::vector
  # copies at -O2/-O3 (its bugs 105329, 105651 and relatives). These checks stay
  # on in the clang builds (fuzz) and the sanitizers watch the same accesses at
  # run time.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE
      -Wno-restrict -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread)
  endif()
endfunction()

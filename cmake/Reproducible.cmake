# The same sources give the same tarn.exe wherever they are built: no path of
# the source or build folder reaches the program (__FILE__ in assertions and
# in the test framework's messages), and the linker takes the PE header's
# time stamp from SOURCE_DATE_EPOCH when the build is given one (binutils'
# ld does so by itself; scripts/release.sh sets it to the commit's time).
# Only the Windows build: native test failures keep paths an editor follows.
if(WIN32)
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                      -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
endif()

# libpng, cross-built by scripts/setup into build/deps/libpng, linked with the
# static zlib (a libz.dll.a sits beside it). The cross toolchain's find-root
# hides the prefix from find_package, so the paths are given directly.
set(PNG_LIBRARY ${CMAKE_BINARY_DIR}/deps/libpng/lib/libpng16.a CACHE FILEPATH "Static libpng")
set(PNG_PNG_INCLUDE_DIR ${CMAKE_BINARY_DIR}/deps/libpng/include CACHE PATH "libpng headers")
set(HORALEON_ZLIB_LIBRARY /usr/x86_64-w64-mingw32/lib/libz.a CACHE FILEPATH "Static zlib")
if(NOT EXISTS ${PNG_LIBRARY})
  message(FATAL_ERROR "${PNG_LIBRARY} is missing: run scripts/setup")
endif()
add_library(horaleon_libpng INTERFACE)
target_include_directories(horaleon_libpng SYSTEM INTERFACE ${PNG_PNG_INCLUDE_DIR})
target_link_libraries(horaleon_libpng INTERFACE ${PNG_LIBRARY} ${HORALEON_ZLIB_LIBRARY})

# The PNG test images of libpng's source package.
set(HORALEON_PNG_TEST_IMAGES ${CMAKE_BINARY_DIR}/deps/libpng-src/contrib)

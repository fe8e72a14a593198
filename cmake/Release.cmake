# Initial cache of the release build (scripts/release): a tree of its own,
# optimised for size. Debug information is compiled in and then moved into a
# file of its own beside the stripped program. Sections of their own per
# function and object let the linker drop what nothing calls; the linker map
# (link.map beside each linked program) shows what stays. Exception tables
# stay: markup loading reports its errors with C++ exceptions. Type
# information stays only for the exceptions thrown: nothing asks an object
# its type at run time.
set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "" FORCE)
set(CMAKE_C_FLAGS_MINSIZEREL "-Os -g -DNDEBUG -ffunction-sections -fdata-sections" CACHE STRING "" FORCE)
set(CMAKE_CXX_FLAGS_MINSIZEREL "-Os -g -DNDEBUG -ffunction-sections -fdata-sections -fno-rtti" CACHE STRING "" FORCE)
# The program's own link options (app/CMakeLists.txt) drop what nothing calls.
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL "-Wl,-Map=link.map" CACHE STRING "" FORCE)
# The release script moves the debug information itself.
set(HORALEON_SPLIT_DEBUG OFF CACHE BOOL "" FORCE)

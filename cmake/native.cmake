# Native tree: the portable core, the builder, the post-link tool, tests
# under ASan and UBSan, and the libFuzzer target.
set(KV_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

function(kv_core_library name)
  add_library(${name} STATIC ${KV_PORTABLE_SOURCES} ${KV_POSIX_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${KV_WARNINGS} ${ARGN})
  target_link_libraries(${name} PUBLIC ZLIB::ZLIB)
endfunction()

# Release copy for the shipped tools, sanitized copy for tests.
kv_core_library(kvcore -O2)
kv_core_library(kvcore_san ${KV_SAN_FLAGS} -O1 -g)
target_link_options(kvcore_san PUBLIC ${KV_SAN_FLAGS})

add_subdirectory(tools)
add_subdirectory(bench)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
add_subdirectory(tests/native)
add_subdirectory(tests/fuzz)

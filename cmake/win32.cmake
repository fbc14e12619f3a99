# Win32 tree: the stub, the Windows tools and the tests that run under Wine.
set(KV_PEFIX "" CACHE FILEPATH "native post-link tool that moves the PE header to offset 256")

set(KV_SIZE_FLAGS -Os -ffunction-sections -fdata-sections)
set(KV_LINK_FLAGS -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)

add_library(kvwin STATIC ${KV_PORTABLE_SOURCES} ${KV_WIN_SOURCES})
target_include_directories(kvwin PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(kvwin PRIVATE ${KV_WARNINGS} ${KV_SIZE_FLAGS})
target_compile_definitions(kvwin PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(kvwin PUBLIC ZLIB::ZLIB user32 gdi32 advapi32 shell32)
target_link_options(kvwin PUBLIC ${KV_LINK_FLAGS})

add_subdirectory(src)
add_subdirectory(tools)

set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
add_subdirectory(tests/win)

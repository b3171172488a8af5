# The fuzzing build compiles Lua and the 7z decoder again, from the sources
# scripts/setup.sh fetched and patched, with the fuzzing flags: without
# coverage the fuzzer cannot steer into them, and without AddressSanitizer a
# bad write into their heap shows up only much later, far from its cause. The
# imported libraries of cmake/Dependencies.cmake are pointed at these builds.

file(GLOB QF_FUZZ_LUA_DIR LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/deps/src/lua5.1-*)
file(GLOB QF_FUZZ_7Z_DIR LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/deps/src/7zip-*)
if(NOT IS_DIRECTORY "${QF_FUZZ_LUA_DIR}/src" OR NOT IS_DIRECTORY "${QF_FUZZ_7Z_DIR}/C")
    message(FATAL_ERROR "QF_FUZZ needs the dependency sources in deps/src: run scripts/setup.sh")
endif()

# The same files and settings as scripts/setup.sh builds.
set(lua_sources)
foreach(f lapi lcode ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes lparser lstate
        lstring ltable ltm lundump lvm lzio lauxlib lbaselib ltablib lstrlib lmathlib loslib)
    list(APPEND lua_sources ${QF_FUZZ_LUA_DIR}/src/${f}.c)
endforeach()
# Compiled as C++, so that a Lua error unwinds C++ frames.
set_source_files_properties(${lua_sources} PROPERTIES LANGUAGE CXX)
add_library(qf_fuzz_lua STATIC ${lua_sources})
# Lua's table code overflows int on paths that are harmless on our machines: our
# luaconf.h converts numbers to int with a plain cast (a key such as -1.9e15
# becomes INT_MIN on x86 and is then hashed as a float), and luaH_getnum
# computes key - 1 for the key -2^31. Checking these would stop every run at
# its first large key; memory errors and the other checks stay on.
target_compile_options(qf_fuzz_lua PRIVATE -w
    -fno-sanitize=float-cast-overflow,signed-integer-overflow)
target_compile_definitions(qf_fuzz_lua PRIVATE LUA_USE_POSIX)

set(sevenzip_sources)
foreach(f 7zAlloc 7zArcIn 7zBuf 7zBuf2 7zCrc 7zCrcOpt 7zDec 7zStream Bcj2 Bra Bra86 BraIA64
        CpuArch Delta Lzma2Dec LzmaDec Ppmd7 Ppmd7Dec)
    list(APPEND sevenzip_sources ${QF_FUZZ_7Z_DIR}/C/${f}.c)
endforeach()
add_library(qf_fuzz_7z STATIC ${sevenzip_sources})
# The decoder reads little-endian numbers with unaligned loads where the CPU
# allows them (x86), on purpose.
target_compile_options(qf_fuzz_7z PRIVATE -w -fno-sanitize=alignment)
target_compile_definitions(qf_fuzz_7z PRIVATE Z7_PPMD_SUPPORT Z7_EXTRACT_ONLY Z7_ST)

set(dir ${CMAKE_BINARY_DIR}/fuzz-deps)
set_target_properties(qf_fuzz_lua qf_fuzz_7z PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${dir})
set_target_properties(qf_dep_lua PROPERTIES IMPORTED_LOCATION ${dir}/libqf_fuzz_lua.a)
set_target_properties(qf_dep_7z PROPERTIES IMPORTED_LOCATION ${dir}/libqf_fuzz_7z.a)

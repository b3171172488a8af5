# Outside libraries. Lua, Box2D and the 7z decoder are built by scripts/setup.sh
# from Debian's source packages into deps/prefix with our own settings.

set(QF_DEPS_PREFIX ${CMAKE_SOURCE_DIR}/deps/prefix CACHE PATH "Prefix of the dependencies built by scripts/setup.sh")

find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
if(QF_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()
if(QF_BENCH)
    find_package(benchmark REQUIRED)
endif()

pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(CJSON REQUIRED IMPORTED_TARGET libcjson)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(LIBARCHIVE REQUIRED IMPORTED_TARGET libarchive)
pkg_check_modules(GL REQUIRED IMPORTED_TARGET gl)

function(qf_imported_dep name lib)
    set(path ${QF_DEPS_PREFIX}/lib/${lib})
    if(NOT EXISTS ${path})
        message(FATAL_ERROR "${path} is missing: run scripts/setup.sh first")
    endif()
    add_library(${name} STATIC IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${path})
    # SYSTEM keeps their headers out of our -Werror; BEFORE puts the patched Box2D
    # headers ahead of any copy in /usr/include.
    target_include_directories(${name} SYSTEM BEFORE INTERFACE ${QF_DEPS_PREFIX}/include)
endfunction()

# Lua 5.1.5 with float numbers, compiled as C++ (include "lua.h" directly, not lua.hpp).
qf_imported_dep(qf_dep_lua libqflua51.a)
target_include_directories(qf_dep_lua SYSTEM BEFORE INTERFACE ${QF_DEPS_PREFIX}/include/qflua)
# Box2D 2.4.1 with our slop and run-time maximum translation.
qf_imported_dep(qf_dep_box2d libqfbox2d.a)
# The LZMA SDK 7z decoder (C).
qf_imported_dep(qf_dep_7z libqf7zdec.a)
target_include_directories(qf_dep_7z SYSTEM BEFORE INTERFACE ${QF_DEPS_PREFIX}/include/qf7z)
target_compile_definitions(qf_dep_7z INTERFACE Z7_PPMD_SUPPORT Z7_EXTRACT_ONLY Z7_ST _7ZIP_PPMD_SUPPPORT _7ZIP_ST)

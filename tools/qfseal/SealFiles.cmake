include_guard(GLOBAL)

# qf_seal_files(TARGET name OUTPUT_DIR dir FILES file... [BASE_DIR dir] [ALL])
#
# Seals each file with qfseal at build time into OUTPUT_DIR, keeping its path
# relative to BASE_DIR (default: the calling folder; files outside it keep only
# their name). Relative FILES are taken from the calling folder. The custom target `name` builds them all; ALL adds it to the
# default build. Folders processed before tools/ include this file themselves.
function(qf_seal_files)
    cmake_parse_arguments(S "ALL" "TARGET;OUTPUT_DIR;BASE_DIR" "FILES" ${ARGN})
    if(NOT S_TARGET OR NOT S_OUTPUT_DIR)
        message(FATAL_ERROR "qf_seal_files needs TARGET and OUTPUT_DIR")
    endif()
    if(NOT S_BASE_DIR)
        set(S_BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    get_filename_component(S_BASE_DIR ${S_BASE_DIR} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    set(outputs)
    foreach(file ${S_FILES})
        get_filename_component(source ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        file(RELATIVE_PATH relative ${S_BASE_DIR} ${source})
        if(relative MATCHES "^\\.\\./")
            get_filename_component(relative ${source} NAME)
        endif()
        set(sealed ${S_OUTPUT_DIR}/${relative})
        get_filename_component(folder ${sealed} DIRECTORY)
        add_custom_command(OUTPUT ${sealed}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
            COMMAND qfseal seal ${source} ${sealed}
            DEPENDS qfseal ${source}
            COMMENT "Sealing ${relative}"
            VERBATIM)
        list(APPEND outputs ${sealed})
    endforeach()
    if(S_ALL)
        add_custom_target(${S_TARGET} ALL DEPENDS ${outputs})
    else()
        add_custom_target(${S_TARGET} DEPENDS ${outputs})
    endif()
endfunction()

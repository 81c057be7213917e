# Warnings for our own targets only; third-party headers come in as SYSTEM includes.
function(pelvano_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
        $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
    if(PELVANO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# One static library per folder of sources, picked up by glob so that adding a file needs no
# CMake edit (re-run of the configure step happens on its own through CONFIGURE_DEPENDS).
function(pelvano_glob_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS
            ${dir}/*.cpp ${dir}/*.h)
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Per-sample loops written for the vectoriser: -O2 runs it only where it needs no scalar
# remainder, and float compares (clamps) are if-converted only when they may not trap. We
# never read the floating-point exception flags, so optimised builds give these files both.
function(pelvano_vectorised_sources)
    set_source_files_properties(${ARGN} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} PROPERTIES COMPILE_OPTIONS
        "$<$<CONFIG:Release,RelWithDebInfo>:-O3;-fno-trapping-math>")
endfunction()

# A cross build takes header-only libraries (CLI11, nlohmann-json) from the
# build machine's packages. Their package files name the build machine's whole
# include directory, whose C library headers would shadow the target's own;
# so the target is pointed at a directory that holds only the library's
# headers.
function(harvelin_confine_headers target subdir)
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
    string(MAKE_C_IDENTIFIER ${target} name)
    set(stage ${CMAKE_BINARY_DIR}/host-headers/${name})
    file(MAKE_DIRECTORY ${stage})
    foreach(dir IN LISTS dirs)
        if(EXISTS ${dir}/${subdir} AND NOT EXISTS ${stage}/${subdir})
            file(CREATE_LINK ${dir}/${subdir} ${stage}/${subdir} SYMBOLIC)
        endif()
    endforeach()
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${stage})
endfunction()

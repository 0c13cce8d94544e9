# The Windows desktop program's resources: its icon (128) and its manifest,
# compiled from packaging/windows/harvelin.rc. Use in the top CMakeLists.txt,
# at file scope, since enable_language() may not be called in a function:
#
#   if(WIN32 AND TARGET harvelin)
#       include(cmake/WindowsResources.cmake)
#       harvelin_windows_resources(harvelin)
#   endif()
#
# The icon is not drawn in a Windows build (the drawing needs Qt); it is taken
# from a Linux build, which writes it with the other icon files:
#   cmake --preset default && cmake --build build/default -j2 --target harvelin_icon_files
# HARVELIN_WINDOWS_ICON names the file when that build lives elsewhere.

enable_language(RC)

get_filename_component(harvelin_source_dir ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(HARVELIN_WINDOWS_ICON ${harvelin_source_dir}/build/default/packaging/icons/harvelin.ico
    CACHE FILEPATH "harvelin.ico from a Linux build's packaging/icons folder, for harvelin.exe")
set(HARVELIN_WINDOWS_RESOURCE_DIR ${harvelin_source_dir}/packaging/windows)

function(harvelin_windows_resources target)
    file(TO_CMAKE_PATH "${HARVELIN_WINDOWS_ICON}" icon)
    if(NOT EXISTS "${icon}")
        message(FATAL_ERROR
            "The program's icon is missing: ${icon}\n"
            "A Linux build draws it: cmake --preset default && "
            "cmake --build build/default -j2 --target harvelin_icon_files\n"
            "or point HARVELIN_WINDOWS_ICON at a harvelin.ico made elsewhere (-DHARVELIN_WINDOWS_ICON=...).")
    endif()
    set(rc ${HARVELIN_WINDOWS_RESOURCE_DIR}/harvelin.rc)
    set(manifest ${HARVELIN_WINDOWS_RESOURCE_DIR}/harvelin.exe.manifest)

    # The resource compiler takes the files' names from a header, in quotes,
    # forward slashes and all, which windres and rc.exe both accept.
    set(header_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
    file(CONFIGURE OUTPUT ${header_dir}/harvelin_resources.h CONTENT
"// Written by cmake/WindowsResources.cmake for ${target}.
#define HARVELIN_ICON_FILE \"${icon}\"
#define HARVELIN_MANIFEST_FILE \"${manifest}\"
")
    target_sources(${target} PRIVATE ${rc})
    target_include_directories(${target} PRIVATE ${header_dir})
    # The resource compiler reports no dependencies of its own: a new icon or
    # manifest would otherwise not reach the executable.
    set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES
        OBJECT_DEPENDS "${icon};${manifest};${header_dir}/harvelin_resources.h")
endfunction()

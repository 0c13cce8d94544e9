# The Windows programs' resources: the icon (128) in both, and in the desktop
# program its manifest. Use in the top CMakeLists.txt, at file scope, since
# enable_language() may not be called in a function:
#
#   if(WIN32)
#       include(cmake/WindowsResources.cmake)
#       harvelin_windows_resources(harvelin harvelin.rc)
#       harvelin_windows_resources(harvelin-cli harvelin-cli.rc)
#   endif()
#
# The icon is kept in the tree (packaging/icons/harvelin.ico), so a Windows
# build needs nothing else; a Linux build checks that it still matches the
# drawing (the test icon_files_match_drawing).

enable_language(RC)

get_filename_component(harvelin_source_dir ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(HARVELIN_WINDOWS_ICON ${harvelin_source_dir}/packaging/icons/harvelin.ico)
set(HARVELIN_WINDOWS_RESOURCE_DIR ${harvelin_source_dir}/packaging/windows)

# `rc_file`: a resource script in packaging/windows.
function(harvelin_windows_resources target rc_file)
    set(icon ${HARVELIN_WINDOWS_ICON})
    set(rc ${HARVELIN_WINDOWS_RESOURCE_DIR}/${rc_file})
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

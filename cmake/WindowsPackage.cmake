# The Windows release: the desktop program harvelin.exe and the command-line
# tool harvelin-cli.exe, with the README and the licences of everything
# linked into them, as one zip and as an installer of the same files.
#   cpack -G ZIP        (in the build directory)
if(TARGET harvelin)
    install(TARGETS harvelin RUNTIME DESTINATION .)
endif()
install(TARGETS harvelin-cli RUNTIME DESTINATION .)
# The README names the version and the commit (cmake/BuildCommit.cmake).
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/README.txt.in
               ${CMAKE_CURRENT_BINARY_DIR}/packaging/windows/README.txt @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/windows/README.txt
              ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/NOTICES.txt
        DESTINATION .)

# The executables are static: the C++ runtime, the MinGW-w64 runtime and the
# header-only libraries are part of it. Their licences come from the
# copyright files of the Debian packages the cross build used.
set(harvelin_licences
    "CLI11|libcli11-dev"
    "nlohmann-json|nlohmann-json3-dev"
    "mingw-w64-runtime|mingw-w64-x86-64-dev"
    "gcc-runtime|gcc-mingw-w64-base")
foreach(entry IN LISTS harvelin_licences)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 component)
    list(GET entry 1 package)
    set(copyright /usr/share/doc/${package}/copyright)
    if(EXISTS ${copyright})
        install(FILES ${copyright} DESTINATION licences RENAME ${component}.txt)
    else()
        message(WARNING "No licence text for ${component} (${copyright}); the zip will lack it")
    endif()
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME harvelin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME harvelin-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# A reproducible build's executables come stripped from the linker: strip
# would put a time stamp into them.
if(NOT HARVELIN_REPRODUCIBLE)
    set(CPACK_STRIP_FILES ON)
endif()
# The installer, harvelin-<version>-windows-x64-setup.exe beside the zip, is
# packed by makensis from the files cpack has just staged (and stripped) for
# the zip, so both hold the same bytes (cmake/WindowsInstaller.cmake,
# packaging/windows/harvelin.nsi). makensis is an extra:
# HARVELIN_WITH_INSTALLER=1 scripts/setup installs it.
find_program(HARVELIN_MAKENSIS makensis DOC "makensis, which packs the Windows installer")
if(HARVELIN_MAKENSIS AND TARGET harvelin)
    set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/WindowsInstaller.cmake)
    set(CPACK_HARVELIN_MAKENSIS ${HARVELIN_MAKENSIS})
    set(CPACK_HARVELIN_NSIS_SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/harvelin.nsi)
    set(CPACK_HARVELIN_ICON ${HARVELIN_WINDOWS_ICON})
elseif(TARGET harvelin)
    message(STATUS "makensis not found: cpack packs the zip without the installer "
                   "(HARVELIN_WITH_INSTALLER=1 scripts/setup installs it)")
endif()
include(CPack)

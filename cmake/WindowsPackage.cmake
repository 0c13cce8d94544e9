# The Windows release: the desktop program harvelin.exe and the command-line
# tool harvelin-cli.exe, with the README and the licences of everything
# linked into them, as one zip.
#   cpack -G ZIP        (in the build directory)
if(TARGET harvelin)
    install(TARGETS harvelin RUNTIME DESTINATION .)
endif()
install(TARGETS harvelin-cli RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/README.txt
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
set(CPACK_STRIP_FILES ON)
include(CPack)

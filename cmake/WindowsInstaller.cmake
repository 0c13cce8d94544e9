# Packs the Windows installer (packaging/windows/harvelin.nsi) from the files
# cpack has staged, and stripped, for the zip: the installer holds the same
# bytes. Run by cpack before it packs the zip (CPACK_PRE_BUILD_SCRIPTS, set in
# cmake/WindowsPackage.cmake, with makensis, the script and the icon), and
# writes <package file name>-setup.exe beside the zip.
#
# The staged files are listed for the installer and its uninstaller alike, so
# the uninstaller removes exactly the files installed, and both check the
# same files before they change any (HARVELIN_CHECK_FILES).

set(stage ${CPACK_TEMPORARY_INSTALL_DIRECTORY})
set(output ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-setup.exe)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)

# One SetOutPath per folder, in the order of the sorted names; the
# uninstaller deletes each file by name and then the folders, innermost
# first, each only when it is empty.
set(install_lines)
set(check_lines)
set(remove_lines)
set(folder_lines)
set(folders)
set(folder_now "-")
set(bytes 0)
foreach(file IN LISTS files)
    get_filename_component(folder "${file}" DIRECTORY)
    string(REPLACE "/" "\\" windows_file "${file}")
    string(REPLACE "/" "\\" windows_folder "${folder}")
    if(NOT folder STREQUAL folder_now)
        if(folder STREQUAL "")
            string(APPEND install_lines "    SetOutPath \"$INSTDIR\"\n")
        else()
            string(APPEND install_lines "    SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
            list(APPEND folders "${windows_folder}")
        endif()
        set(folder_now "${folder}")
    endif()
    string(APPEND install_lines "    File \"${stage}/${file}\"\n")
    string(APPEND check_lines "    !insertmacro HARVELIN_CHECK_FILE \"$INSTDIR\\${windows_file}\"\n")
    string(APPEND remove_lines "    Delete \"$INSTDIR\\${windows_file}\"\n")
    file(SIZE ${stage}/${file} size)
    math(EXPR bytes "${bytes} + ${size}")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
    string(APPEND folder_lines "    RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
math(EXPR kilobytes "(${bytes} + 1023) / 1024")

# Beside the staging folder, not in it: cpack packs all that the folder holds.
set(list_file ${CPACK_TOPLEVEL_DIRECTORY}/harvelin-setup-files.nsh)
file(WRITE ${list_file}
"; Written by cmake/WindowsInstaller.cmake from the files staged for the zip.
!macro HARVELIN_INSTALL_FILES
${install_lines}!macroend
!macro HARVELIN_CHECK_FILES
${check_lines}!macroend
!macro HARVELIN_REMOVE_FILES
${remove_lines}!macroend
!macro HARVELIN_REMOVE_FOLDERS
${folder_lines}!macroend
")

execute_process(COMMAND ${CPACK_HARVELIN_MAKENSIS} -V2 -INPUTCHARSET UTF8
                        -DVERSION=${CPACK_PACKAGE_VERSION} -DICON=${CPACK_HARVELIN_ICON}
                        -DFILES=${list_file} -DSIZE_KB=${kilobytes} -DOUTFILE=${output}
                        ${CPACK_HARVELIN_NSIS_SCRIPT}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "makensis failed (${status}); no installer")
endif()
message(STATUS "Installer ${output} generated")

# Draws the icon files anew into OUT with DRAW (harvelin-icon-files) and fails
# unless each equals the one kept in KEPT, byte for byte: the kept files are
# what the Windows build and the package take.
set(sizes 16 24 32 48 64 128 256)
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${DRAW} ${OUT} ${sizes} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "harvelin-icon-files failed: ${status}")
endif()
set(files harvelin.ico)
foreach(size ${sizes})
    list(APPEND files ${size}.png)
endforeach()
foreach(file ${files})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${KEPT}/${file} ${OUT}/${file}
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        list(APPEND changed ${file})
    endif()
endforeach()
if(changed)
    message(FATAL_ERROR "The kept icon files differ from the drawing: ${changed}\n"
        "Draw them anew into packaging/icons with harvelin-icon-files and commit them.")
endif()
message(STATUS "The kept icon files match the drawing: ${files}")

# Checks the icon files kept in KEPT against the drawing of DRAW
# (harvelin-icon-files): the kept files are what the Windows build and the
# package take. Edge pixels that another processor paints differently are
# allowed; anything more means the drawing changed and the files must be
# drawn anew.
set(sizes 16 24 32 48 64 128 256)
execute_process(COMMAND ${DRAW} --check ${KEPT} ${sizes} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "The kept icon files differ from the drawing.\n"
        "Draw them anew into packaging/icons with harvelin-icon-files and commit them.")
endif()
message(STATUS "The kept icon files match the drawing")

# The commit a build is made from, and whether the tree had changes beside it,
# written at configure time into one generated header (build_commit.h) that
# only src/model/build_info.cpp includes: a new commit recompiles that one
# file and relinks the programs, nothing else.
#
# Taken, in this order, from the CMake variable HARVELIN_COMMIT, the
# environment variable of that name (a tree unpacked from `git archive`, as
# scripts/release builds, has no .git), or git in the source tree itself.
# Given from outside, the commit is taken as it stands, without changes.
# Without any of them the programs say the commit is unknown.

set(HARVELIN_COMMIT "" CACHE STRING "Commit the sources come from, when they are not a git checkout")
set(harvelin_commit "${HARVELIN_COMMIT}")
if(harvelin_commit STREQUAL "" AND DEFINED ENV{HARVELIN_COMMIT})
    set(harvelin_commit "$ENV{HARVELIN_COMMIT}")
endif()
set(harvelin_changes 0)

find_package(Git QUIET)
if(harvelin_commit STREQUAL "" AND GIT_FOUND)
    # Only a repository whose top is this source tree counts: a tree unpacked
    # inside another checkout must not report that checkout's commit.
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0)
        file(REAL_PATH "${top}" top)
        file(REAL_PATH "${CMAKE_SOURCE_DIR}" source)
    endif()
    if(status EQUAL 0 AND top STREQUAL source)
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse HEAD
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                        OUTPUT_VARIABLE harvelin_commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        execute_process(COMMAND ${GIT_EXECUTABLE} diff --quiet HEAD --
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                        RESULT_VARIABLE differs ERROR_QUIET)
        if(NOT differs EQUAL 0)
            set(harvelin_changes 1)
        endif()
        # A commit or a switch of branch configures anew, so the programs
        # name the new commit; changes to files alone wait for the next
        # configure.
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path HEAD
                        COMMAND_ERROR_IS_FATAL ANY
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                        OUTPUT_VARIABLE head_file OUTPUT_STRIP_TRAILING_WHITESPACE)
        execute_process(COMMAND ${GIT_EXECUTABLE} symbolic-ref -q HEAD
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                        OUTPUT_VARIABLE branch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        set(watched ${head_file})
        if(branch)
            execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${branch}
                            WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                            OUTPUT_VARIABLE branch_file OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            list(APPEND watched ${branch_file})
        endif()
        foreach(file IN LISTS watched)
            if(NOT IS_ABSOLUTE "${file}")
                set(file ${CMAKE_SOURCE_DIR}/${file})
            endif()
            if(EXISTS "${file}")
                set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
            endif()
        endforeach()
    endif()
endif()

# Twelve hex digits name a commit well enough to find it again.
string(SUBSTRING "${harvelin_commit}" 0 12 harvelin_commit)
# HARVELIN_VERSION_TEXT words it as --version does (model/build_info.cpp),
# for the package's changelog and the zip's README.
if(harvelin_commit STREQUAL "")
    set(HARVELIN_VERSION_TEXT "${PROJECT_VERSION} (commit unknown)")
elseif(harvelin_changes)
    set(HARVELIN_VERSION_TEXT "${PROJECT_VERSION} (commit ${harvelin_commit}, with uncommitted changes)")
else()
    set(HARVELIN_VERSION_TEXT "${PROJECT_VERSION} (commit ${harvelin_commit})")
endif()
message(STATUS "Harvelin ${HARVELIN_VERSION_TEXT}")
set(HARVELIN_BUILD_COMMIT "${harvelin_commit}")
set(HARVELIN_BUILD_CHANGES ${harvelin_changes})
configure_file(${CMAKE_CURRENT_LIST_DIR}/build_commit.h.in ${CMAKE_BINARY_DIR}/generated/build_commit.h @ONLY)

# Korvu's version, KORVU_VERSION (0.1.219: project()'s version and the number of commits), and its
# day, KORVU_RELEASE_DATE, both from scripts/version, which the package scripts ask too.
# -DKORVU_VERSION=... names the version instead: a Debian build passes its changelog's, since its
# copy of the tree has no history.
if(NOT KORVU_VERSION)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/version OUTPUT_VARIABLE KORVU_VERSION
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/version --date
                OUTPUT_VARIABLE KORVU_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "Korvu ${KORVU_VERSION} of ${KORVU_RELEASE_DATE}")

# Each commit is a new version: the tree configures again when the checkout's HEAD moves.
if(EXISTS ${CMAKE_SOURCE_DIR}/.git)
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} rev-parse --absolute-git-dir
                  OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_failed ERROR_QUIET)
  if(git_failed EQUAL 0 AND EXISTS ${git_dir}/logs/HEAD)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_dir}/logs/HEAD)
  endif()
endif()

# Regenerates the icons into a scratch folder and compares them byte for byte
# with the committed ones.
#
#   cmake -DGENERATOR=<make_icons> -DCOMMITTED_DIR=<res/icons>
#         -DWORK_DIR=<scratch folder> -P check_icons.cmake

foreach(var GENERATOR COMMITTED_DIR WORK_DIR)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "check_icons: ${var} is not set")
  endif()
endforeach()

# Start empty so icons left over from an earlier run cannot hide a missing one.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

execute_process(COMMAND "${GENERATOR}" "${WORK_DIR}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "check_icons: make_icons failed (${rc})")
endif()

file(GLOB generated RELATIVE "${WORK_DIR}" "${WORK_DIR}/*.ico")
file(GLOB committed RELATIVE "${COMMITTED_DIR}" "${COMMITTED_DIR}/*.ico")
if(NOT generated)
  message(FATAL_ERROR "check_icons: make_icons wrote no icons")
endif()

set(problems "")
foreach(name IN LISTS generated)
  if(NOT EXISTS "${COMMITTED_DIR}/${name}")
    list(APPEND problems "${name}: generated but not checked in")
  else()
    file(SHA256 "${WORK_DIR}/${name}" fresh)
    file(SHA256 "${COMMITTED_DIR}/${name}" kept)
    if(NOT fresh STREQUAL kept)
      list(APPEND problems "${name}: checked-in copy differs from make_icons output")
    endif()
  endif()
endforeach()
foreach(name IN LISTS committed)
  if(NOT EXISTS "${WORK_DIR}/${name}")
    list(APPEND problems "${name}: checked in but make_icons no longer writes it")
  endif()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "check_icons: icons are out of date; rerun make_icons res/icons\n  ${text}")
endif()
list(LENGTH generated count)
message(STATUS "check_icons: ${count} icons match")

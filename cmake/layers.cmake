# The rooms of the house as libraries, one per top-level folder, named
# fw_<room>. cmake/layers.txt gives their floors; a room's library may link
# only rooms on floors below its own. fw_check_room_links(), called once at
# the end of the top-level CMakeLists.txt, fails the configuration on an
# upward link however it was made (scripts/check-layers does the same for
# includes).

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/layers.txt _fw_layer_lines)
set(_fw_floor 0)
set(FW_ROOMS "")
foreach(_fw_line IN LISTS _fw_layer_lines)
  string(REGEX REPLACE "#.*" "" _fw_line "${_fw_line}")
  string(STRIP "${_fw_line}" _fw_line)
  if(_fw_line STREQUAL "")
    continue()
  endif()
  math(EXPR _fw_floor "${_fw_floor} + 1")
  separate_arguments(_fw_floor_rooms UNIX_COMMAND "${_fw_line}")
  foreach(_fw_room IN LISTS _fw_floor_rooms)
    set_property(GLOBAL PROPERTY FW_FLOOR_${_fw_room} ${_fw_floor})
    list(APPEND FW_ROOMS ${_fw_room})
  endforeach()
endforeach()

# fw_room(ROOM [INTERFACE] SOURCES...): the library of ROOM, fw_ROOM.
function(fw_room room)
  get_property(floor GLOBAL PROPERTY FW_FLOOR_${room})
  if(NOT floor)
    message(FATAL_ERROR "fw_room(${room}): ${room}/ is not a room of cmake/layers.txt")
  endif()
  if(ARGV1 STREQUAL "INTERFACE")
    add_library(fw_${room} INTERFACE)
  else()
    add_library(fw_${room} STATIC ${ARGN})
    fw_unity_build(fw_${room})
  endif()
endfunction()

# fw_unity_build(TARGET): compiled in units of several files (FW_UNITY).
# A file's names in an anonymous namespace must then differ from those of
# the other files of its target. The window procedures of win/ stay files
# of their own: each names its control table's types alike.
function(fw_unity_build target)
  if(FW_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 12)
  endif()
endfunction()

# fw_win_sources(TARGET SOURCES...): Win32 sources of a room's library.
function(fw_win_sources target)
  target_sources(${target} PRIVATE ${ARGN})
  set_source_files_properties(${ARGN} TARGET_DIRECTORY ${target} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()

# The room of a link item named fw_<room>, or nothing.
function(_fw_room_of item out)
  set(room "")
  if(item MATCHES "^fw_([a-z]+)$" AND CMAKE_MATCH_1 IN_LIST FW_ROOMS)
    set(room ${CMAKE_MATCH_1})
  endif()
  set(${out} ${room} PARENT_SCOPE)
endfunction()

function(fw_check_room_links)
  set(faults "")
  foreach(room IN LISTS FW_ROOMS)
    if(NOT TARGET fw_${room})
      continue()
    endif()
    get_property(floor GLOBAL PROPERTY FW_FLOOR_${room})
    get_target_property(type fw_${room} TYPE)
    set(items "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct fw_${room} LINK_LIBRARIES)
      if(direct)
        list(APPEND items ${direct})
      endif()
    endif()
    get_target_property(usage fw_${room} INTERFACE_LINK_LIBRARIES)
    if(usage)
      list(APPEND items ${usage})
    endif()
    foreach(item IN LISTS items)
      _fw_room_of("${item}" other)
      if(other STREQUAL "" OR other STREQUAL room)
        continue()
      endif()
      get_property(other_floor GLOBAL PROPERTY FW_FLOOR_${other})
      if(other_floor GREATER_EQUAL floor)
        list(APPEND faults "fw_${room} (floor ${floor}) links fw_${other} (floor ${other_floor})")
      endif()
    endforeach()
  endforeach()
  if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Links against the floors of cmake/layers.txt:\n  ${text}")
  endif()
endfunction()

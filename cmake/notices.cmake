# The licence notices of the runtime that MinGW-w64 links statically into the
# Windows programs go with the programs: copied beside each of them.
function(fw_ship_notices)
  set(notices ${PROJECT_SOURCE_DIR}/cmake/THIRD-PARTY-NOTICES.txt)
  find_file(FW_MINGW_COPYRIGHT copyright
    PATHS /usr/share/doc/mingw-w64-common /usr/share/licenses/mingw-w64-crt
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  set(commands)
  foreach(program IN LISTS ARGN)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${notices}
         $<TARGET_FILE_DIR:${program}>/THIRD-PARTY-NOTICES.txt)
    if(FW_MINGW_COPYRIGHT)
      list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${FW_MINGW_COPYRIGHT}
           "$<TARGET_FILE_DIR:${program}>/MinGW-w64 runtime licences.txt")
    endif()
  endforeach()
  # Naming the programs' folders makes this target come after them.
  add_custom_target(fw_notices ALL ${commands} VERBATIM)
  if(NOT FW_MINGW_COPYRIGHT)
    message(WARNING "MinGW-w64 copyright file not found: its notices will not ship with the programs")
  endif()
endfunction()

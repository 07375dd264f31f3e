# The licence notices of the runtime that MinGW-w64 links statically into the
# Windows programs (and of SQLite, in fwxtool's collection station) go with
# the programs: copied beside each of them in the build tree, and installed
# beside them by the installer and in the zip.
function(fw_ship_notices)
  # The name each notice has beside the programs, then its source.
  set(notices "THIRD-PARTY-NOTICES.txt" ${PROJECT_SOURCE_DIR}/cmake/THIRD-PARTY-NOTICES.txt)
  find_file(FW_MINGW_COPYRIGHT copyright
    PATHS /usr/share/doc/mingw-w64-common /usr/share/licenses/mingw-w64-crt
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(FW_MINGW_COPYRIGHT)
    list(APPEND notices "MinGW-w64 runtime licences.txt" ${FW_MINGW_COPYRIGHT})
  else()
    message(WARNING "MinGW-w64 copyright file not found (Debian package mingw-w64-common): "
                    "its notices will not ship with the programs")
  endif()
  # Debian's GCC cross compiler: its copyright file holds the GCC Runtime
  # Library Exception that libgcc and libstdc++ are linked under.
  find_file(FW_GCC_COPYRIGHT copyright
    PATHS /usr/share/doc/gcc-mingw-w64-base /usr/share/licenses/mingw-w64-gcc
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(FW_GCC_COPYRIGHT)
    list(APPEND notices "GCC runtime licences.txt" ${FW_GCC_COPYRIGHT})
  else()
    message(WARNING "GCC copyright file not found (Debian package gcc-mingw-w64-base): "
                    "the GCC runtime's notices will not ship with the programs")
  endif()

  set(commands)
  while(notices)
    list(POP_FRONT notices name source)
    install(FILES ${source} DESTINATION . RENAME ${name})
    foreach(program IN LISTS ARGN)
      list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source}
           "$<TARGET_FILE_DIR:${program}>/${name}")
    endforeach()
  endwhile()
  # Naming the programs' folders makes this target come after them.
  add_custom_target(fw_notices ALL ${commands} VERBATIM)
endfunction()

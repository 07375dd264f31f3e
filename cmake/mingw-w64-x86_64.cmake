# Cross-building the Windows programs with MinGW-w64 on Linux.
#
# The -posix compilers: Debian's default MinGW g++ uses the win32 thread
# model, which has no std::mutex or std::thread (GoogleTest will not build).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FW_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FW_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FW_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FW_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FW_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest and add_custom_command run the .exe files under Wine, in a private
# prefix beside the build (see scripts/wine-run).
get_filename_component(_fw_repo_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_fw_repo_root}/scripts/wine-run")

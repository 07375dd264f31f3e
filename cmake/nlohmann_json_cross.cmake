# The JSON library for the cross build. It is header-only, and MinGW has no
# package of it: Debian's headers are taken through a folder that holds
# them alone (the rest of /usr/include is glibc's, which must never come
# before MinGW's own headers), with a package file of its own so that
# find_package(nlohmann_json) works as it does natively.
find_path(FW_NLOHMANN_JSON_ROOT nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT FW_NLOHMANN_JSON_ROOT)
  message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev")
endif()
set(_fw_json ${PROJECT_BINARY_DIR}/nlohmann_json)
file(MAKE_DIRECTORY ${_fw_json}/include)
file(CREATE_LINK ${FW_NLOHMANN_JSON_ROOT}/nlohmann ${_fw_json}/include/nlohmann SYMBOLIC)
# The version is defined in json.hpp up to 3.10, in a header of its own since.
file(GLOB _fw_json_headers ${FW_NLOHMANN_JSON_ROOT}/nlohmann/json.hpp
     ${FW_NLOHMANN_JSON_ROOT}/nlohmann/detail/abi_macros.hpp)
set(_fw_json_version "")
foreach(_fw_header IN LISTS _fw_json_headers)
  file(STRINGS ${_fw_header} _fw_lines REGEX "#define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) [0-9]+")
  string(APPEND _fw_json_version "${_fw_lines}")
endforeach()
string(REGEX REPLACE ".*MAJOR ([0-9]+).*MINOR ([0-9]+).*PATCH ([0-9]+).*" "\\1.\\2.\\3"
       _fw_json_version "${_fw_json_version}")
file(WRITE ${_fw_json}/nlohmann_jsonConfig.cmake
"if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES \"${_fw_json}/include\")
endif()
")
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${_fw_json}/nlohmann_jsonConfigVersion.cmake
  VERSION ${_fw_json_version} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
set(nlohmann_json_DIR ${_fw_json} CACHE PATH "The JSON library's package, for the cross build" FORCE)

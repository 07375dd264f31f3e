# Run by CPack once it has staged the files of a package (the programs
# already stripped: stripping after signing would break the signature).
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/*.exe")
if(programs)
  execute_process(COMMAND "${CPACK_FW_SIGN_SCRIPT}" ${programs} COMMAND_ERROR_IS_FATAL ANY)
endif()

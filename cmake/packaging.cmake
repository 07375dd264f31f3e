# The Windows packages: an installer (NSIS) and a portable zip, each holding
# the designer, the downloader and the user guide. scripts/package makes
# them with `cpack --preset windows` into build/windows/packages/. fwxtool.exe
# goes beside them, with a Start-menu console that has it on its PATH.

# The user guide as a page a Windows user opens with a double-click: the
# Markdown of docs/ rendered to HTML, beside the pictures it shows.
set(FW_GUIDE_SOURCE ${PROJECT_SOURCE_DIR}/docs/user-guide.md)
file(GLOB FW_GUIDE_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/images/*.png)
find_program(FW_CMARK_GFM cmark-gfm)
if(FW_CMARK_GFM)
  set(FW_GUIDE_HTML ${PROJECT_BINARY_DIR}/docs/user-guide.html)
  add_custom_command(OUTPUT ${FW_GUIDE_HTML}
    COMMAND ${CMAKE_COMMAND} -DCMARK=${FW_CMARK_GFM} -DIN=${FW_GUIDE_SOURCE} -DOUT=${FW_GUIDE_HTML}
            -DTITLE=Formwright\ User\ Guide -P ${PROJECT_SOURCE_DIR}/cmake/render_guide.cmake
    DEPENDS ${FW_GUIDE_SOURCE} ${PROJECT_SOURCE_DIR}/cmake/render_guide.cmake
    COMMENT "Rendering the user guide"
    VERBATIM)
  add_custom_target(user_guide ALL DEPENDS ${FW_GUIDE_HTML})
  install(FILES ${FW_GUIDE_HTML} DESTINATION .)
else()
  message(WARNING "cmark-gfm not found (Debian package cmark-gfm): "
                  "the packages carry the user guide as Markdown")
  add_custom_target(user_guide)
  install(FILES ${FW_GUIDE_SOURCE} DESTINATION .)
endif()
install(FILES ${FW_GUIDE_IMAGES} DESTINATION images)
install(TARGETS fwk400 fwx_load fwxtool RUNTIME DESTINATION .)

# Installing (and so packaging) needs only what it installs, not every test
# program of the build: scripts/package builds those targets itself.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME Formwright)
set(CPACK_PACKAGE_VENDOR Formwright)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Designer, simulator and downloader for the applications of K400-series barcode terminals")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Formwright)
set(CPACK_PACKAGE_FILE_NAME Formwright-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_NSIS_COMPRESSOR lzma)
# The programs without their symbol tables: a third of the size.
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/icons/fwk400.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/icons/fwk400.ico)
# Signing with a code-signing certificate when the environment names one
# (scripts/lib/sign-windows-file says how): the programs once they are staged
# and stripped, before they go into the installer and the zip; the
# uninstaller before it is packed into the installer, and the installer
# itself (both in the installer script).
set(CPACK_FW_SIGN_SCRIPT ${PROJECT_SOURCE_DIR}/scripts/lib/sign-windows-file)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/packaging/sign_programs.cmake)
# Our own installer script (cmake/packaging/NSIS.template.in): per user,
# without administrator rights, with the .FWX file type and the Start menu.
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/packaging)
# The installer, for its test (include(CPack) leaves CPACK_PACKAGE_FILE_NAME
# set to the source package's name).
set(FW_INSTALLER ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.exe)
include(CPack)

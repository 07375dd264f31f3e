# shellcheck shell=bash
# Making the Windows packages, for scripts/package and scripts/test.
# Sourced after setup.sh; defines functions only.

FW_PACKAGE_DIR=build/windows/packages

# Builds what the packages hold (the two programs and the user guide) in the
# configured windows preset and runs CPack: the NSIS installer and the zip.
fw_package() {
    (
        cd "$FW_ROOT" || exit 1
        cmake --build --preset windows --target fwk400 fwx_load fwxtool user_guide || exit 1
        rm -rf "$FW_PACKAGE_DIR/_CPack_Packages"
        cpack --preset windows || exit 1
        echo
        echo "Packages:"
        ls -l "$FW_PACKAGE_DIR"/Formwright-*-win64.exe "$FW_PACKAGE_DIR"/Formwright-*-win64.zip
    )
}

# The Debian package (cpack -G DEB in a build folder; ./package does it for
# the Release build): what `cmake --install` puts in /usr, plus the
# copyright file and the changelog Debian asks for in share/doc/vorlane.

# Compressed when the build is configured (again whenever the changelog
# changes), so that an install after building any targets finds it; -n leaves
# out the name and time, so the same changelog packs the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/changelog)
execute_process(COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/data/changelog
  OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright ${PROJECT_BINARY_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorlane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlane)
set(CPACK_PACKAGE_VENDOR "The Vorlane developers")
set(CPACK_PACKAGE_CONTACT "The Vorlane developers <vorlane@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch file renamer with a name editor and masks")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed programs lose their symbols; directories are rwxr-xr-x whatever
# the umask of the build.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries come from shlibdeps; the platform plugin is loaded at run time,
# so no library names it, and without it the window cannot open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The long description, under the summary.
set(CPACK_PACKAGE_DESCRIPTION "Vorlane renames many files at once. The left pane lists the files,
gathered from folders, subfolders and drops; the right pane is a plain-text
editor whose line i is the new name of file i.
.
Names are typed by hand or made from masks with counters, sizes, folders,
MP3 tags and playing times, then converted in letter case. Renames that would
fail are marked before they run, chains and swaps of names can be resolved,
and every rename is logged so that it can be taken back.
.
The package also holds vorlane-cli, the same renaming core for scripts, with
its bash completion.")

include(CPack)

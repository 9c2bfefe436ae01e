# Release facts and the Debian package. `cpack -G DEB` in the build folder packs
# what `cmake --install` puts under /usr; it reuses the binaries already built.
# Included before the subdirectories: their install rules and the metadata they
# write use what is set here.

# Shown by the AppStream metadata, the man page and the package changelog;
# change it together with the version in project().
set(TARNELL_RELEASE_DATE 2026-12-06)

set(TARNELL_PACKAGE_MAINTAINER "Tarnell developers <tarnell@example.org>"
    CACHE STRING "Maintainer of the Debian package, as: Name <address>")
set(TARNELL_DEB_REVISION 1)

# Folders made by the install are 0755 whatever the umask of whoever packs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnell)
set(CPACK_PACKAGE_VENDOR "Tarnell developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for TI-83 Plus Z80 assembly source")
# Wrapped by hand: dpkg shows the lines as they are.
set(CPACK_PACKAGE_DESCRIPTION [[
Tarnell is a small desktop editor for Z80 assembly programs for the
TI-83 Plus graphing calculator. It edits one source file at a time and
saves it byte for byte as plain 8-bit text.

It replaces the text with a ready-made program header for the ION,
MirageOS or TSE shells or for a plain TI-83 Plus program, and starts
build scripts or any command line in a terminal window of its own.
Sample header templates and build scripts are included; the scripts
assemble with spasm from spasm-ng, which is built from its own source.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TARNELL_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TARNELL_PACKAGE_MAINTAINER})
# Depends comes from the libraries the binary links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The builds run in a terminal window; without one, none starts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xterm | x-terminal-emulator")

# Gzipped the Debian way, without a name or time stamp in the header, so a
# rebuild gives the same bytes.
function(tarnell_gzip input output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${input} ${output}
    DEPENDS ${input}
    VERBATIM)
endfunction()

# Debian's changelog and lintian overrides, for the package only: a plain
# install has no use for them.
find_program(TARNELL_DATE date)
execute_process(COMMAND ${TARNELL_DATE} -R -u -d "${TARNELL_RELEASE_DATE} 12:00:00"
                OUTPUT_VARIABLE TARNELL_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE date_result)
if(NOT date_result EQUAL 0)
  message(FATAL_ERROR "date could not format ${TARNELL_RELEASE_DATE}")
endif()
set(TARNELL_DEB_VERSION ${PROJECT_VERSION}-${TARNELL_DEB_REVISION})
set(changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${changelog} @ONLY)
tarnell_gzip(${changelog} ${changelog}.gz)
add_custom_target(deb_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarnell
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tarnell
        COMPONENT deb EXCLUDE_FROM_ALL)
# Pack everything a plain install puts in, plus the package's own files.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/"
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};deb;/")

include(CPack)

# Installing (cmake --install, honouring CMAKE_INSTALL_PREFIX and DESTDIR), the desktop's
# view of the editor (menu entry, icons, file types, software-centre entry), the manual pages,
# the shell completion and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

set(PELMORA_APP_ID org.pelmora.Pelmora)
# The manual pages and the completion run the programs at build time; a sanitizer or fuzzing
# build (which nobody installs) would have its checkers judge those runs, so it skips them.
if(PELMORA_SANITIZE OR PELMORA_BUILD_FUZZ OR CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  set(PELMORA_RUN_AT_BUILD OFF)
else()
  set(PELMORA_RUN_AT_BUILD ON)
endif()
set(PELMORA_ICON_SIZES 16 22 24 32 48 64 128 256)

install(TARGETS pelmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(PELMORA_BUILD_UI)
  install(TARGETS pelmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES resources/pelmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
    RENAME ${PELMORA_APP_ID}.desktop)
  install(FILES resources/${PELMORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES resources/pelmora-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME pelmora.xml)

  # Every icon size is drawn from one master by a program in the repository.
  add_executable(pelmora_make_icons resources/make_icons.cpp)
  target_link_libraries(pelmora_make_icons PRIVATE PkgConfig::GM)
  set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons/hicolor)
  set(icon_files)
  foreach(size ${PELMORA_ICON_SIZES})
    list(APPEND icon_files ${icon_dir}/${size}x${size}/apps/pelmora.png)
  endforeach()
  add_custom_command(OUTPUT ${icon_files}
    COMMAND pelmora_make_icons ${icon_dir} ${PELMORA_ICON_SIZES}
    DEPENDS pelmora_make_icons VERBATIM)
  add_custom_target(pelmora_icons ALL DEPENDS ${icon_files})
  install(DIRECTORY ${icon_dir} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# Manual pages from the programs' own --help, so that they cannot drift from it.
find_program(HELP2MAN_EXECUTABLE help2man)
if(NOT PELMORA_RUN_AT_BUILD)
  # nothing: see PELMORA_RUN_AT_BUILD
elseif(HELP2MAN_EXECUTABLE)
  set(man_dir ${CMAKE_CURRENT_BINARY_DIR}/man)
  file(MAKE_DIRECTORY ${man_dir})
  set(man_pages)
  set(man_programs pelmora-cli)
  set(pelmora-cli_summary "the Pelmora texture editor's operations for scripts")
  if(PELMORA_BUILD_UI)
    list(APPEND man_programs pelmora)
    set(pelmora_summary "editor for the texture pages and records of level WAD files")
  endif()
  # pelmora-cli's page also holds every command's own help.
  add_custom_command(OUTPUT ${man_dir}/pelmora-cli.commands
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/make-man-commands.sh $<TARGET_FILE:pelmora-cli>
      ${man_dir}/pelmora-cli.commands
    DEPENDS pelmora-cli ${CMAKE_CURRENT_SOURCE_DIR}/scripts/make-man-commands.sh VERBATIM)
  set(pelmora-cli_include --include=${man_dir}/pelmora-cli.commands)
  set(pelmora-cli_include_file ${man_dir}/pelmora-cli.commands)
  foreach(program ${man_programs})
    # Compressed without a time stamp, as Debian keeps its manual pages.
    add_custom_command(OUTPUT ${man_dir}/${program}.1.gz
      COMMAND ${HELP2MAN_EXECUTABLE} --no-info --no-discard-stderr ${${program}_include}
        --name=${${program}_summary} --output=${man_dir}/${program}.1 $<TARGET_FILE:${program}>
      COMMAND gzip -n -9 -f ${man_dir}/${program}.1
      DEPENDS ${program} ${${program}_include_file} VERBATIM)
    list(APPEND man_pages ${man_dir}/${program}.1.gz)
  endforeach()
  add_custom_target(pelmora_man ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: the manual pages are not made "
    "(scripts/install-deps.sh run installs it)")
endif()

# The completion is read from pelmora-cli's help, so every command and option is in it.
if(PELMORA_RUN_AT_BUILD)
  set(completion_file ${CMAKE_CURRENT_BINARY_DIR}/completion/pelmora-cli)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/completion)
  add_custom_command(OUTPUT ${completion_file}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/make-completion.sh $<TARGET_FILE:pelmora-cli>
      ${completion_file}
    DEPENDS pelmora-cli ${CMAKE_CURRENT_SOURCE_DIR}/scripts/make-completion.sh VERBATIM)
  add_custom_target(pelmora_completion ALL DEPENDS ${completion_file})
  install(FILES ${completion_file} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()

# The Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pelmora")
set(CPACK_PACKAGE_CONTACT "Pelmora developers <developers@pelmora.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://pelmora.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the texture pages and records of level WAD files")
set(CPACK_PACKAGE_DESCRIPTION
  "Pelmora edits the texture section of level WAD files (versions 129 and 130) and its own
texture-only .plm files: it packs image files onto 256 x 256 texture pages, edits, sorts and
checks the texture records, imports and exports pages and pieces in six image formats and
exports HTML galleries, carrying the rest of a WAD through byte for byte.
pelmora-cli runs the same operations from scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries link, with versions, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The file types and the menu entry take effect through these packages' triggers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
include(CPack)

if(PELMORA_BUILD_TESTS AND PELMORA_RUN_AT_BUILD)
  add_test(NAME package_install
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/package/install_test.sh ${CMAKE_CURRENT_BINARY_DIR}
      $<TARGET_FILE:pelmora-cli> ${PELMORA_BUILD_UI})
  set_tests_properties(package_install PROPERTIES LABELS package)
  if(PELMORA_BUILD_UI)
    add_test(NAME app_command_line
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/package/app_command_line_test.sh
        $<TARGET_FILE:pelmora> ${PROJECT_VERSION})
    set_tests_properties(app_command_line PROPERTIES LABELS package)
  endif()
endif()

# The program as a desktop application: the handbook (pages and the pictures
# made from the real screens), install rules for a system or a prefix, the
# Debian package, and the tests of the installed file set.

# The help window finds the handbook beside the installed program, and in the
# build tree before it is installed.
set(SARVEK_HANDBOOK_BUILD ${CMAKE_BINARY_DIR}/handbook)
set_source_files_properties(${CMAKE_SOURCE_DIR}/app/helpwindow.cpp PROPERTIES
  COMPILE_DEFINITIONS SARVEK_BUILD_HANDBOOK="${SARVEK_HANDBOOK_BUILD}")

file(GLOB SARVEK_HANDBOOK_PAGES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/doc/handbook/*.html ${CMAKE_SOURCE_DIR}/doc/handbook/*.css)
set(SARVEK_HANDBOOK_COPIES)
foreach(page ${SARVEK_HANDBOOK_PAGES})
  get_filename_component(name ${page} NAME)
  add_custom_command(OUTPUT ${SARVEK_HANDBOOK_BUILD}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page} ${SARVEK_HANDBOOK_BUILD}/${name}
    DEPENDS ${page})
  list(APPEND SARVEK_HANDBOOK_COPIES ${SARVEK_HANDBOOK_BUILD}/${name})
endforeach()

add_executable(handbookshots doc/handbookshots.cpp tests/core/testutil.cpp)
target_include_directories(handbookshots PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(handbookshots PRIVATE sarvek_ui sarvek_testsupport)

set(SARVEK_SHOTS anamenu hakkinda giris iceaktar bordlist tumliste dokum muhasip beyanname
  gonderilenler kayityeri mesaj)
list(TRANSFORM SARVEK_SHOTS PREPEND ${SARVEK_HANDBOOK_BUILD}/img/ OUTPUT_VARIABLE SARVEK_SHOT_FILES)
list(TRANSFORM SARVEK_SHOT_FILES APPEND .png)
add_custom_command(OUTPUT ${SARVEK_SHOT_FILES}
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/handbook-shots $<TARGET_FILE:handbookshots>
          ${SARVEK_HANDBOOK_BUILD}/img
  DEPENDS handbookshots ${CMAKE_SOURCE_DIR}/scripts/handbook-shots
  COMMENT "Handbook screenshots")
add_custom_target(handbook ALL DEPENDS ${SARVEK_HANDBOOK_COPIES} ${SARVEK_SHOT_FILES})

include(GNUInstallDirs)
install(TARGETS sarvek RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${SARVEK_HANDBOOK_BUILD}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/sarvek/handbook)
install(FILES dist/sarvek.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/sarvek.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sarvek)
set(CPACK_PACKAGE_VENDOR "Sarvek Sandığı Dairesi")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sarvek Sandığı aylık yatırım bordrosu")
set(CPACK_PACKAGE_DESCRIPTION
  "Aylık prim ve depozit bordrolarını hazırlar, saklar, yazdırır ve Sandığa gönderilecek bildirim dosyasını hazırlar.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Sarvek Sandığı Dairesi <destek@sarvek.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan cannot see them: Qt's own Turkish
# texts, the printout's font, and the image plugin that reads the window's
# SVG icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation, libqt6svg6")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)

add_test(NAME install_prefix
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
          -DPREFIX=${CMAKE_BINARY_DIR}/testtmp/prefix -P ${CMAKE_SOURCE_DIR}/cmake/checkinstall.cmake)
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  add_test(NAME desktop_file_validate
    COMMAND ${DESKTOP_FILE_VALIDATE} ${CMAKE_SOURCE_DIR}/dist/sarvek.desktop)
endif()

# The help test reads the handbook as the build tree holds it.
if(TARGET desktop_test)
  add_dependencies(desktop_test handbook)
endif()

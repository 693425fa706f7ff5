# Installing Quenzel as a desktop application: the program (and its login helper), a desktop
# entry, AppStream data, the icon in the hicolor theme, a man page and the bundled site pages;
# `cpack -G DEB` (make package) turns the same rules into a Debian package.
include(GNUInstallDirs)

# The application id is the bundle identifier, named once in Info.plist.in.
file(READ ${PROJECT_SOURCE_DIR}/resources/Info.plist.in quenzel_info)
string(REGEX MATCH "<key>CFBundleIdentifier</key>[ \t\r\n]*<string>([^<]+)</string>" _ "${quenzel_info}")
set(QUENZEL_APP_ID ${CMAKE_MATCH_1})
if(NOT QUENZEL_APP_ID)
  message(FATAL_ERROR "resources/Info.plist.in names no CFBundleIdentifier")
endif()
# Qt names the window's X11 class after the application name that main() sets.
set(QUENZEL_WM_CLASS quenzel)
set(QUENZEL_RELEASE_DATE 2026-12-07)
# The AppStream home page and screenshot only with a real web site; without one they are left out
# rather than filled with a made-up address.
set(QUENZEL_METAINFO_WEB "")
if(QUENZEL_WEBSITE MATCHES "^https?://")
  set(QUENZEL_METAINFO_WEB "<url type=\"homepage\">${QUENZEL_WEBSITE}</url>
  <screenshots>
    <screenshot type=\"default\">
      <caption>One panel per browser, with the size of the selected items</caption>
      <image>${QUENZEL_WEBSITE}/images/screenshot.png</image>
    </screenshot>
  </screenshots>")
endif()

set(data ${PROJECT_BINARY_DIR}/data)
configure_file(${PROJECT_SOURCE_DIR}/packaging/quenzel.desktop.in
               ${data}/${QUENZEL_APP_ID}.desktop @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/quenzel.metainfo.xml.in
               ${data}/${QUENZEL_APP_ID}.metainfo.xml @ONLY)

# Pictures are drawn from our SVGs at build time by a tool built without the sanitizers: what
# they would say of Qt's own rendering threads is no finding of ours, and must not stop a build.
add_executable(quenzel-render-image ${PROJECT_SOURCE_DIR}/packaging/RenderImage.cpp)
target_link_libraries(quenzel-render-image PRIVATE Qt6::Gui Qt6::Svg)
if(QUENZEL_SANITIZE OR QUENZEL_SANITIZE_THREAD)
  target_compile_options(quenzel-render-image PRIVATE -fno-sanitize=all)
  target_link_options(quenzel-render-image PRIVATE -fno-sanitize=all)
endif()
set(run_tool ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0)
set(generated)
function(quenzel_render drawing picture width height)
  add_custom_command(OUTPUT ${picture}
                     COMMAND ${run_tool} $<TARGET_FILE:quenzel-render-image> ${drawing} ${picture} ${width} ${height}
                     DEPENDS quenzel-render-image ${drawing} VERBATIM)
  set(generated ${generated} ${picture} PARENT_SCOPE)
endfunction()

set(icon ${PROJECT_SOURCE_DIR}/resources/images/Quenzel.svg)
set(icon_sizes 48 64 128 256)
foreach(size IN LISTS icon_sizes)
  quenzel_render(${icon} ${data}/icons/${size}/${QUENZEL_APP_ID}.png ${size} ${size})
endforeach()

# The site as installed: the pages (English at the top, Italian in it/) and style as written,
# the share pictures drawn, and the window's screenshot for software centres.
set(site ${PROJECT_BINARY_DIR}/site)
file(GLOB site_pages CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/site ${PROJECT_SOURCE_DIR}/site/*.html
     ${PROJECT_SOURCE_DIR}/site/*.css ${PROJECT_SOURCE_DIR}/site/it/*.html)
foreach(name IN LISTS site_pages)
  set(page ${PROJECT_SOURCE_DIR}/site/${name})
  add_custom_command(OUTPUT ${site}/${name} COMMAND ${CMAKE_COMMAND} -E copy ${page} ${site}/${name}
                     DEPENDS ${page} VERBATIM)
  list(APPEND generated ${site}/${name})
endforeach()
add_custom_command(OUTPUT ${site}/images/screenshot.png
                   COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/screenshot.png ${site}/images/screenshot.png
                   DEPENDS ${PROJECT_SOURCE_DIR}/docs/screenshot.png VERBATIM)
list(APPEND generated ${site}/images/screenshot.png)
quenzel_render(${PROJECT_SOURCE_DIR}/site/art/share.svg ${site}/images/xxx.png 1200 630)
quenzel_render(${PROJECT_SOURCE_DIR}/site/art/cover.svg ${site}/images/cover_inapp.jpg 1200 600)
quenzel_render(${icon} ${site}/images/quenzel.png 128 128)

# The man page is made from --help and --version, so it never drifts from the program.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  add_custom_command(OUTPUT ${data}/quenzel.1
                     COMMAND ${run_tool} ${HELP2MAN} --no-info
                             --name "see and clean the private data web browsers keep"
                             --output ${data}/quenzel.1 $<TARGET_FILE:quenzel>
                     DEPENDS quenzel VERBATIM)
  list(APPEND generated ${data}/quenzel.1)
else()
  message(WARNING "help2man not found: no man page (make deps installs it)")
endif()
add_custom_target(quenzel_install_data ALL DEPENDS ${generated})

install(TARGETS quenzel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The network module, loaded on the first fetch from <bindir>/../<libdir>/quenzel.
install(TARGETS quenzel_network LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/quenzel)
if(TARGET quenzel-helper)
  install(TARGETS quenzel-helper RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quenzel)
endif()
install(FILES ${data}/${QUENZEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${QUENZEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QUENZEL_APP_ID}.svg)
foreach(size IN LISTS icon_sizes)
  install(FILES ${data}/icons/${size}/${QUENZEL_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
if(HELP2MAN)
  install(FILES ${data}/quenzel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(DIRECTORY ${site}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quenzel/site)

# make package: a .deb whose dependencies dpkg-shlibdeps reads from the binaries (libplist, Qt,
# ...).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenzel)
set(CPACK_PACKAGE_VENDOR Dizerov)
# No mail address exists for the package yet: the maintainers are named without one.
set(CPACK_PACKAGE_CONTACT "Quenzel maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "see and clean the private data web browsers keep")
set(CPACK_PACKAGE_DESCRIPTION
    "Quenzel shows how much room the history, caches, cookies and sessions of Safari, Firefox,\n\
Google Chrome and Opera take, removes the items you pick while the browser is closed, keeps a\n\
history of its cleanings and watches the data from the tray.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads the SVG artwork through plugins, and the program loads SQLite with the first database:
# no binary of ours links to either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, libsqlite3-0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS hicolor-icon-theme)
include(CPack)

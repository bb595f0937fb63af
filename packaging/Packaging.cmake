# The Debian packages, made by CPack's DEB generator from this build (tools/package.sh):
#   bodo-zamel         the game: /usr/games/bodo-zamel (a wrapper that starts the program in its
#                      data folder), the pictures, tunes and sound, the desktop entry, the icons,
#                      the AppStream metainfo and the manual page
#   libzamelmedia-dev  the layer for programmers: the install rules of cmake/ZamelMediaPackage.cmake
#                      (component dev) and the docs and examples
#   zamelmedia-tools   picture-to-ppm, play-sound, input-probe, bodo-zamel-replay, each with a
#                      manual page made from its --help
# Every version below is the project's; the release date is the one its CHANGELOG.md heading gives.
include(GNUInstallDirs)

if(NOT MEDIA_BUILD_SDL)
  message(FATAL_ERROR "MEDIA_PACKAGE needs MEDIA_BUILD_SDL: the game and two of the tools are SDL programs")
endif()

# The release date: "## <version> (YYYY-MM-DD)" in CHANGELOG.md. A version without its heading
# stops the configure, so no package goes out whose changes nobody wrote down.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md release_heading
     REGEX "^## ${PROJECT_VERSION} \\([0-9]+-[0-9]+-[0-9]+\\)$")
if(NOT release_heading)
  message(FATAL_ERROR "CHANGELOG.md has no heading '## ${PROJECT_VERSION} (YYYY-MM-DD)' for this version")
endif()
string(REGEX REPLACE ".*\\((.*)\\)" "\\1" MEDIA_RELEASE_DATE "${release_heading}")
# The Debian changelog's form of the date (noon UTC, so the day is the same everywhere).
execute_process(COMMAND date -u -R -d "${MEDIA_RELEASE_DATE} 12:00" OUTPUT_VARIABLE MEDIA_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(MEDIA_PACKAGE_MAINTAINER "bodo & zamel maintainers <maintainers@users.noreply.c-seed-2050a2b6.example>"
    CACHE STRING "The Maintainer field of the Debian packages")
set(MEDIA_APPSTREAM_ID io.github.bodo_zamel.BodoZamel CACHE STRING "The game's AppStream component id")

set(MEDIA_GAME_PROGRAMDIR lib/games/bodo-zamel)
set(MEDIA_GAME_DATADIR ${CMAKE_INSTALL_DATADIR}/games/bodo-zamel)
set(MEDIA_GAME_FULL_DATADIR ${CMAKE_INSTALL_PREFIX}/${MEDIA_GAME_DATADIR})
set(packaging_out ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_out}/man)

# --- bodo-zamel: the game ---
install(TARGETS bodo-zamel RUNTIME DESTINATION ${MEDIA_GAME_PROGRAMDIR} COMPONENT game)
configure_file(${CMAKE_CURRENT_LIST_DIR}/bodo-zamel.in ${packaging_out}/bodo-zamel @ONLY)
install(PROGRAMS ${packaging_out}/bodo-zamel DESTINATION games COMPONENT game)
file(GLOB game_assets ${PROJECT_SOURCE_DIR}/assets/*.bmp ${PROJECT_SOURCE_DIR}/assets/*.mid
     ${PROJECT_SOURCE_DIR}/assets/*.wav)
install(FILES ${game_assets} DESTINATION ${MEDIA_GAME_DATADIR} COMPONENT game)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/bodo-zamel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT game)
configure_file(${CMAKE_CURRENT_LIST_DIR}/bodo-zamel.metainfo.xml.in
               ${packaging_out}/${MEDIA_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${packaging_out}/${MEDIA_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        COMPONENT game)
configure_file(${CMAKE_CURRENT_LIST_DIR}/bodo-zamel.6.in ${packaging_out}/man/bodo-zamel.6 @ONLY)

# --- zamelmedia-tools ---
set(packaged_tools picture-to-ppm play-sound input-probe bodo-zamel-replay)
install(TARGETS ${packaged_tools} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)

# Manual pages: the game's written by hand, the tools' made by help2man from their --help and
# --version; all compressed as Debian keeps them (gzip -n: no name or time in the header, so the
# same build gives the same bytes).
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
set(tool_summary_picture-to-ppm "convert a picture the zamelmedia layer reads into a PPM file")
set(tool_summary_play-sound "play a WAV or MIDI file through the zamelmedia layer")
set(tool_summary_input-probe "show the key statuses the zamelmedia layer reads each frame")
set(tool_summary_bodo-zamel-replay "run the bodo & zamel game from a key script, without a window")
set(manual_pages ${packaging_out}/man/bodo-zamel.6.gz)
add_custom_command(OUTPUT ${packaging_out}/man/bodo-zamel.6.gz
  COMMAND ${GZIP} -9nc ${packaging_out}/man/bodo-zamel.6 > ${packaging_out}/man/bodo-zamel.6.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/bodo-zamel.6.in VERBATIM)
foreach(tool IN LISTS packaged_tools)
  set(page ${packaging_out}/man/${tool}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env MEDIA_BACKEND=headless SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
            ${HELP2MAN} --no-info --section=1 --source=zamelmedia "--name=${tool_summary_${tool}}"
            --output=${page} $<TARGET_FILE:${tool}>
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${tool} VERBATIM)
  list(APPEND manual_pages ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tools)
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${manual_pages})
install(FILES ${packaging_out}/man/bodo-zamel.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)

# --- libzamelmedia-dev: the docs and the examples beside the installed library ---
set(dev_docdir ${CMAKE_INSTALL_DATADIR}/doc/libzamelmedia-dev)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
        ${PROJECT_SOURCE_DIR}/docs/getting_started.md ${PROJECT_SOURCE_DIR}/docs/testing.md
        ${PROJECT_SOURCE_DIR}/docs/switching.md ${PROJECT_SOURCE_DIR}/docs/cheatsheet.md
        ${PROJECT_SOURCE_DIR}/docs/architecture.md ${PROJECT_SOURCE_DIR}/docs/input.md
        ${PROJECT_SOURCE_DIR}/docs/sprites.md ${PROJECT_SOURCE_DIR}/docs/blits.md
        DESTINATION ${dev_docdir} COMPONENT dev)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/getting_started ${PROJECT_SOURCE_DIR}/docs/images
        DESTINATION ${dev_docdir} COMPONENT dev)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${dev_docdir}/examples COMPONENT dev)

# --- every package: its copyright and its Debian changelog ---
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${packaging_out}/changelog @ONLY)
add_custom_command(OUTPUT ${packaging_out}/changelog.gz
  COMMAND ${GZIP} -9nc ${packaging_out}/changelog > ${packaging_out}/changelog.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog.in VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${packaging_out}/changelog.gz)
foreach(component_package game:bodo-zamel dev:libzamelmedia-dev tools:zamelmedia-tools)
  string(REPLACE ":" ";" pair ${component_package})
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${packaging_out}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

# The menu's icons in the hicolor theme, 16 to 256 pixels, made by make-icon from the game's hero.
set(icons "")
foreach(size 16 22 24 32 48 64 128 256)
  set(icon ${packaging_out}/icons/${size}x${size}/bodo-zamel.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}/icons/${size}x${size}
    COMMAND make-icon ${size} ${icon}
    DEPENDS make-icon ${PROJECT_SOURCE_DIR}/assets/bodo.bmp VERBATIM)
  list(APPEND icons ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT game)
endforeach()
add_custom_target(menu_icons ALL DEPENDS ${icons})

# --- CPack ---
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bodo-zamel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${MEDIA_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/debs)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL game dev tools)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SOURCE bodo-zamel)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME bodo-zamel)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
# The libraries the program links come from dpkg-shlibdeps; the SoundFont is the game's default
# path for its music.
set(CPACK_DEBIAN_GAME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS timgm6mb-soundfont)
set(CPACK_DEBIAN_GAME_DESCRIPTION "catch the falling pots of zamel and keep away from the bee
A small arcade game in a 640x480 window. Walk the bear Bodo left and right
with the arrow keys and catch the red and blue pots of zamel that fall from
the sky; the bee costs one of six lives. Each of the five levels needs more
points and brings a faster bee. Every picture, tune and sound of the game is
made from code; the music is MIDI, played with the TimGM6mb SoundFont.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libzamelmedia-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# Static libraries leave their dependencies' libraries to the program that links them: the
# -dev packages of each, and pkg-config, through which the CMake package finds some of them.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "libsdl2-dev, libfluidsynth-dev, libjpeg-dev, libspng-dev, libdeflate-dev, libx11-dev, pkgconf | pkg-config")
set(CPACK_DEBIAN_DEV_DESCRIPTION "2D multimedia layer for games in C++20 (static libraries and headers)
zamelmedia is the layer the bodo & zamel game is built on: a window with a
frame loop and events, surfaces in 8 to 32-bit pixel formats, blits, sprites,
shapes and text, pictures (BMP, TGA, PSD, PCX, JPEG, PNG), keyboard, mouse
and gamepads, sound effects, MIDI and Ogg Vorbis music. It runs on SDL2, or
in memory for tests.
.
This package holds the static libraries, the headers under
/usr/include/zamelmedia, the CMake package (find_package(ZamelMedia)), the
pkg-config files, the guides and the examples.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME zamelmedia-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_TOOLS_PACKAGE_RECOMMENDS timgm6mb-soundfont)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "picture, sound and input tools of the zamelmedia layer
Four small programs on the layer the bodo & zamel game is built on:
picture-to-ppm converts any picture the layer reads into a PPM file,
play-sound plays a WAV or MIDI file, input-probe shows the key statuses the
layer reads each frame, and bodo-zamel-replay runs the game from a key script
without a window, writing its trace and screenshots.")

include(CPack)

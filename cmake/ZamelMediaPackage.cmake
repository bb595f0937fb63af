# Installing the layer as a library for other programs: the public headers, the layer and the
# platform library (with every backend built in, chosen when the program starts), a CMake package
# (find_package(ZamelMedia)) and pkg-config files. Two plain libraries, no link flags:
#   ZamelMedia::ZamelMedia  the layer; it runs on SDL2 (a real window, sound, input) when SDL2 was
#                           built in, and on whatever MEDIA_BACKEND names
#   ZamelMedia::Headless    the same libraries, under the name programs on the in-memory backend
#                           (tests, tools without a display) have always used; such a program
#                           picks that backend by reaching for platform::headless::Controls()
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ZAMELMEDIA_INCLUDE_SUBDIR zamelmedia)
set(ZAMELMEDIA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZamelMedia)

# Installed file names say whose they are: "media" and "platform" alone would collide in /usr/local.
set_target_properties(media PROPERTIES OUTPUT_NAME zamelmedia EXPORT_NAME media)
set_target_properties(platform PROPERTIES OUTPUT_NAME zamelmedia_platform EXPORT_NAME platform)
target_compile_features(media PUBLIC cxx_std_20)
set(zamelmedia_libraries media platform)

# The one-name targets.
add_library(zamelmedia_layer INTERFACE)
target_link_libraries(zamelmedia_layer INTERFACE media platform)
set_target_properties(zamelmedia_layer PROPERTIES EXPORT_NAME ZamelMedia)
add_library(zamelmedia_headless_layer INTERFACE)
target_link_libraries(zamelmedia_headless_layer INTERFACE media platform)
set_target_properties(zamelmedia_headless_layer PROPERTIES EXPORT_NAME Headless)
list(APPEND zamelmedia_libraries zamelmedia_layer zamelmedia_headless_layer)
add_library(ZamelMedia::ZamelMedia ALIAS zamelmedia_layer)  # the installed names in the tree too
add_library(ZamelMedia::Headless ALIAS zamelmedia_headless_layer)

install(TARGETS ${zamelmedia_libraries} EXPORT ZamelMediaTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(EXPORT ZamelMediaTargets NAMESPACE ZamelMedia:: DESTINATION ${ZAMELMEDIA_CMAKE_DIR} COMPONENT dev)

# Public headers: the front door and its testing controls (testing/testing.h), the layer's
# classes (screen, surfaces, pictures, sprites, frame sheets, blits, input, sound effects, music),
# the platform headers their signatures name, and the headless backend's controls for programs and
# tests on the in-memory backend. Nothing else: not the decoders, the blit loops or the WAV reader
# inside the layer, not the platform's pixel loads and stores, DIB conversion, font or process
# services, not the SDL backend. Each listed header includes only listed ones (the consumer test
# compiles every installed header alone).
set(zamelmedia_public_headers
  media/app/audio.h media/app/canvas.h media/app/color.h media/app/draw_options.h media/app/event.h media/app/font.h
  media/app/gamepad.h media/app/key.h media/app/loop.h media/app/picture.h media/app/play_options.h media/app/sound.h media/app/status.h media/app/tune.h media/app/window.h
  media/app/zamelmedia.h testing/testing.h
  media/audio/music_player.h media/audio/sound_device.h media/audio/sound_effect.h
  media/blit/blit_kind.h media/blit/clipping.h media/blit/edge_table.h
  media/core/file_reader.h media/core/surface_placement.h
  media/display/bitmap_surface.h media/display/pixel_format.h media/display/pixel_surface.h media/display/screen.h
  media/image/file_reader.h media/image/image.h media/image/image_decoder.h
  media/input/input.h media/input/key_tables.h
  media/sprite/frame_sheet.h media/sprite/opacity_mask.h media/sprite/sprite_object.h
  platform/audio/audio_host.h platform/audio/audio_mixer.h platform/audio/sound_buffer.h platform/audio/sound_system.h
  platform/bitmaps/bitmap_info.h platform/bitmaps/gdi_bitmap.h
  platform/core/backend.h platform/core/clock.h platform/core/fault_hook.h platform/core/geometry.h platform/core/guid.h
  platform/core/result_codes.h
  platform/input/input_host.h
  platform/music/midi_synth.h platform/music/music_loader.h platform/music/music_performance.h platform/music/music_segment.h
  platform/pixels/color_convert.h platform/pixels/key_runs.h platform/pixels/pixel_view.h
  platform/pixels/surface_copy.h platform/pixels/surface_desc.h
  platform/video/clipper.h platform/video/desktop.h platform/video/device_context.h platform/video/display_device.h
  platform/video/display_host.h platform/video/display_surface.h
  platform/window/window.h platform/window/window_host.h
  platform/backends/headless/fault_switchboard.h platform/backends/headless/headless_audio.h
  platform/backends/headless/headless_backend.h platform/backends/headless/headless_input.h)
foreach(header IN LISTS zamelmedia_public_headers)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${ZAMELMEDIA_INCLUDE_SUBDIR}/${folder} COMPONENT dev)
endforeach()
install(FILES include/zamelmedia/zamelmedia.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${ZAMELMEDIA_INCLUDE_SUBDIR} COMPONENT dev)

# The package: version, and the dependencies the exported libraries name (found again in the
# consumer, since imported targets of pkg-config and find modules are not exported).
set(ZAMELMEDIA_WITH_SDL ${MEDIA_BUILD_SDL})
set(ZAMELMEDIA_WITH_JPEG OFF)
if(TARGET JPEG::JPEG)
  set(ZAMELMEDIA_WITH_JPEG ON)
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZamelMediaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ZamelMediaConfig.cmake INSTALL_DESTINATION ${ZAMELMEDIA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZamelMediaConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ZamelMediaConfig.cmake ${PROJECT_BINARY_DIR}/ZamelMediaConfigVersion.cmake
        DESTINATION ${ZAMELMEDIA_CMAKE_DIR} COMPONENT dev)

# pkg-config: zamelmedia, and zamelmedia-headless with the same libraries (the name programs on
# the in-memory backend have always used).
set(ZAMELMEDIA_PC_JPEG "")
if(ZAMELMEDIA_WITH_JPEG)
  set(ZAMELMEDIA_PC_JPEG " libjpeg")
endif()
set(ZAMELMEDIA_PC_SDL "")
if(ZAMELMEDIA_WITH_SDL)
  set(ZAMELMEDIA_PC_SDL "sdl2 x11 ")
endif()
set(ZAMELMEDIA_PC_REQUIRES "${ZAMELMEDIA_PC_SDL}fluidsynth${ZAMELMEDIA_PC_JPEG} spng libdeflate")
# The prefix as seen from the .pc file's folder, so the installed tree can be moved.
file(RELATIVE_PATH ZAMELMEDIA_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" ZAMELMEDIA_PC_TO_PREFIX "${ZAMELMEDIA_PC_TO_PREFIX}")
foreach(ZAMELMEDIA_PC_NAME zamelmedia zamelmedia-headless)
  set(ZAMELMEDIA_PC_DESCRIPTION "the zamel multimedia layer: window, surfaces, pictures, input, sound and MIDI music")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/zamelmedia.pc.in ${PROJECT_BINARY_DIR}/${ZAMELMEDIA_PC_NAME}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${ZAMELMEDIA_PC_NAME}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endforeach()

# Installing the layer as a library for other programs: the public headers, the layer, the shared
# platform code and both backends, a CMake package (find_package(ZamelMedia)) and pkg-config files.
#
# The layer is two halves joined at link time: the shared platform code calls the backend only
# through accessors the backend library defines, so a backend must be linked whole. The package's
# two targets carry that, so a program links one name and nothing else:
#   ZamelMedia::ZamelMedia  the layer on the SDL2 backend (a real window, sound, input)
#   ZamelMedia::Headless    the layer on the in-memory backend (tests, tools without a display)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ZAMELMEDIA_INCLUDE_SUBDIR zamelmedia)
set(ZAMELMEDIA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZamelMedia)

# Installed file names say whose they are: "media" and "platform" alone would collide in /usr/local.
set_target_properties(media PROPERTIES OUTPUT_NAME zamelmedia EXPORT_NAME media)
set_target_properties(platform PROPERTIES OUTPUT_NAME zamelmedia_platform EXPORT_NAME platform)
set_target_properties(platform_headless PROPERTIES OUTPUT_NAME zamelmedia_headless EXPORT_NAME platform_headless)
target_compile_features(media PUBLIC cxx_std_20)
# In the build tree the headers come from the sources; installed, from include/zamelmedia.
foreach(library media platform platform_headless)
  target_include_directories(${library} INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/${ZAMELMEDIA_INCLUDE_SUBDIR}>)
endforeach()
set(zamelmedia_libraries media platform platform_headless)
if(TARGET platform_sdl)
  set_target_properties(platform_sdl PROPERTIES OUTPUT_NAME zamelmedia_sdl EXPORT_NAME platform_sdl)
  target_include_directories(platform_sdl INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/${ZAMELMEDIA_INCLUDE_SUBDIR}>)
  list(APPEND zamelmedia_libraries platform_sdl)
endif()

# The one-name targets: the layer plus one backend, whole. Export writes the name inside
# LINK_LIBRARY as it stands, so the installed name is spelt out.
add_library(zamelmedia_headless_layer INTERFACE)
target_link_libraries(zamelmedia_headless_layer INTERFACE media "$<LINK_LIBRARY:WHOLE_ARCHIVE,$<BUILD_INTERFACE:platform_headless>$<INSTALL_INTERFACE:ZamelMedia::platform_headless>>" platform)
set_target_properties(zamelmedia_headless_layer PROPERTIES EXPORT_NAME Headless)
list(APPEND zamelmedia_libraries zamelmedia_headless_layer)
add_library(ZamelMedia::Headless ALIAS zamelmedia_headless_layer)  # the installed names in the tree too
if(TARGET platform_sdl)
  add_library(zamelmedia_sdl_layer INTERFACE)
  target_link_libraries(zamelmedia_sdl_layer INTERFACE media "$<LINK_LIBRARY:WHOLE_ARCHIVE,$<BUILD_INTERFACE:platform_sdl>$<INSTALL_INTERFACE:ZamelMedia::platform_sdl>>" platform)
  set_target_properties(zamelmedia_sdl_layer PROPERTIES EXPORT_NAME ZamelMedia)
  list(APPEND zamelmedia_libraries zamelmedia_sdl_layer)
  add_library(ZamelMedia::ZamelMedia ALIAS zamelmedia_sdl_layer)
endif()

install(TARGETS ${zamelmedia_libraries} EXPORT ZamelMediaTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ZamelMediaTargets NAMESPACE ZamelMedia:: DESTINATION ${ZAMELMEDIA_CMAKE_DIR})

# Public headers: every header of media/ but the decoders' and the WAV reader's internals, and the
# platform headers they include (the types in the layer's signatures). The headless backend's
# header gives programs on that backend its test controls. Internal platform code (the copy
# loops' pixel access, the DIB conversion, the font, the SDL backend) stays private.
file(GLOB_RECURSE zamelmedia_media_headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/media/*.h)
set(zamelmedia_private_headers
  media/audio/wave_file.h
  media/blit/blit_loops.h
  media/blit/blit_math.h
  media/blit/locked_pair.h
  media/blit/pixel_math.h
  media/blit/software_frame.h
  media/image/bmp_decoder.h
  media/image/byte_reader.h
  media/image/jpeg_decoder.h
  media/image/pcx_decoder.h
  media/image/psd_decoder.h
  media/image/tga_decoder.h)
list(REMOVE_ITEM zamelmedia_media_headers ${zamelmedia_private_headers})
set(zamelmedia_platform_headers
  platform/audio_host.h platform/audio_mixer.h platform/bitmap_info.h platform/clipper.h
  platform/clock.h platform/color_convert.h platform/desktop.h platform/device_context.h
  platform/display_device.h platform/display_host.h platform/display_surface.h platform/fault_hook.h
  platform/gdi_bitmap.h platform/geometry.h platform/guid.h platform/input_host.h platform/key_runs.h platform/midi_synth.h
  platform/music_loader.h platform/music_performance.h platform/music_segment.h platform/pixel_view.h
  platform/result_codes.h platform/sound_buffer.h platform/sound_system.h platform/surface_copy.h
  platform/surface_desc.h platform/system.h platform/window.h platform/window_host.h
  platform/headless/headless_audio.h platform/headless/headless_backend.h platform/headless/headless_input.h)
foreach(header IN LISTS zamelmedia_media_headers zamelmedia_platform_headers)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${ZAMELMEDIA_INCLUDE_SUBDIR}/${folder})
endforeach()

# The package: version, and the dependencies the exported libraries name (found again in the
# consumer, since imported targets of pkg-config and find modules are not exported).
set(ZAMELMEDIA_WITH_SDL OFF)
if(TARGET platform_sdl)
  set(ZAMELMEDIA_WITH_SDL ON)
endif()
set(ZAMELMEDIA_WITH_JPEG OFF)
if(TARGET JPEG::JPEG)
  set(ZAMELMEDIA_WITH_JPEG ON)
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZamelMediaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ZamelMediaConfig.cmake INSTALL_DESTINATION ${ZAMELMEDIA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZamelMediaConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ZamelMediaConfig.cmake ${PROJECT_BINARY_DIR}/ZamelMediaConfigVersion.cmake
        DESTINATION ${ZAMELMEDIA_CMAKE_DIR})

# pkg-config: zamelmedia (SDL2 backend) and zamelmedia-headless, the backend between
# --whole-archive and --no-whole-archive.
set(ZAMELMEDIA_PC_JPEG "")
if(ZAMELMEDIA_WITH_JPEG)
  set(ZAMELMEDIA_PC_JPEG " libjpeg")
endif()
# The prefix as seen from the .pc file's folder, so the installed tree can be moved.
file(RELATIVE_PATH ZAMELMEDIA_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" ZAMELMEDIA_PC_TO_PREFIX "${ZAMELMEDIA_PC_TO_PREFIX}")
foreach(variant headless sdl)
  if(variant STREQUAL "sdl" AND NOT ZAMELMEDIA_WITH_SDL)
    continue()
  endif()
  if(variant STREQUAL "sdl")
    set(ZAMELMEDIA_PC_NAME zamelmedia)
    set(ZAMELMEDIA_PC_BACKEND zamelmedia_sdl)
    set(ZAMELMEDIA_PC_DESCRIPTION "the zamel multimedia layer on SDL2: window, surfaces, pictures, input, sound and MIDI music")
    set(ZAMELMEDIA_PC_REQUIRES "sdl2 x11 fluidsynth${ZAMELMEDIA_PC_JPEG}")
  else()
    set(ZAMELMEDIA_PC_NAME zamelmedia-headless)
    set(ZAMELMEDIA_PC_BACKEND zamelmedia_headless)
    set(ZAMELMEDIA_PC_DESCRIPTION "the zamel multimedia layer on its in-memory backend, for tests and tools without a display")
    set(ZAMELMEDIA_PC_REQUIRES "fluidsynth${ZAMELMEDIA_PC_JPEG}")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/zamelmedia.pc.in ${PROJECT_BINARY_DIR}/${ZAMELMEDIA_PC_NAME}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${ZAMELMEDIA_PC_NAME}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

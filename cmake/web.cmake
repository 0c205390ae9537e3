# web.cmake -- the program and the examples for a browser, built with emscripten (emcmake) into a
# folder of its own (`make web`: build-web/), beside and apart from the native build. The same
# sources as on Linux, against the stand-in, on the web host (platform/host/web/); FreeType is
# Debian's own source built by scripts/web-freetype.sh; fontconfig and FluidSynth are the page's own
# (platform/web_system/). The site goes to build-web/site/.
set(VORLASH_WEB_ASSETS "" CACHE PATH "the native build's generated assets (build/assets)")
set(VORLASH_WEB_EXAMPLE_ASSETS "" CACHE PATH "the native build's files for the examples (build/example-assets)")
set(VORLASH_WEB_FREETYPE "${CMAKE_BINARY_DIR}/freetype/install" CACHE PATH "FreeType built by scripts/web-freetype.sh")
set(VORLASH_WEB_SOUNDFONT /usr/share/sounds/sf2/TimGM6mb.sf2 CACHE FILEPATH "the General MIDI soundfont")
set(VORLASH_WEB_FONT /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf CACHE FILEPATH "the text's font")
set(VORLASH_WEB_NODE_MODULES "${PROJECT_SOURCE_DIR}/platform/host/web/node_modules" CACHE PATH "npm ci's folder")
if(NOT EXISTS "${VORLASH_WEB_ASSETS}/.generated" OR NOT EXISTS "${VORLASH_WEB_EXAMPLE_ASSETS}/.generated")
  message(FATAL_ERROR "VORLASH_WEB_ASSETS and VORLASH_WEB_EXAMPLE_ASSETS must name the native build's generated "
                      "files (make web does)")
endif()
set(site ${CMAKE_BINARY_DIR}/site)
set(web ${PROJECT_SOURCE_DIR}/platform/host/web)

# Bulk memory (every browser since 2021): a memcpy or memset becomes one memory.copy or memory.fill
# instruction. Without it, every copy of 512 bytes or more (each row of a 640-pixel blit) is a call
# out to JavaScript, a fifth of the game's frame.
add_compile_options(-O2 -mbulk-memory)
# Debian's emcc runs Node with the JavaScript modules Debian packages (acorn among them), which a
# Node of another origin finds only through NODE_PATH.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
add_library(vorlash_web_freetype STATIC IMPORTED)
set_target_properties(vorlash_web_freetype PROPERTIES IMPORTED_LOCATION ${VORLASH_WEB_FREETYPE}/lib/libfreetype.a
                      INTERFACE_INCLUDE_DIRECTORIES ${VORLASH_WEB_FREETYPE}/include/freetype2)

add_library(vorlash_sdk_headers INTERFACE)
target_include_directories(vorlash_sdk_headers INTERFACE platform/include)

vorlash_sources(host_src platform/host platform/host/headless)
add_library(vorlash_host STATIC ${host_src})
target_include_directories(vorlash_host PUBLIC platform/host platform/host/headless)
target_link_libraries(vorlash_host PUBLIC vorlash_sdk_headers)

# The system libraries the stand-in calls besides FreeType, as the page has them: fontconfig's font
# match answered by the bundled font, and FluidSynth's interface handed to js-synthesizer's module.
vorlash_sources(web_system_src platform/web_system)
add_library(vorlash_web_system STATIC ${web_system_src})
target_include_directories(vorlash_web_system PUBLIC platform/web_system)

vorlash_sources(platform_src platform/src)
add_library(vorlash_platform STATIC ${platform_src})
target_link_libraries(vorlash_platform PUBLIC vorlash_sdk_headers PRIVATE vorlash_host
                      PUBLIC vorlash_web_freetype vorlash_web_system)

# The web host.
add_library(vorlash_platform_web STATIC ${web}/web_host.cpp ${web}/web_input.cpp)
target_include_directories(vorlash_platform_web PUBLIC ${web})
target_link_libraries(vorlash_platform_web PUBLIC vorlash_platform vorlash_host)

vorlash_sources(services_src services)
add_library(vorlash_services STATIC ${services_src})
target_include_directories(vorlash_services PUBLIC services)
target_link_libraries(vorlash_services PUBLIC vorlash_platform)

vorlash_sources(lib_src lib/display lib/sprites lib/input lib/audio)
add_library(vorlash_lib STATIC ${lib_src})
target_include_directories(vorlash_lib PUBLIC lib/display lib/sprites lib/input lib/audio)
target_link_libraries(vorlash_lib PUBLIC vorlash_services PRIVATE vorlash_asset_contract)

vorlash_sources(game_src game)
add_library(vorlash_game STATIC ${game_src})
target_include_directories(vorlash_game PUBLIC game)
target_link_libraries(vorlash_game PUBLIC vorlash_lib vorlash_asset_contract)

vorlash_sources(shell_src shell)
add_library(vorlash_shell STATIC ${shell_src})
target_include_directories(vorlash_shell PUBLIC shell)
target_link_libraries(vorlash_shell PUBLIC vorlash_game)

# ---- the page's data: one package that the game and every example load ----
# The game's assets in /game (the program runs there, as `make play` runs it in build/assets), the
# examples' files in /examples (as `make example` runs them in build/example-assets), and the
# soundfont and the font at the paths where the stand-in looks for them on Debian.
find_program(FILE_PACKAGER file_packager PATHS /usr/share/emscripten/tools ${EMSCRIPTEN_ROOT_PATH}/tools REQUIRED)
set(data_loader ${CMAKE_BINARY_DIR}/vorlash-data.js)
add_custom_command(
  OUTPUT ${site}/vorlash.data ${data_loader}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
          ${FILE_PACKAGER} ${site}/vorlash.data --preload ${VORLASH_WEB_ASSETS}@/game
          ${VORLASH_WEB_EXAMPLE_ASSETS}@/examples ${VORLASH_WEB_SOUNDFONT}@/usr/share/sounds/sf2/TimGM6mb.sf2 ${VORLASH_WEB_FONT}@${VORLASH_WEB_FONT}
          --exclude .generated --no-node --js-output=${data_loader} > /dev/null
  DEPENDS ${VORLASH_WEB_ASSETS}/.generated ${VORLASH_WEB_EXAMPLE_ASSETS}/.generated ${VORLASH_WEB_SOUNDFONT}
          ${VORLASH_WEB_FONT}
  COMMENT "Packing the page's data")
add_custom_target(web_data DEPENDS ${site}/vorlash.data ${data_loader})

# The page itself, and FluidSynth in WebAssembly from npm's js-synthesizer.
set(fluid_js ${VORLASH_WEB_NODE_MODULES}/js-synthesizer/externals/libfluidsynth-2.4.6.js)
set(page_files index.html example.html vorlash-page.js vorlash.css)
set(page_outputs)
foreach(f ${page_files})
  list(APPEND page_outputs ${site}/${f})
endforeach()
add_custom_command(
  OUTPUT ${page_outputs} ${site}/libfluidsynth.js
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page_files} ${site}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${fluid_js} ${site}/libfluidsynth.js
  DEPENDS ${web}/page/index.html ${web}/page/example.html ${web}/page/vorlash-page.js ${web}/page/vorlash.css
          ${fluid_js}
  WORKING_DIRECTORY ${web}/page
  COMMENT "Copying the page")
add_custom_target(web_page ALL DEPENDS ${page_outputs} ${site}/libfluidsynth.js)

# A program for the page: one module (MODULARIZE; js-synthesizer takes the global `Module`) whose
# blocking frame loop yields to the page at each refresh wait and sleep (ASYNCIFY).
# main() and the page's calls, as objects: web_page.cpp holds only EM_JS bodies, which the linker
# would not take from an archive.
# The game runs in /game, the examples in /examples.
add_library(vorlash_web_main OBJECT ${web}/web_main.cpp ${web}/web_page.cpp)
target_link_libraries(vorlash_web_main PRIVATE vorlash_platform_web)
target_compile_definitions(vorlash_web_main PRIVATE VORLASH_WEB_FOLDER="/game")
add_library(vorlash_web_example_main OBJECT ${web}/web_main.cpp ${web}/web_page.cpp)
target_link_libraries(vorlash_web_example_main PRIVATE vorlash_platform_web)
target_compile_definitions(vorlash_web_example_main PRIVATE VORLASH_WEB_FOLDER="/examples")
function(vorlash_web_program target main)
  target_link_libraries(${target} PRIVATE ${main} vorlash_platform_web)
  add_dependencies(${target} web_data web_page)
  target_link_options(${target} PRIVATE -O2 -mbulk-memory -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sMODULARIZE
                      -sEXPORT_NAME=VorlashModule -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH
                      -sEXPORTED_FUNCTIONS=_main,_web_audio_pull -sFORCE_FILESYSTEM
                      -sEXPORTED_RUNTIME_METHODS=addRunDependency,removeRunDependency,FS_createPath,FS_createDataFile
                      --pre-js ${data_loader} --js-library ${web}/web_clock.js)
  set_target_properties(${target} PROPERTIES LINK_DEPENDS "${data_loader};${web}/web_clock.js")
endfunction()

add_executable(vorlash $<TARGET_OBJECTS:vorlash_web_main>)
target_link_libraries(vorlash PRIVATE vorlash_shell vorlash_game)
vorlash_web_program(vorlash vorlash_web_main)
set_target_properties(vorlash PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site})

# The library's examples, each as examples/NAME.html beside its module: every one that
# examples/CMakeLists.txt lists.
add_library(vorlash_example_skeleton STATIC examples/skeleton.cpp)
target_link_libraries(vorlash_example_skeleton PUBLIC vorlash_lib)
file(STRINGS examples/CMakeLists.txt example_lines REGEX "^vorlash_example\\([a-z0-9_]+ ")
foreach(line ${example_lines})
  string(REGEX REPLACE "^vorlash_example\\(([a-z0-9_]+) .*" "\\1" name "${line}")
  add_executable(example_${name} examples/${name}.cpp)
  target_link_libraries(example_${name} PRIVATE vorlash_example_skeleton)
  vorlash_web_program(example_${name} vorlash_web_example_main)
  set_target_properties(example_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site}/examples)
  add_custom_command(TARGET example_${name} POST_BUILD
                     COMMAND sed "s/@NAME@/${name}/g" ${web}/page/example.html > ${site}/examples/${name}.html)
endforeach()

# The heavy frame bench_frame times natively, timed as WebAssembly under node (`make web-bench`),
# with the page's code generation flags. It runs the game on the test hooks' host, reading the native
# build's assets in place. The hooks' MIDI player is left out: it needs more of FluidSynth than the
# page's module is asked for, and the frame plays no music. The module is compiled at once, from the
# file: this Node's fetch takes no file path, so the streaming compile would fail.
vorlash_sources(testing_src platform/testing)
list(FILTER testing_src EXCLUDE REGEX "testing_midi\\.cpp$")
add_library(vorlash_web_testing STATIC EXCLUDE_FROM_ALL ${testing_src})
target_include_directories(vorlash_web_testing PUBLIC platform/testing PRIVATE platform/src)
target_link_libraries(vorlash_web_testing PUBLIC vorlash_platform vorlash_host)
add_executable(frame_web EXCLUDE_FROM_ALL bench/web/frame_web.cpp)
target_include_directories(frame_web PRIVATE bench)
target_compile_definitions(frame_web PRIVATE VORLASH_ASSETS_DIR="${VORLASH_WEB_ASSETS}")
target_link_libraries(frame_web PRIVATE vorlash_game vorlash_web_testing)
target_link_options(frame_web PRIVATE -O2 -mbulk-memory -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sENVIRONMENT=node -sNODERAWFS
                    -sALLOW_MEMORY_GROWTH -sEXIT_RUNTIME -sWASM_ASYNC_COMPILATION=0)
set_target_properties(frame_web PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

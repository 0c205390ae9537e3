# windows.cmake -- the real Windows program: shell/, game/, lib/ and services/ against the SDK headers,
# no platform/.
vorlash_sources(services_src services)
add_library(vorlash_services STATIC ${services_src})
target_include_directories(vorlash_services PUBLIC services)

vorlash_sources(lib_src lib/display lib/sprites lib/input lib/audio)
add_library(vorlash_lib STATIC ${lib_src})
target_include_directories(vorlash_lib PUBLIC lib/display lib/sprites lib/input lib/audio)
target_link_libraries(vorlash_lib PUBLIC vorlash_services ddraw dinput8 dsound dxguid ole32 winmm gdi32 user32
                      PRIVATE vorlash_asset_contract)

vorlash_sources(game_src game)
add_library(vorlash_game STATIC ${game_src})
target_include_directories(vorlash_game PUBLIC game)
target_link_libraries(vorlash_game PUBLIC vorlash_lib vorlash_asset_contract)

vorlash_sources(shell_src shell)
add_executable(vorlash WIN32 ${shell_src})
target_link_libraries(vorlash PRIVATE vorlash_game)
# One self-contained .exe: no compiler runtime DLLs to ship beside it.
target_link_options(vorlash PRIVATE -static -static-libgcc -static-libstdc++)

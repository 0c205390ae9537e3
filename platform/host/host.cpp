// host.cpp -- the choice of host, in one place: the headless host unless the program installs
// another (the game's main() installs the SDL2 host before WinMain).
#include "headless_host.h"
#include "host.h"

static Host* current = nullptr;

Host& host() { return current ? *current : headless_host(); }
void host_install(Host* h) { current = h; }

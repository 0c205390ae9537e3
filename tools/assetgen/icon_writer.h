// icon_writer.h -- the desktop icon: the game's own rock and gunship painted large into a PNG.
#pragma once
#include <string>

constexpr int kIconSize = 128;  // pixels on each side

// Writes the icon as a kIconSize × kIconSize RGBA PNG, transparent around the art; false (and a
// message on stderr) when the file cannot be written.
bool write_icon_png(const std::string& path);

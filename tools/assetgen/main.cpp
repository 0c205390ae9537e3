// main.cpp -- assetgen: writes every asset of the game into a folder, the examples' own set into
// another, or a contact sheet for review, or the desktop icon.
#include <cstdio>
#include <cstring>
#include <string>

#include "assets.h"
#include "icon_writer.h"

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--sheet") == 0)
        return write_contact_sheet(argv[2]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--icon") == 0)
        return write_icon_png(argv[2]) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--examples") == 0)
        return write_example_assets(argv[2]) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen OUTPUT_DIR | assetgen --examples OUTPUT_DIR | assetgen --sheet SHEET.bmp | "
                             "assetgen --icon ICON.png\n");
        return 2;
    }
    return write_assets(argv[1]) ? 0 : 1;
}

// handles.cpp -- the window and instance handles every device layer binds to.
#include "services.h"

HWND main_window = nullptr;
HINSTANCE main_instance = nullptr;

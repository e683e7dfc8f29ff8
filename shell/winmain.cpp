// Entry point of Tessellar.exe.
#include <windows.h>

#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    return RunTessellar(instance, command_line);
}

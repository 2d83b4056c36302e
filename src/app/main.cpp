// instalix.exe: the setup wizard on the driver medium.
#include <windows.h>

#include "app/SetupApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SetupApp app;
    app.InitInstance();
    return static_cast<int>(app.ExitCode());
}

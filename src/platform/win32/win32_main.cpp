// The game's entry point on Windows.

#include <cstdlib>

#include "app/game_session.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // D3DX where Windows has it; the backend's own stand-ins for whatever it lacks.
    platform::win32::LoadD3dx();
    const auto system = platform::win32::CreateWin32System();
    // The C runtime's split of the command line, as Windows' own programs split it.
    return app::PlayGame(*system, app::ParseArguments({__argv + 1, __argv + __argc}));
}

// The game's entry point on Windows.

#include "platform/win32/windows_headers.h"
// The game's headers come after <windows.h> on purpose: they must survive its macros.
#include "app/game_session.h"
#include "platform/win32/d3dx_library.h"
#include "platform/win32/win32_system.h"

namespace {

constexpr const char* kMissingD3dx =
    "Tavorin cannot start: d3dx9_43.dll is missing.\n\n"
    "It is part of the DirectX 9 runtime (the DirectX End-User Runtime), which a bare Windows "
    "does not include. Install that runtime, then start Tavorin again.";

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!platform::win32::LoadD3dx()) {
        ::MessageBoxA(nullptr, kMissingD3dx, "Tavorin", MB_OK | MB_ICONERROR);
        return 1;
    }
    const auto system = platform::win32::CreateWin32System();
    int result = 0;
    {
        app::GameSession session(*system);
        result = session.Run();
    }
    return result;
}

#include "app/game_session.h"
#include "platform/sdl/sdl_backend.h"

int main() {
    const auto system = platform::sdl::CreateSdlSystem();
    int result = 0;
    {
        app::GameSession session(*system);
        result = session.Run();
    }
    return result;
}

#include "app/game_session.h"
#include "platform/sdl/sdl_backend.h"

int main(int argc, char** argv) {
    const auto system = platform::sdl::CreateSdlSystem();
    return app::PlayGame(*system, app::ParseArguments({argv + 1, argv + argc}));
}

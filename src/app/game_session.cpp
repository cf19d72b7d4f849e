#include "app/game_session.h"

namespace app {

namespace {

constexpr uint32_t kIconError = 0x10;  // MB_ICONERROR

// The real clock, but for a first deal fixed at start.
Game::Clock DealClock(platform::System& system, std::optional<uint32_t> firstDeal) {
    return [&system, firstDeal]() mutable -> int64_t {
        if (firstDeal) {
            const int64_t second = *firstDeal;
            firstDeal.reset();
            return second;
        }
        return system.Time();
    };
}

}  // namespace

GameSession::GameSession(platform::System& system, LaunchOptions options)
    : application(system, flow), screens(application.device.get()), system_(system) {
    screens.CreateSharedFont();
    if (!application.running) {
        return;
    }
    inputManager = std::make_unique<input::InputManager>(
        system, application.window.get(), application.device.get(), application.running,
        static_cast<uint32_t>(application.width), static_cast<uint32_t>(application.height));
    game = std::make_unique<Game>(flow, *application.device, screens,
                                  DealClock(system, options.firstDealSecond));
}

GameSession::~GameSession() {
    inputManager.reset();
    game.reset();
    screens.ReleaseSharedFont();
}

void GameSession::Pass() {
    platform::Message removed;
    if (system_.PeekMessageA(removed)) {
        message = removed;
        system_.TranslateMessage(removed);
        system_.DispatchMessageA(removed);
    }
    // Without input or a board start-up failed: a caller that passes anyway gets no frame.
    if (!inputManager || !game) {
        return;
    }
    inputManager->Update();
    if (!application.CheckDevice(screens.sharedFont.get())) {
        return;
    }
    platform::Device& device = *application.device;
    device.Clear(0, nullptr, platform::d3d::CLEAR_TARGET | platform::d3d::CLEAR_ZBUFFER,
                 0xFF000000u, 1.0f, 0);
    device.BeginScene();
    game->Step(0.0f, 0.0f, 0.0f);
    device.EndScene();
    device.Present();
}

int GameSession::Run() {
    while (application.running && game) {
        Pass();
    }
    return static_cast<int>(message.wParam);
}

int PlayGame(platform::System& system, const Launch& launch) {
    if (const auto* refused = std::get_if<LaunchRefused>(&launch)) {
        system.MessageBoxA(nullptr, refused->message.c_str(), kWindowTitle, kIconError);
        return kRefusedStatus;
    }
    GameSession session(system, std::get<LaunchOptions>(launch));
    return session.Run();
}

}  // namespace app

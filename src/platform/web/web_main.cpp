#include "app/game_session.h"
#include "app/key_commands.h"
#include "platform/web/web_backend.h"

int main() {
    int result = 0;
    {
        platform::web::SetGameKeys(app::AnswersKey);
        const auto system = platform::web::CreateWebSystem();
        result = app::PlayGame(*system, app::ParseQuery(platform::web::PageQuery()));
    }
    platform::web::ReportEnd(result);
    return result;
}

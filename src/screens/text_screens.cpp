#include "screens/text_screens.h"

// Placeholder until the screens land.
namespace screens {
void TextScreens::CreateSharedFont() {}
void TextScreens::DrawMenu() {}
void TextScreens::DrawTutorial() {}
void TextScreens::ReleaseSharedFont() { sharedFont.reset(); }
}  // namespace screens

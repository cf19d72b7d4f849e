#pragma once

// The page around the game, as the backend reaches it: the canvas, the frame clock, the
// message dialog, the fonts and the end. Written in the page's own JavaScript (web_page.cpp);
// plain types here, so that only that file sees Emscripten.

#include <cstdint>
#include <string>

namespace platform::web::page {

// The canvas the game draws into, as a selector.
inline constexpr const char* kCanvas = "#canvas";

bool WebGl2Offered();
// Waits (the game's loop suspended, the browser free) for the browser's next animation
// frame; none come while the page is hidden.
void WaitForFrame();
// Marks the moment the first frame went to the page, for whoever measures start-up, and
// tells the page, which only then sets about keeping its files for offline play.
void MarkFirstFrame();
// Waits for the next animation frame after the player or the page does something (a key, the
// mouse, a resize, the page hidden or shown), or after `milliseconds` at the latest.
void WaitForChange(int milliseconds);
bool Hidden();
// The canvas's WebGL context as the browser loses and restores it, watched from the first
// call on (once the game has made it): how many times it was lost, and whether it is lost
// now. A lost one is asked back.
int ContextLosses();
bool ContextLostNow();
// The canvas's drawing-buffer size, made to match its size on screen in device pixels first.
void CanvasSize(int& width, int& height);
void SetTitle(const char* title);
// The page address's query string, with its '?'.
std::string Query();
void ShowCursor(bool show);
// Shows the game's message in the page's dialog and waits until the player has read it.
void ShowMessage(const char* caption, const char* text);
// Waits for what the page fetched for the game while its code loaded: the font, and the
// files of its folder the game reads (the cursor image), put in the game's working folder.
void AwaitPage();
// The game has ended with `status`: the page says so and offers to play again.
void Ended(int status);

// Text through the page's 2D canvas, in the font the page loaded. A font is a number the
// page keeps; 0 when it cannot be made.
int OpenFont(int pixelHeight, bool cellHeight, bool bold, bool italic, int& lineStep);
int TextWidth(int font, const char* text);
// How many bytes of the text fit within `width` pixels.
int TextFit(int font, const char* text, int width);
void DrawText(int font, const char* text, uint8_t* coverage, int columns, int rows);

}  // namespace platform::web::page

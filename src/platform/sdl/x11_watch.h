#pragma once

// Another X client may destroy the game's window. X then answers the game's next requests
// about it with errors, which Xlib's default handler turns into an exit with status 1; the
// game is to end through its own orderly path instead. The windows watched here have such
// errors ignored once they are gone, and their destruction is noticed from X's own event.

#include <cstdint>

struct SDL_Window;
union SDL_Event;

namespace platform::sdl {

// Starts watching the window (nothing where SDL does not draw on X).
void WatchXWindow(SDL_Window* window);
// SDL_DestroyWindow for a watched window. One that was gone already answers with errors;
// they are waited for and dropped here, before SDL hands Xlib back its fatal handler.
void DestroyWatchedWindow(SDL_Window* window);
// The window was destroyed by someone else.
bool XWindowGone(SDL_Window* window);
// The SDL id of the watched window an event reports destroyed, or 0.
uint32_t XWindowDestroyedBy(const SDL_Event& event);

// Whether a window manager that reports frame sizes (_NET_FRAME_EXTENTS) runs on the
// window's X display; true where that cannot be told (not X).
bool FrameExtentsReported(SDL_Window* window);

}  // namespace platform::sdl

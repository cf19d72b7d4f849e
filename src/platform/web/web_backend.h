#pragma once

// The web backend: the platform layer in a browser page, as WebAssembly built with
// Emscripten, drawing with WebGL 2.
//
// Implements:
//  - Window: the page's canvas as the one top-level window, its title the page's; key down
//    and up, system keys (with Alt) and characters taken one at a time; WM_CLOSE and
//    WM_DESTROY through the window behaviour the non-Windows backends share. Modal message
//    boxes as a dialog in the page, the game waiting until OK is pressed.
//  - Device: the shared OpenGL device (platform/gl/gl_graphics.h says what it draws) on
//    WebGL 2; lost while the page is hidden or the browser holds the canvas's context back,
//    everything made again once it is restored; a context not back within five seconds
//    makes the game's reset fail and say so, and the wait goes on.
//  - Fonts: DejaVu Sans, shipped with the page and loaded before the game starts, drawn by
//    the page's 2D canvas.
//  - Input: DirectInput's keyboard state and relative mouse from the page's events.
//  - Images: BMP files of the page's folder, fetched at start and read by platform/bmp.
//
// Lacks:
//  - The device lacks what the shared one lacks (gl_graphics.h).
//  - Alt+F4, the close box and minimising belong to the browser, which ends or hides the
//    whole page; the game sees no WM_CLOSE from them.
//  - No cursor of its own beyond showing or hiding the browser's over the canvas.
//
// Adds:
//  - Present yields to the browser's next animation frame (the game's loop is kept whole
//    by Asyncify), so the page stays responsive and a still screen costs next to nothing.
//  - Keys the game does not answer (F5, Ctrl+R, F11, Tab, any Ctrl combination) keep their
//    meaning in the browser.
//  - When the game ends, the page says so, offers to play again and puts the exit status in
//    its title, as a desktop shell would show it.
//  - The page (index.html, not the game) shows the command keys as buttons for a screen
//    without a keyboard: each a key-down and key-up event into the same callbacks. It fits
//    the canvas to any viewport and keeps its files for offline play (sw.js).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/system.h"

namespace platform::web {

// The keys the game answers, which the page keeps from the browser's own use of them: the
// game's list, handed over before the system is made.
void SetGameKeys(bool (*gameAnswers)(uint32_t virtualKey));

std::unique_ptr<System> CreateWebSystem();

// The page's query string ("?time=..."), as its address gives it; empty without one.
std::string PageQuery();

// The game has ended with `status`: the page says so.
void ReportEnd(int status);

}  // namespace platform::web

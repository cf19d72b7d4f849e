#pragma once

#include <memory>

#include "platform/graphics.h"

namespace platform::web {

class WebSession;

// Direct3D's entry for the web backend: the shared OpenGL device (platform/gl) on WebGL 2
// in the page's canvas, its text drawn by the page's 2D canvas. Null without WebGL 2.
std::unique_ptr<Graphics> CreateWebGraphics(std::shared_ptr<WebSession> session);

}  // namespace platform::web

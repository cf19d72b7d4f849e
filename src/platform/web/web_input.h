#pragma once

#include <memory>

#include "platform/input_devices.h"

namespace platform::web {

class WebSession;

// DirectInput's keyboard and mouse from the page's own events: reading them leaves the
// window's key messages in the queue.
std::unique_ptr<InputSystem> CreateWebInput(std::shared_ptr<WebSession> session);

}  // namespace platform::web

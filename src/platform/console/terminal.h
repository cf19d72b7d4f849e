#pragma once

// Whether a tool's standard error goes to a person at a terminal, so that it may show a
// progress line there that would only clutter a file or a pipe.

namespace platform {

bool StandardErrorIsTerminal();

}  // namespace platform

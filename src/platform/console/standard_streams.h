#pragma once

// The command-line tools' standard streams, the same bytes on every system.

namespace platform {

// Standard output and error carry "\n" as it is: on Windows they would otherwise turn every
// "\n" into "\r\n" and a tool's output would differ from the same tool's elsewhere.
void UseBinaryStandardStreams();

}  // namespace platform

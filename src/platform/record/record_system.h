#pragma once

#include "platform/system.h"

namespace platform::record {
// Placeholder until the recording backend lands.
class RecordSystem;
}  // namespace platform::record

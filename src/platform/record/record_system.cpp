#include "platform/record/record_system.h"

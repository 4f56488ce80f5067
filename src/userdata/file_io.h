#pragma once
// The observer's files are read and written through the shared safe-file primitives.
#include "platform/posix/file_safety.h"

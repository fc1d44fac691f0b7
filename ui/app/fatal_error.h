// The tool's only error path: a modal box that says what failed, then the end
// of the process with exit code -1.
#pragma once

namespace corvane::app {

[[noreturn]] void FatalError(const char* what);

// Makes a failed allocation (memory for a text) fatal instead of throwing.
void InstallOutOfMemoryHandler();

}  // namespace corvane::app

// The key link: hands the service's key page to the Windows shell, which opens
// it with the desktop's program for http URLs.
#pragma once

namespace corvane::app {

// Opens `url` through the shell. The shell's result is not examined: whatever
// it shows on failure is its own, and the tool goes on unchanged.
void OpenWebPage(const char* url);

}  // namespace corvane::app

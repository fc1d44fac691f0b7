// Helper for the fatal error test: shows the tool's fatal error box and ends
// the way the tool does after it.
#include "fatal_error.h"

int main() { corvane::app::FatalError("fatal error test"); }

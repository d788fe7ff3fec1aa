#include "encoder/command.h"

// libx264 loses a few bytes when it refuses its settings; that is its affair, not a leak of ours,
// and not worth a report after the one line of the error. (Read by LeakSanitizer builds only.)
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libx264.so\n";
}
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}

int main(int argc, char** argv) {
  return korvu::enc::RunCommand({argv + 1, argv + argc});
}

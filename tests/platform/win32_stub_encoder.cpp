// korvu-win32-stub-encoder: stands in for the encoder when the job script runs under cmd.
// Appends each argument after argv[0] as "<byte count> <bytes>\n" and then "end\n" to the file
// named by KORVU_STUB_RECORD; exits with the number in KORVU_STUB_PASS<P> for "-npass P", else 0.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  std::string pass;
  if (const char* record = std::getenv("KORVU_STUB_RECORD")) {
    std::ofstream out(record, std::ios::binary | std::ios::app);
    for (int i = 1; i < argc; ++i) {
      out << std::strlen(argv[i]) << ' ' << argv[i] << '\n';
      if (std::strcmp(argv[i - 1], "-npass") == 0) pass = argv[i];
    }
    out << "end\n";
  }
  const char* code = std::getenv(("KORVU_STUB_PASS" + pass).c_str());
  return code == nullptr ? 0 : std::atoi(code);
}

// kvsetup: the setup program. For now it offers the diagnostic
// "kvsetup --print-config"; the windows come with the main window.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/language.h"
#include "app/print_config.h"
#include "platform/codepage.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  std::vector<std::string> args;
  bool print_config = false;
  for (int i = 1; i < argc; ++i) {
#ifdef _WIN32
    args.emplace_back(argv[i]);  // already in the ANSI code page
#else
    args.push_back(platform::Utf8ToAnsi(argv[i]));
#endif
    if (std::strcmp(argv[i], "--print-config") == 0) print_config = true;
  }
  app::StartLocaleUnit(args);
  if (!print_config) {
    std::fprintf(stderr,
                 "kvsetup: the setup windows are not part of this build yet.\n"
                 "usage: kvsetup --print-config [-len|-lru]\n");
    return 2;
  }
  const std::string report = app::PrintConfig(platform::ExecutablePath(), args);
  std::fwrite(report.data(), 1, report.size(), stdout);
  app::FinishLocaleUnit();
  return 0;
}

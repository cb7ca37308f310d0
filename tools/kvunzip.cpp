// kvunzip: the archive reader from the command line.
//
//   kvunzip l ARCHIVE
//   kvunzip t [-P PASSWORD] ARCHIVE [MASK...]
//   kvunzip x [-P PASSWORD] [-d DIR] [-o|-n] ARCHIVE [MASK...]
//
// Exit status: 0 every selected entry is good; 1 some entries failed; 2 the
// archive cannot be used; 3 usage error.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "unzip/unzip.h"

#ifdef _WIN32
#include <io.h>
#define KV_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define KV_ISATTY(f) isatty(fileno(f))
#endif

namespace {

enum ExitCode { kOk = 0, kSomeFailed = 1, kArchiveUnusable = 2, kUsage = 3 };

const char kUsageText[] =
    "usage: kvunzip l ARCHIVE\n"
    "       kvunzip t [-P PASSWORD] ARCHIVE [MASK...]\n"
    "       kvunzip x [-P PASSWORD] [-d DIR] [-o|-n] ARCHIVE [MASK...]\n"
    "  l  list the entries\n"
    "  t  decode every selected entry and check its CRC; write nothing\n"
    "  x  extract below DIR (default: the current folder), recreating folders\n"
    "  -o always overwrite existing files, -n never (default: ask)\n";

// Program text (ANSI) from a command-line argument, and back for the terminal.
std::string FromArg(const char* arg) {
#ifdef _WIN32
  return arg;
#else
  return platform::Utf8ToAnsi(arg);
#endif
}

std::string ToTerminal(const std::string& ansi) { return platform::AnsiToTerminal(ansi); }

const char* MethodName(uint16_t method) {
  switch (method) {
    case 0: return "Stored";
    case 1: return "Shrunk";
    case 2: return "Reduce1";
    case 3: return "Reduce2";
    case 4: return "Reduce3";
    case 5: return "Reduce4";
    case 6: return "Implode";
    case 8: return "Deflate";
    case 9: return "Defl64";
    case 12: return "BZip2";
    case 14: return "LZMA";
    case 93: return "Zstd";
    case 95: return "XZ";
    case 99: return "AES";
    default: return "Unknown";
  }
}

std::string FormatDosTime(uint32_t t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", ((t >> 25) & 0x7F) + 1980, (t >> 21) & 0x0F,
                (t >> 16) & 0x1F, (t >> 11) & 0x1F, (t >> 5) & 0x3F, (t & 0x1F) * 2);
  return buf;
}

// A progress bar on stderr, shown only on a terminal and only once the work
// has taken more than a second.
class ProgressBar {
 public:
  ProgressBar() : enabled_(KV_ISATTY(stderr) != 0), start_(std::chrono::steady_clock::now()) {}
  ~ProgressBar() { Clear(); }
  void Show(int percent) {
    if (!enabled_) return;
    if (!shown_ && std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
    if (percent == last_) return;
    last_ = percent;
    shown_ = true;
    const int filled = percent * 40 / 100;
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(), std::string(40 - filled, ' ').c_str(),
                 percent);
    std::fflush(stderr);
  }
  // Takes the bar off the line before a message is printed.
  void Clear() {
    if (!shown_) return;
    std::fprintf(stderr, "\r%50s\r", "");
    std::fflush(stderr);
    shown_ = false;
    last_ = -1;
  }

 private:
  bool enabled_;
  std::chrono::steady_clock::time_point start_;
  bool shown_ = false;
  int last_ = -1;
};

int List(TUnZip& uz) {
  uz.OpenArchive();
  std::printf("%10s %10s %5s %-8s %-19s %-8s %s %s\n", "Size", "Packed", "Ratio", "Method", "Date", "CRC", "E",
              "Path");
  uint64_t size = 0, packed = 0;
  for (int i = 0; i < uz.EntryCount(); ++i) {
    const TZipHeaderInfo& e = uz.Entry(i);
    const int ratio = e.UnpackedSize == 0 ? 0 : 100 - PercentOf(e.UnpackedSize, e.PackedSize);
    std::printf("%10u %10u %4d%% %-8s %-19s %08x %s %s\n", e.UnpackedSize, e.PackedSize, ratio, MethodName(e.Method),
                FormatDosTime(e.DosDateTime).c_str(), e.Crc32, e.IsEncrypted() ? "*" : "-",
                ToTerminal(e.StoredPath()).c_str());
    size += e.UnpackedSize;
    packed += e.PackedSize;
  }
  std::printf("%10llu %10llu %4d%% %d entries\n", static_cast<unsigned long long>(size),
              static_cast<unsigned long long>(packed),
              size == 0 ? 0 : 100 - PercentOf(static_cast<int64_t>(size), static_cast<int64_t>(packed)),
              uz.EntryCount());
  const std::string comment = uz.ArchiveComment();
  if (!comment.empty()) std::printf("comment: %s\n", ToTerminal(comment).c_str());
  return kOk;
}

int Extract(TUnZip& uz, bool test, const std::vector<std::string>& masks) {
  ProgressBar bar;
  int failures = 0;
  int selected = 0;
  auto fail = [&](const std::string& path, const std::string& why) {
    bar.Clear();
    std::fprintf(stderr, "%s: %s\n", ToTerminal(path).c_str(), why.c_str());
    ++failures;
  };
  uz.TestOnly = test;
  uz.RecreateDirs = true;
  uz.DoAll = masks.empty();
  uz.FilesList = masks;
  uz.OnStartUnZipInfo = [&](TUnZip&, int num_files, int64_t, bool&) { selected = num_files; };
  uz.OnTotalPercentDone = [&](TUnZip&, int percent) { bar.Show(percent); };
  uz.OnBadCRC = [&](TUnZip& u, uint32_t calc, uint32_t stored, int index) {
    char why[96];
    if (!u.LastFailure().empty() && calc == stored)
      std::snprintf(why, sizeof why, "%s", u.LastFailure().c_str());
    else if (!u.LastFailure().empty() && u.LastFailure().rfind("unknown", 0) == 0)
      std::snprintf(why, sizeof why, "%s", u.LastFailure().c_str());
    else
      std::snprintf(why, sizeof why, "CRC error (computed %08x, stored %08x)", calc, stored);
    fail(u.EntryPath(index), why);
  };
  uz.OnSkippingFile = [&](TUnZip& u, TSkipReason reason, const std::string& name, int) {
    switch (reason) {
      case TSkipReason::srBadPassword:
        fail(name, u.LastFailure().empty() ? "wrong password" : u.LastFailure());
        break;
      case TSkipReason::srNoOverwrite:
        fail(name, "exists, not replaced");
        break;
      case TSkipReason::srFileOpenError:
        fail(name, "refused: " + (u.LastFailure().empty() ? std::string("cannot be written") : u.LastFailure()));
        break;
    }
  };
  const int result = uz.ExtractFiles();
  bar.Clear();
  if (failures > 0 || result < selected) return kSomeFailed;
  return kOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strlen(argv[1]) != 1 || std::strchr("ltx", argv[1][0]) == nullptr) {
    std::fputs(kUsageText, stderr);
    return kUsage;
  }
  const char command = argv[1][0];
  std::string password, dest, archive;
  bool have_password = false;
  TUZOverwriteMode overwrite = TUZOverwriteMode::Prompt;
  std::vector<std::string> masks;
  bool options_done = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
      if (arg == "-P" && command != 'l' && i + 1 < argc) {
        password = argv[++i];
        have_password = true;
      } else if (arg == "-d" && command == 'x' && i + 1 < argc) {
        dest = FromArg(argv[++i]);
      } else if (arg == "-o" && command == 'x') {
        overwrite = TUZOverwriteMode::Always;
      } else if (arg == "-n" && command == 'x') {
        overwrite = TUZOverwriteMode::Never;
      } else {
        std::fprintf(stderr, "kvunzip: unknown option %s\n", arg.c_str());
        std::fputs(kUsageText, stderr);
        return kUsage;
      }
    } else if (archive.empty()) {
      archive = FromArg(argv[i]);
    } else {
      // Stored paths use "\"; a mask may be typed with "/".
      std::string mask = FromArg(argv[i]);
      for (char& c : mask)
        if (c == '/') c = '\\';
      masks.push_back(mask);
    }
  }
  if (archive.empty() || (command == 'l' && !masks.empty())) {
    std::fputs(kUsageText, stderr);
    return kUsage;
  }

  platform::SetHeadlessQuiet(false);
  TUnZip uz;
  uz.DoProcessMessages = false;
  uz.OverwriteMode = overwrite;
  if (have_password) uz.Password = password;
  if (overwrite == TUZOverwriteMode::Prompt) {
    // Without a person to ask (no terminal on stdin), existing files stay.
    uz.OnPromptForOverwrite = [](TUnZip&, bool& overwrite_it, int, std::string& name) {
      overwrite_it = false;
      if (!KV_ISATTY(stdin)) return;
      std::fprintf(stderr, "replace %s? [y/N] ", ToTerminal(name).c_str());
      char answer[16] = {};
      if (std::fgets(answer, sizeof answer, stdin) != nullptr) overwrite_it = answer[0] == 'y' || answer[0] == 'Y';
    };
  }
  try {
    uz.SetZipName(archive);
    if (command == 'l') return List(uz);
    uz.SetDestDir(dest.empty() ? platform::CurrentDirectory() : dest);
    return Extract(uz, command == 't', masks);
  } catch (const platform::Exception& e) {
    std::fprintf(stderr, "kvunzip: %s: %s\n", ToTerminal(archive).c_str(), ToTerminal(e.Message()).c_str());
    return kArchiveUnusable;
  }
}

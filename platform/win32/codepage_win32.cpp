#include <windows.h>

#include "platform/codepage.h"

namespace platform {
namespace {

std::wstring ToWide(std::string_view s, UINT cp) {
  if (s.empty()) return {};
  const int n = ::MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

// No best-fit mapping into the ANSI code page: a character the code page lacks
// becomes the replacement, never a look-alike (best fit turns the fullwidth
// solidus into "/", for one).
std::string FromWide(const std::wstring& w, UINT cp, const char* replacement) {
  if (w.empty()) return {};
  const DWORD flags = cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int n =
      ::WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), nullptr, 0, replacement, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(cp, flags, w.data(), static_cast<int>(w.size()), s.data(), n, replacement, nullptr);
  return s;
}

}  // namespace

std::string OemToAnsi(std::string_view oem) {
  std::string out(oem);
  if (!out.empty()) ::OemToCharBuffA(out.data(), out.data(), static_cast<DWORD>(out.size()));
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) { return FromWide(ToWide(ansi, CP_ACP), CP_UTF8, nullptr); }

std::string AnsiToTerminal(std::string_view ansi) {
  const UINT console = ::GetConsoleOutputCP();
  return FromWide(ToWide(ansi, CP_ACP), console != 0 ? console : CP_OEMCP, "?");
}

std::string Utf8ToAnsi(std::string_view utf8, char replacement) {
  const char rep[2] = {replacement, '\0'};
  return FromWide(ToWide(utf8, CP_UTF8), CP_ACP, rep);
}

}  // namespace platform

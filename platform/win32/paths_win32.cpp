#include "platform/paths.h"

namespace platform {

std::string PrefixRoot() { return {}; }

std::string HostPath(std::string_view path) { return std::string(path); }

std::string ProgramPathFromHost(std::string_view host_path) { return std::string(host_path); }

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
  out += name;
  return out;
}

}  // namespace platform

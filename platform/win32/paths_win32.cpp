#include "platform/paths.h"

namespace platform {

std::string PrefixRoot() { return {}; }

std::string HostPath(std::string_view path) { return std::string(path); }

std::string ProgramPathFromHost(std::string_view host_path) { return std::string(host_path); }

}  // namespace platform

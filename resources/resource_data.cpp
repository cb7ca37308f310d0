// Linux build: the program's custom resources, compiled in.
#include "platform/resources.h"

namespace platform {
namespace {

const unsigned char kSStream[] = {
#include "s_stream_data.inc"
};

}  // namespace

bool FindCustomResource(std::string_view type, std::string_view name, ResourceRef* out) {
  if (type == "S_StringTable" && name == "S_Stream") {
    out->found = kSStream;
    out->loaded = nullptr;
    out->size = sizeof kSStream;
    return true;
  }
  return false;
}

bool LoadCustomResource(ResourceRef* ref) {
  ref->loaded = ref->found;
  return ref->loaded != nullptr;
}

const unsigned char* LockCustomResource(const ResourceRef& ref) {
  return static_cast<const unsigned char*>(ref.loaded);
}

void UnlockCustomResource(const ResourceRef&) {}

void FreeCustomResource(ResourceRef* ref) { ref->loaded = nullptr; }

}  // namespace platform

#include <windows.h>

#include <string>

#include "platform/resources.h"

namespace platform {

bool FindCustomResource(std::string_view type, std::string_view name, ResourceRef* out) {
  const std::string t(type), n(name);
  HRSRC res = ::FindResourceA(nullptr, n.c_str(), t.c_str());
  if (res == nullptr) return false;
  out->found = res;
  out->loaded = nullptr;
  out->size = ::SizeofResource(nullptr, res);
  return true;
}

bool LoadCustomResource(ResourceRef* ref) {
  ref->loaded = ::LoadResource(nullptr, static_cast<HRSRC>(const_cast<void*>(ref->found)));
  return ref->loaded != nullptr;
}

const unsigned char* LockCustomResource(const ResourceRef& ref) {
  return static_cast<const unsigned char*>(::LockResource(static_cast<HGLOBAL>(const_cast<void*>(ref.loaded))));
}

// Resources of a Win32 module need no unlocking or freeing; the calls exist
// for the 16-bit API's sake and do nothing on Win32.
void UnlockCustomResource(const ResourceRef&) {}

void FreeCustomResource(ResourceRef* ref) {
  if (ref->loaded != nullptr) ::FreeResource(static_cast<HGLOBAL>(const_cast<void*>(ref->loaded)));
  ref->loaded = nullptr;
}

}  // namespace platform

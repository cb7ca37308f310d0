// The program's own custom resources (found in the Windows .exe through the
// Windows resource functions; compiled in on Linux).
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// A custom resource that was found (not yet loaded).
struct ResourceRef {
  const void* found = nullptr;   // HRSRC on Windows, the bytes on Linux
  const void* loaded = nullptr;  // HGLOBAL on Windows, the bytes on Linux
  size_t size = 0;
};

// Finds resource `name` of type `type` in the program's module.
bool FindCustomResource(std::string_view type, std::string_view name, ResourceRef* out);
// Loads a found resource.
bool LoadCustomResource(ResourceRef* ref);
// Locks a loaded resource; returns its bytes (size in ref->size) or nullptr.
const unsigned char* LockCustomResource(const ResourceRef& ref);
// Unlocks and frees (no-ops where the system needs nothing).
void UnlockCustomResource(const ResourceRef& ref);
void FreeCustomResource(ResourceRef* ref);

}  // namespace platform

// The stream error messages, kept as the custom resource "S_Stream" of type
// "S_StringTable" in the program's own module.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Message identifiers of the "S_Stream" table.
enum : int16_t {
  kSSeekError = 1,           // "Seek error"
  kSInvalidSeekOrigin = 2,   // "Invalid seek origin (%d)"
  kSPutbackOverflow = 3,     // "Putback overflow"
};

// The text with `id` in the table `resource`, or the empty text when the table
// has no such record. Raises platform::Exception "No such string resource: %s"
// when the table is missing, platform::EOutOfResources when it cannot be
// loaded or locked. Tables are loaded once and kept for the program's life.
std::string StreamMessage(std::string_view resource, int16_t id);

#include "unzip/stream_message.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/exceptions.h"
#include "platform/resources.h"

namespace {

// One string table loaded from a custom resource of type "S_StringTable".
class TS_StringResource {
 public:
  explicit TS_StringResource(std::string_view name) {
    if (!platform::FindCustomResource("S_StringTable", name, &ref_))
      throw platform::Exception("No such string resource: " + std::string(name));
    if (!platform::LoadCustomResource(&ref_))
      throw platform::EOutOfResources("Cannot load string resource " + std::string(name));
  }
  ~TS_StringResource() { platform::FreeCustomResource(&ref_); }
  TS_StringResource(const TS_StringResource&) = delete;
  TS_StringResource& operator=(const TS_StringResource&) = delete;

  // Walks the records until `id` or the terminating record (identifier 0).
  std::string Find(int16_t id) {
    const unsigned char* data = platform::LockCustomResource(ref_);
    if (data == nullptr) throw platform::EOutOfResources("Cannot lock string resource");
    std::string text;
    size_t at = 0;
    while (at + 3 <= ref_.size) {
      const auto rec_id = static_cast<int16_t>(data[at] | (data[at + 1] << 8));
      const size_t len = data[at + 2];
      if (rec_id == 0 || at + 3 + len > ref_.size) break;
      if (rec_id == id) {
        text.assign(reinterpret_cast<const char*>(data + at + 3), len);
        break;
      }
      at += 3 + len;
    }
    platform::UnlockCustomResource(ref_);
    return text;
  }

 private:
  platform::ResourceRef ref_;
};

}  // namespace

std::string StreamMessage(std::string_view resource, int16_t id) {
  // Readers are cached by resource name for the life of the program.
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<TS_StringResource>, std::less<>> readers;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = readers.find(resource);
  if (it == readers.end())
    it = readers.emplace(std::string(resource), std::make_unique<TS_StringResource>(resource)).first;
  return it->second->Find(id);
}

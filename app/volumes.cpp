#include "app/volumes.h"

#include "app/folders.h"
#include "app/product.h"

namespace app {

std::string VolumeSuffix(int volume) { return volume == 1 ? std::string() : std::to_string(volume); }

std::string VolumeFileName(int volume) { return ArchiveName + VolumeSuffix(volume); }

std::string VolumePath(int volume) { return SourceDir + "\\" + VolumeFileName(volume); }

}  // namespace app

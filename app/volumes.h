// The archive volumes beside the setup program: volume 1 is SourceDir\ArchiveName
// (setup.dat), volume n > 1 has the number appended (setup.dat2, setup.dat3).
#pragma once

#include <string>

namespace app {

// "" for volume 1, else the number in decimal digits.
std::string VolumeSuffix(int volume);
// ArchiveName followed by VolumeSuffix(volume).
std::string VolumeFileName(int volume);
// SourceDir + "\" + VolumeFileName(volume).
std::string VolumePath(int volume);

}  // namespace app

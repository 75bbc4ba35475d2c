#pragma once

#include <cstdint>
#include <string>

// What a part file was fetched from. A resume continues a part file only while the remote file
// is still the one its bytes came from: a file replaced under the same name between two runs
// would otherwise be completed with another file's tail. The size and time of that remote file
// are kept in a small hidden file beside the part file, which goes wherever the part file goes.
struct RemoteFileIdentity {
  int64_t size = 0;
  std::string modified;  // the server's time of the file (MDTM); empty when it did not tell
};

// The part file's path with ".origin" appended.
std::string OriginFilePath(const std::string& partPath);

enum class PartOrigin {
  Unrecorded,  // no origin file: a part file left by an older build
  Same,        // the recorded file is the remote one, as far as both tell
  Other,       // another size, another time where both are known, or an unreadable record
};

PartOrigin CompareOrigin(const std::string& originPath, const RemoteFileIdentity& remote);

// Creates or replaces the origin file (hidden on Windows) and waits until it is on the disk, so
// that no part file byte can be there without it. False when it cannot be written.
bool WriteOrigin(const std::string& originPath, const RemoteFileIdentity& remote);

#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform {

enum class WriteResult
{
    Ok,
    CreateFailed, // the file could not be made (missing folder, no rights, a read-only file, a
                  // folder of that name)
    WriteFailed,  // a write or the close failed (a full disk, an I/O error)
};

// Makes path hold exactly the given blocks. The bytes go to a new file in
// the same folder, which replaces path only once every write and the close
// have succeeded; on any failure that file is removed, so a failed save
// never leaves a partial file nor harms a good file already there. Devices
// and other special files are written in place, and never removed.
// A symbolic link is written through: the file it names (following a chain
// of links) is replaced, from a new file in that file's folder, and the
// link stays as it was. An existing file that the user may not write is
// left alone and gives CreateFailed.
WriteResult WriteWholeFile(const std::string &path,
                           std::span<const std::span<const std::uint8_t>> blocks);

} // namespace platform

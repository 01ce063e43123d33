#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

enum class WriteResult
{
    Ok,
    CreateFailed, // the file could not be made (missing folder, no rights, a read-only file, a
                  // folder of that name, a pipe nobody reads)
    WriteFailed,  // a write, the flush or the close failed (a full disk, an I/O error)
};

// Makes path hold exactly the given blocks. The bytes go to a new file in
// the same folder, which is flushed to the disk and then replaces path; the
// folder is flushed after the rename, so a save reported as done survives a
// crash or a power cut. On any failure that file is removed, so a failed
// save never leaves a partial file nor harms a good file already there.
// The replaced file's mode is kept, and its owner and group where the saver
// may set them.
//
// Where the folder refuses a new file or the rename (a folder the user may
// not write, a sticky folder such as /tmp holding another user's file) but
// the file itself may be written, it is written in place: the save then
// works as the shell's would, but is no longer all-or-nothing.
//
// Devices and pipes are written in place and never removed; a pipe that no
// program reads fails at once instead of waiting.
// A symbolic link is written through: the file it names (following a chain
// of links) is replaced, from a new file in that file's folder, and the
// link stays as it was. An existing file that the user may not write is
// left alone and gives CreateFailed.
//
// On failure, error (when given) is set to the system's error number.
WriteResult WriteWholeFile(const std::string &path,
                           std::span<const std::span<const std::uint8_t>> blocks,
                           int *error = nullptr);

// One file of a save of several: its path and its bytes.
struct WholeFile
{
    std::string path;
    std::span<const std::uint8_t> bytes;
};

// Writes each file as WriteWholeFile does, in order, but flushes each
// folder once, after the last rename, rather than after every file: the
// files of one save are on the disk when it returns, for one folder flush.
// Stops at the first failure, whose index goes to failed (files.size()
// when the last flush failed); the files written before it stay.
WriteResult WriteWholeFiles(std::span<const WholeFile> files, std::size_t *failed = nullptr,
                            int *error = nullptr);

// Writes the blocks into the regular file at path where it is, creating it
// when there is none: the file is never replaced, for a caller that made
// it and reads it back through a handle it keeps (a thumbnail service).
// Anything but a regular file is refused (ENXIO: a pipe would stall us or
// its reader). A write that fails part way leaves the file empty, or
// removes it when it was made here. Not flushed: such a file is a cache
// entry its caller reads at once.
WriteResult WriteIntoFile(const std::string &path,
                          std::span<const std::span<const std::uint8_t>> blocks,
                          int *error = nullptr);

// The reason for a failed write, as a user reads it: the system's text for
// error, with a clearer one for a pipe that nobody reads.
std::string WriteErrorText(int error);

} // namespace platform

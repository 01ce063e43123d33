#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace platform {

// The fixed version record in the layout programs have long carried it:
// signature, structure version, file version (most, then least significant
// word), product version (the same), flags mask, flags, operating system,
// file type, file subtype.
using TFixedFileInfo = std::array<std::uint32_t, 11>;

inline constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;

// The record as it is embedded in a file: a 16-byte marker, then the eleven
// words, little-endian. The program carries one, made from its build version.
QByteArray EncodeVersionRecord(const TFixedFileInfo &record);

// The record this program was built with.
TFixedFileInfo BuildVersionRecord();

// Looks for an embedded record anywhere in the file, reading it piece by
// piece. True, with record filled, when one is found; false, with record
// untouched, when the file cannot be read or carries none.
bool ReadVersionRecord(const QString &fileName, TFixedFileInfo &record);

} // namespace platform

#include "platform/versionrecord.h"

#include <QFile>

#include <cstddef>

#ifndef RURORODODE_VERSION_MAJOR
#error "the build passes the program's version"
#endif

namespace platform {

namespace {

constexpr std::size_t kMarkerSize = 16;
constexpr std::size_t kRecordSize = kMarkerSize + 11 * 4;

constexpr std::uint32_t kMajor = RURORODODE_VERSION_MAJOR;
constexpr std::uint32_t kMinor = RURORODODE_VERSION_MINOR;
constexpr std::uint32_t kRelease = RURORODODE_VERSION_PATCH;
constexpr std::uint32_t kBuild = RURORODODE_VERSION_TWEAK + 0;

constexpr TFixedFileInfo kBuildRecord = {
    kFixedSignature,
    0x00010000,
    (kMajor << 16) | (kMinor & 0xFFFF),
    (kRelease << 16) | (kBuild & 0xFFFF),
    (kMajor << 16) | (kMinor & 0xFFFF),
    (kRelease << 16) | (kBuild & 0xFFFF),
    0x3F,
    0,
    0x00040004, // 32-bit program
    1,          // an application
    0,
};

constexpr std::array<unsigned char, kRecordSize> Encode(const TFixedFileInfo &record)
{
    // Not text anywhere else in a file: a high byte, then line ends and ^Z
    // that text transfers would have mangled.
    constexpr unsigned char marker[kMarkerSize] = {0x89, 'R', 'u', 'r', 'o',  'V',  'e',  'r',
                                                   's',  'i', 'o', 'n', '\r', '\n', 0x1A, '\n'};
    std::array<unsigned char, kRecordSize> out{};
    for (std::size_t i = 0; i < kMarkerSize; ++i)
        out[i] = marker[i];
    for (std::size_t w = 0; w < record.size(); ++w)
        for (std::size_t b = 0; b < 4; ++b)
            out[kMarkerSize + w * 4 + b] = static_cast<unsigned char>(record[w] >> (8 * b));
    return out;
}

// The one copy in the program file; the marker the reader looks for is
// taken from it, so it appears nowhere else.
[[gnu::used]] const std::array<unsigned char, kRecordSize> kEmbedded = Encode(kBuildRecord);

std::uint32_t Le32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
           std::uint32_t(u[3]) << 24;
}

} // namespace

QByteArray EncodeVersionRecord(const TFixedFileInfo &record)
{
    // The marker comes from the embedded record, so that no second copy of
    // it lands in the program.
    QByteArray out(reinterpret_cast<const char *>(kEmbedded.data()), qsizetype(kMarkerSize));
    for (const std::uint32_t word : record)
        for (int b = 0; b < 4; ++b)
            out += static_cast<char>(static_cast<unsigned char>(word >> (8 * b)));
    return out;
}

TFixedFileInfo BuildVersionRecord()
{
    return kBuildRecord;
}

bool ReadVersionRecord(const QString &fileName, TFixedFileInfo &record)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArrayView marker(reinterpret_cast<const char *>(kEmbedded.data()), kMarkerSize);
    constexpr qint64 kChunk = 1 << 16;
    QByteArray window;
    for (;;) {
        const QByteArray chunk = file.read(kChunk);
        const bool atEnd = chunk.size() < kChunk;
        window += chunk;
        qsizetype from = 0;
        for (;;) {
            const qsizetype at = window.indexOf(marker, from);
            if (at < 0 || window.size() - at < qsizetype(kRecordSize))
                break;
            const char *words = window.constData() + at + kMarkerSize;
            if (Le32(words) == kFixedSignature) {
                for (std::size_t w = 0; w < record.size(); ++w)
                    record[w] = Le32(words + w * 4);
                return true;
            }
            from = at + 1;
        }
        if (atEnd)
            return false;
        // Keep just enough to see a record that straddles two pieces.
        window = window.right(qsizetype(kRecordSize) - 1);
    }
}

} // namespace platform

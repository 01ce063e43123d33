#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace platform {

// What the about window tells of the machine: the operating system, its
// memory and the free space of its disks, each already written out.
struct TSystemFacts
{
    QString OSName;
    QString OSVersion;
    QString MemInfo;
    // The first four disks (the root file system first), then the rest.
    QString DiskInfo1;
    QString DiskInfo2;
};

// Free bytes available to this user on the file system holding the folder,
// -1 when it does not answer.
using FreeSpaceQuery = std::function<qint64(const QString &mountPoint)>;

// "major.minor   Build : patch" from a kernel release such as "6.1.0-18-amd64".
QString OSVersionText(const QString &release);
// Both in kilobytes.
QString MemInfoText(qint64 totalKB, qint64 availableKB);
// Total and available memory in kilobytes from the text of /proc/meminfo.
std::optional<std::pair<qint64, qint64>> ParseMemInfo(const QString &meminfo);
// The mount points in a mount table (the text of /proc/self/mounts) whose
// file systems hold real storage (a device under /dev, loop devices aside),
// the root first whatever it is mounted from, each once.
QStringList StorageMountPoints(const QString &mountTable);
// Lists the disks as mount point, ": ", megabytes free, " MB  ". The root is
// always listed (0 MB when it does not answer); the list ends at the first
// disk after it that does not answer.
void DiskTexts(const QStringList &mountPoints, const FreeSpaceQuery &freeBytes, QString &info1,
               QString &info2);
// The text of the system-facts box: six lines.
QString FactsMessage(const TSystemFacts &facts);

// Asks the kernel.
TSystemFacts GatherSystemFacts();

} // namespace platform

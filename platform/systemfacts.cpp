#include "platform/systemfacts.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/statvfs.h>
#include <sys/utsname.h>

namespace platform {

namespace {

QString ReadProcFile(const QString &path)
{
    // Files under /proc report no size; read until the end.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Mount tables write blanks and a few other characters as octal escapes.
QString Unescape(const QString &field)
{
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == QLatin1Char('\\') && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

qint64 FreeBytesOf(const QString &mountPoint)
{
    struct statvfs info = {};
    if (statvfs(QFile::encodeName(mountPoint).constData(), &info) != 0)
        return -1;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

} // namespace

QString OSVersionText(const QString &release)
{
    static const QRegularExpression numbers(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch m = numbers.match(release);
    const int major = m.captured(1).toInt();
    const int minor = m.captured(2).toInt();
    const int patch = m.captured(3).toInt() & 0xFFFF;
    return QStringLiteral("%1.%2   Build : %3").arg(major).arg(minor).arg(patch);
}

QString MemInfoText(qint64 totalKB, qint64 availableKB)
{
    return QStringLiteral("Tot: %1 KB     Avl: %2 KB").arg(totalKB).arg(availableKB);
}

std::optional<std::pair<qint64, qint64>> ParseMemInfo(const QString &meminfo)
{
    std::optional<qint64> total;
    std::optional<qint64> available;
    for (const QString &line : meminfo.split(QLatin1Char('\n'))) {
        const QStringList parts = line.simplified().split(QLatin1Char(' '));
        if (parts.size() < 2)
            continue;
        bool ok = false;
        const qint64 value = parts[1].toLongLong(&ok);
        if (!ok)
            continue;
        if (parts[0] == QLatin1String("MemTotal:"))
            total = value;
        else if (parts[0] == QLatin1String("MemAvailable:"))
            available = value;
    }
    if (!total || !available)
        return std::nullopt;
    return std::pair{*total, *available};
}

QStringList StorageMountPoints(const QString &mountTable)
{
    QStringList points{QStringLiteral("/")};
    for (const QString &line : mountTable.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() < 3)
            continue;
        const QString &device = fields[0];
        if (!device.startsWith(QLatin1String("/dev/")) ||
            device.startsWith(QLatin1String("/dev/loop")))
            continue;
        const QString point = Unescape(fields[1]);
        if (!points.contains(point))
            points += point;
    }
    return points;
}

void DiskTexts(const QStringList &mountPoints, const FreeSpaceQuery &freeBytes, QString &info1,
               QString &info2)
{
    info1.clear();
    info2.clear();
    if (mountPoints.isEmpty())
        return;
    qint64 free = freeBytes(mountPoints[0]);
    for (qsizetype d = 0;; ++d) {
        const qint64 megabytes = free < 0 ? 0 : free / 1024 / 1024;
        const QString text = QStringLiteral("%1: %2 MB  ").arg(mountPoints[d]).arg(megabytes);
        (d < 4 ? info1 : info2) += text;
        if (d + 1 >= mountPoints.size())
            break;
        free = freeBytes(mountPoints[d + 1]);
        if (free == -1)
            break;
    }
}

QString FactsMessage(const TSystemFacts &facts)
{
    const QString separator = QStringLiteral("\n\r");
    return QStringLiteral("You are probably Running ") + facts.OSName + separator +
           QStringLiteral("Version Info: ") + facts.OSVersion + separator +
           QStringLiteral("Free Memory: ") + facts.MemInfo + separator +
           QStringLiteral("Free Hard disk Space: ") + separator + facts.DiskInfo1 + separator +
           facts.DiskInfo2;
}

TSystemFacts GatherSystemFacts()
{
    TSystemFacts facts;
    struct utsname names = {};
    if (uname(&names) == 0) {
        facts.OSName = QString::fromLocal8Bit(names.sysname);
        facts.OSVersion = OSVersionText(QString::fromLocal8Bit(names.release));
    } else {
        facts.OSVersion = OSVersionText(QString());
    }
    const auto memory = ParseMemInfo(ReadProcFile(QStringLiteral("/proc/meminfo")));
    facts.MemInfo = MemInfoText(memory ? memory->first : 0, memory ? memory->second : 0);

    // Files bound over single files are no disks.
    QStringList points;
    for (const QString &point :
         StorageMountPoints(ReadProcFile(QStringLiteral("/proc/self/mounts"))))
        if (point == QLatin1String("/") || QFileInfo(point).isDir())
            points += point;
    DiskTexts(points, FreeBytesOf, facts.DiskInfo1, facts.DiskInfo2);
    return facts;
}

} // namespace platform

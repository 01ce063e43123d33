// The system facts as written for the about window, and the version record
// read back from files that carry it.

#include "platform/systemfacts.h"
#include "platform/versionrecord.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

class SystemFactsTest : public QObject
{
    Q_OBJECT

private slots:
    void osVersion_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<QString>("text");
        QTest::newRow("debian") << "6.1.0-18-amd64"
                                << "6.1   Build : 0";
        QTest::newRow("patch") << "5.15.133+"
                               << "5.15   Build : 133";
        QTest::newRow("two numbers") << "4.9"
                                     << "4.9   Build : 0";
        QTest::newRow("patch over 16 bits") << "6.1.65537"
                                            << "6.1   Build : 1";
        QTest::newRow("nonsense") << "unknown"
                                  << "0.0   Build : 0";
    }

    void osVersion()
    {
        QFETCH(QString, release);
        QFETCH(QString, text);
        QCOMPARE(OSVersionText(release), text);
    }

    void memory()
    {
        const auto parsed = ParseMemInfo("MemTotal:       16318412 kB\n"
                                         "MemFree:         1234567 kB\n"
                                         "MemAvailable:    9876543 kB\n"
                                         "Buffers:          100000 kB\n");
        QVERIFY(parsed);
        QCOMPARE(parsed->first, 16318412);
        QCOMPARE(parsed->second, 9876543);
        QCOMPARE(MemInfoText(parsed->first, parsed->second),
                 QStringLiteral("Tot: 16318412 KB     Avl: 9876543 KB"));
        QVERIFY(!ParseMemInfo("MemTotal: 5 kB\n"));
    }

    void storageMounts()
    {
        const QString table = "overlay / overlay rw,relatime 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "tmpfs /dev tmpfs rw 0 0\n"
                              "/dev/sda2 /home ext4 rw 0 0\n"
                              "/dev/loop3 /snap/core squashfs ro 0 0\n"
                              "/dev/sdb1 /media/My\\040Disk vfat rw 0 0\n"
                              "/dev/sda2 /home ext4 rw 0 0\n"
                              "/dev/sda1 / ext4 rw 0 0\n";
        QCOMPARE(StorageMountPoints(table), (QStringList{"/", "/home", "/media/My Disk"}));
        QCOMPARE(StorageMountPoints(QString()), QStringList{"/"});
    }

    void disks_data()
    {
        QTest::addColumn<QStringList>("mounts");
        QTest::addColumn<QList<qint64>>("free");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        const qint64 mb = 1024 * 1024;
        QTest::newRow("root alone") << QStringList{"/"} << QList<qint64>{5 * mb + 1} << "/: 5 MB  "
                                    << "";
        QTest::newRow("four and two")
            << QStringList{"/", "/a", "/b", "/c", "/d", "/e"}
            << QList<qint64>{1 * mb, 2 * mb, 3 * mb, 4 * mb, 5 * mb, 6 * mb}
            << "/: 1 MB  /a: 2 MB  /b: 3 MB  /c: 4 MB  "
            << "/d: 5 MB  /e: 6 MB  ";
        QTest::newRow("third does not answer")
            << QStringList{"/", "/a", "/b", "/c"} << QList<qint64>{mb, 2 * mb, -1, 4 * mb}
            << "/: 1 MB  /a: 2 MB  "
            << "";
        QTest::newRow("root does not answer")
            << QStringList{"/", "/a"} << QList<qint64>{-1, 2 * mb} << "/: 0 MB  /a: 2 MB  "
            << "";
        QTest::newRow("truncated megabytes")
            << QStringList{"/"} << QList<qint64>{2 * mb - 1} << "/: 1 MB  "
            << "";
    }

    void disks()
    {
        QFETCH(QStringList, mounts);
        QFETCH(QList<qint64>, free);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QString info1 = "stale", info2 = "stale";
        DiskTexts(
            mounts, [&](const QString &point) { return free[mounts.indexOf(point)]; }, info1,
            info2);
        QCOMPARE(info1, first);
        QCOMPARE(info2, second);
    }

    void factsMessage()
    {
        const TSystemFacts facts{"Linux", "6.1   Build : 0", "Tot: 8 KB     Avl: 4 KB", "/: 1 MB  ",
                                 "/x: 2 MB  "};
        const QStringList lines = FactsMessage(facts).split("\n\r");
        QCOMPARE(lines,
                 (QStringList{"You are probably Running Linux", "Version Info: 6.1   Build : 0",
                              "Free Memory: Tot: 8 KB     Avl: 4 KB",
                              "Free Hard disk Space: ", "/: 1 MB  ", "/x: 2 MB  "}));
    }

    void gatheredFromThisMachine()
    {
        const TSystemFacts facts = GatherSystemFacts();
        QCOMPARE(facts.OSName, QStringLiteral("Linux"));
        QVERIFY(
            QRegularExpression("^\\d+\\.\\d+   Build : \\d+$").match(facts.OSVersion).hasMatch());
        QVERIFY(QRegularExpression("^Tot: [1-9]\\d* KB     Avl: \\d+ KB$")
                    .match(facts.MemInfo)
                    .hasMatch());
        QVERIFY(QRegularExpression("^/: \\d+ MB  ").match(facts.DiskInfo1).hasMatch());
    }

    void versionRecordInFiles()
    {
        QTemporaryDir dir;
        TFixedFileInfo v2011 = BuildVersionRecord();
        v2011[2] = 0x00020000;
        v2011[3] = 0x00010001;
        // A marker with the wrong signature first, then the record across
        // the reader's 64 KiB pieces.
        QByteArray decoy = EncodeVersionRecord(v2011);
        decoy[16] = 0;
        QByteArray bytes(65536 - 30 - 60, 'z');
        bytes.insert(100, decoy);
        bytes += EncodeVersionRecord(v2011);
        bytes += QByteArray(1000, 'q');
        const QString carrying = dir.filePath("carrying.bin");
        {
            QFile f(carrying);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        TFixedFileInfo record{};
        QVERIFY(ReadVersionRecord(carrying, record));
        QCOMPARE(record, v2011);

        // Every cut of the file that loses the record leaves the caller's own.
        const QString cut = dir.filePath("cut.bin");
        for (const qsizetype size :
             {qsizetype(0), qsizetype(65536 - 30), qsizetype(bytes.size() - 1000 - 1)}) {
            QFile f(cut);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes.left(size));
            f.close();
            TFixedFileInfo mine;
            mine.fill(0xABCD);
            QVERIFY(!ReadVersionRecord(cut, mine));
            QCOMPARE(mine[0], 0xABCDu);
            QCOMPARE(mine[10], 0xABCDu);
        }
        TFixedFileInfo mine;
        mine.fill(7);
        QVERIFY(!ReadVersionRecord(dir.filePath("missing"), mine));
        QCOMPARE(mine[3], 7u);

        // This program carries the version it was built with.
        TFixedFileInfo own{};
        QVERIFY(ReadVersionRecord(QCoreApplication::applicationFilePath(), own));
        QCOMPARE(own, BuildVersionRecord());
        QCOMPARE(own[0], kFixedSignature);
    }
};

QTEST_MAIN(SystemFactsTest)
#include "systemfacts_test.moc"

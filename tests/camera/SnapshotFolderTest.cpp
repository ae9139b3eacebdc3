#include "camera/SnapshotFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SnapshotFolderChoice : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(SnapshotFolderChoice, WritableProgramFolderIsUsed)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("bin"))));
    EXPECT_EQ(camera::chooseSnapshotFolder(path(QStringLiteral("bin")), path(QStringLiteral("pictures"))),
              path(QStringLiteral("bin/")));
    EXPECT_EQ(QDir(path(QStringLiteral("bin"))).entryList(QDir::Files | QDir::Hidden), QStringList())
        << "the probe file stays behind";
    EXPECT_FALSE(QDir(path(QStringLiteral("pictures"))).exists());
}

// Folders in which no file can be created, whoever runs the test (permission bits do not stop root).
TEST_F(SnapshotFolderChoice, PicturesFolderStandsInForAProgramFolderWithoutFiles)
{
    QFile plain(path(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString pictures = path(QStringLiteral("home/Pictures"));
    for (const QString& program :
         {path(QStringLiteral("plain/bin")), path(QStringLiteral("missing")), QString()}) {
        EXPECT_EQ(camera::chooseSnapshotFolder(program, pictures), pictures + QLatin1Char('/'))
            << program.toStdString();
        EXPECT_TRUE(QDir(pictures).exists());
    }
}

TEST_F(SnapshotFolderChoice, WindowLineNamesTheFolderAndWhySoWhenItIsNotTheProgramFolder)
{
    const QString program = camera::programFolder();
    const QString pictures = path(QStringLiteral("Pictures/"));
    for (const QString& folder : {program, pictures}) {
        const QString line = camera::snapshotFolderLine(folder);
        EXPECT_TRUE(line.contains(QDir::toNativeSeparators(folder))) << line.toStdString();
        EXPECT_FALSE(line.contains(QLatin1Char('\n')));
        EXPECT_EQ(line.contains(QStringLiteral("read-only")), folder != program) << line.toStdString();
    }
}

} // namespace

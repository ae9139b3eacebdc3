#include "SnapshotFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace camera {
namespace {

QString asFolder(const QString& folder)
{
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace

bool canCreateFilesIn(const QString& folder)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    QTemporaryFile probe(asFolder(folder) + QStringLiteral(".grab-probe-XXXXXX"));
    return probe.open(); // removed again when probe goes out of scope
}

QString chooseSnapshotFolder(const QString& programFolder, const QString& picturesFolder)
{
    if (canCreateFilesIn(programFolder))
        return asFolder(programFolder);
    const QString pictures = picturesFolder.isEmpty() ? QDir::homePath() : picturesFolder;
    QDir().mkpath(pictures);
    return asFolder(pictures);
}

QString programFolder()
{
    return asFolder(QCoreApplication::applicationDirPath());
}

QString defaultSnapshotFolder()
{
    return chooseSnapshotFolder(programFolder(),
                                QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
}

QString snapshotFolderLine(const QString& snapshotFolder)
{
    QString line = QStringLiteral("Snapshots are saved in %1").arg(QDir::toNativeSeparators(snapshotFolder));
    if (snapshotFolder == programFolder())
        return line;
    return line + QStringLiteral(" (the program folder is read-only)");
}

} // namespace camera

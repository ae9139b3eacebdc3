#include "SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& directory)
{
    QString dir = directory;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    path_ = QDir(dir).filePath(QString::fromLatin1(kName) + QStringLiteral(".lock"));
    lock_ = std::make_unique<QLockFile>(path_);
    // Only a lock whose process is gone is stale; a long-running station keeps its lock.
    lock_->setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    return lock_->tryLock(0);
}

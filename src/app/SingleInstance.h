#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One station per user session: a lock file in the user's runtime directory, named after the
// station's instance name. The lock of a run that crashed does not block the next start (the
// lock file names a process that no longer exists).
class SingleInstance {
public:
    static constexpr const char* kName = "{A3F31077923E447CB7E532595EF67D21}";

    // directory empty: the user's runtime directory.
    explicit SingleInstance(const QString& directory = QString());

    // True when this process is the only one running (it then holds the lock until destroyed).
    bool acquire();
    QString lockPath() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

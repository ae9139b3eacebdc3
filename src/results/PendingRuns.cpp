#include "PendingRuns.h"

#include "ResultsStore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool blank(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

std::string systemError(const std::string& what, const std::filesystem::path& file)
{
    return what + " " + file.string() + ": " + std::strerror(errno);
}

// An open descriptor, closed (and so unlocked) when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool readAll(int fd, std::string& content)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

// A new or removed directory entry survives a power cut only once its folder is synced.
void syncFolder(const std::filesystem::path& file)
{
    const auto folder = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Whether the descriptor still names the file at the path: a program that wrote the file in
// removes it while holding the lock, and whoever waited for the lock must then start a new file.
bool stillAtPath(int fd, const std::filesystem::path& file)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(file.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// Opens the pending file with an exclusive lock, so that a program ending (appending) and one
// starting (writing in and removing) on the same results file never lose each other's runs.
// -1 with errno set when it cannot be opened (ENOENT when it does not exist and create is false).
int openLocked(const std::filesystem::path& file, bool create)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT | O_APPEND : 0), 0666);
        if (fd < 0)
            return -1;
        int locked = 0;
        while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked == 0 && stillAtPath(fd, file))
            return fd;
        const int saved = errno;
        ::close(fd);
        if (locked != 0) {
            errno = saved;
            return -1;
        }
        if (!create) {
            errno = ENOENT; // written in and removed meanwhile
            return -1;
        }
    }
    errno = EBUSY;
    return -1;
}

} // namespace

std::filesystem::path pendingRunsFile(const std::filesystem::path& resultsFile)
{
    auto file = resultsFile;
    file += ".pending.jsonl";
    return file;
}

std::size_t pendingRunCount(const std::filesystem::path& pendingFile)
{
    const Descriptor fd(::open(pendingFile.c_str(), O_RDONLY | O_CLOEXEC));
    std::string content;
    if (fd.get() < 0 || !readAll(fd.get(), content))
        return 0;
    std::size_t count = 0;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = std::min(content.find('\n', start), content.size());
        count += blank(std::string_view(content.data() + start, end - start)) ? 0 : 1;
        start = end + 1;
    }
    return count;
}

bool appendPendingRuns(const std::filesystem::path& pendingFile, const std::vector<TestRun>& runs,
                       std::string* error)
{
    const auto fail = [&](const std::string& what) {
        if (error != nullptr)
            *error = systemError(what, pendingFile);
        return false;
    };
    std::string lines;
    for (const auto& run : runs)
        lines += pendingLine(run) + '\n';

    const Descriptor fd(openLocked(pendingFile, true));
    if (fd.get() < 0)
        return fail("cannot open");
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return fail("cannot read");
    // A line torn by an earlier crash must not swallow the first run added now.
    if (info.st_size > 0) {
        char last = '\n';
        if (::pread(fd.get(), &last, 1, info.st_size - 1) != 1)
            return fail("cannot read");
        if (last != '\n')
            lines.insert(lines.begin(), '\n');
    }
    if (!writeAll(fd.get(), lines) || ::fsync(fd.get()) != 0)
        return fail("cannot write");
    if (info.st_size == 0)
        syncFolder(pendingFile);
    return true;
}

PendingWriteIn writeInPendingRuns(ResultsStore& store, const std::filesystem::path& pendingFile)
{
    PendingWriteIn result;
    const Descriptor fd(openLocked(pendingFile, false));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return result;
        result.damage.push_back({0, systemError("cannot open", pendingFile)});
        return result;
    }
    std::string content;
    if (!readAll(fd.get(), content)) {
        result.damage.push_back({0, systemError("cannot read", pendingFile)});
        return result;
    }
    auto read = parsePendingRuns(content);
    result.damage = std::move(read.damage);
    for (const auto& run : read.runs) {
        if (store.writeIfAbsent(run))
            ++result.writtenIn;
        else
            ++result.alreadyThere;
    }
    // Removed only after every run is committed; still under the lock, so a run appended by
    // another program meanwhile goes to a new file.
    if (!result.damage.empty())
        return result;
    if (::unlink(pendingFile.c_str()) == 0) {
        result.removed = true;
        syncFolder(pendingFile);
    } else {
        result.removeFailure = systemError("cannot remove", pendingFile);
    }
    return result;
}

#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace atomicfile {

namespace {

// Closes the descriptor and removes the temporary file unless it was renamed into place.
class Temporary {
public:
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary()
    {
        if (fd >= 0)
            ::close(fd);
        if (!path.empty())
            ::unlink(path.c_str());
    }
    bool closeFile()
    {
        const int result = ::close(fd);
        fd = -1;
        return result == 0;
    }
    void keep() { path.clear(); }

    int fd = -1;
    std::string path;
};

// A hidden name next to the target, unique within this process and, through the pid, between
// processes; O_EXCL settles any remaining clash. The target's name is shortened so that the
// temporary name stays within the file system's limit however long the target's name is.
std::filesystem::path temporaryName(const std::filesystem::path& target, int attempt)
{
    static std::atomic<unsigned> counter{0};
    constexpr std::size_t kKeptNameBytes = 100;
    const std::string name = target.filename().string().substr(0, kKeptNameBytes);
    return target.parent_path() /
           ("." + name + ".tmp-" + std::to_string(::getpid()) + "-" +
            std::to_string(counter.fetch_add(1, std::memory_order_relaxed)) + "-" + std::to_string(attempt));
}

bool writeAll(int fd, std::string_view content)
{
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder)
{
    const std::string name = folder.empty() ? std::string(".") : folder.string();
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool fail(std::error_code* error)
{
    if (error)
        *error = std::error_code(errno, std::generic_category());
    return false;
}

} // namespace

bool write(const std::filesystem::path& target, std::string_view content, std::error_code* error)
{
    std::filesystem::path file = target;
    std::error_code ignored;
    if (std::filesystem::is_symlink(file, ignored))
        file = std::filesystem::weakly_canonical(file, ignored);

    struct stat existing {};
    const bool exists = ::stat(file.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        errno = EISDIR;
        return fail(error);
    }

    Temporary temp;
    for (int attempt = 0; temp.fd < 0; ++attempt) {
        temp.path = temporaryName(file, attempt).string();
        temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temp.fd < 0) {
            const int reason = errno;
            temp.path.clear();
            errno = reason;
            if (reason != EEXIST || attempt >= 16)
                return fail(error);
        }
    }
    if (exists && ::fchmod(temp.fd, existing.st_mode & 07777) != 0)
        return fail(error);
    if (!writeAll(temp.fd, content) || ::fsync(temp.fd) != 0 || !temp.closeFile())
        return fail(error);
    if (::rename(temp.path.c_str(), file.c_str()) != 0)
        return fail(error);
    temp.keep();
    // The new content is complete in place; a folder that cannot be synced only leaves open
    // whether the old or the new file survives a power cut, both of them whole.
    syncFolder(file.parent_path());
    if (error)
        error->clear();
    return true;
}

} // namespace atomicfile

// Files written whole: a save that fails part-way (disk full, quota, file-size limit) leaves the
// old file byte for byte and no temporary file behind.
#include "AtomicFile.h"

#include "IniFile.h"
#include "RawDataFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Writes a file of about `bytes` bytes through one of the station's writers; true on success.
using Saver = std::function<bool(const std::filesystem::path&, std::size_t bytes)>;

struct SaverCase {
    const char* name;
    Saver save;
};

bool saveAtomically(const std::filesystem::path& file, std::size_t bytes)
{
    return atomicfile::write(file, std::string(bytes, 'n'));
}

bool saveIni(const std::filesystem::path& file, std::size_t bytes)
{
    IniFile ini;
    ini.setValue("PARAMETER", "LONG", std::string(bytes, '7'));
    return ini.save(file);
}

bool saveRawData(const std::filesystem::path& file, std::size_t bytes)
{
    std::vector<rawdata::SampleRow> rows(bytes / 40 + 1);
    for (auto& row : rows)
        row.values.fill(12345);
    return rawdata::save(file, rows);
}

class AtomicSave : public TempDirTest, public testing::WithParamInterface<SaverCase> {
protected:
    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(target.parent_path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs the saver in a child process whose files may not grow beyond `limit` bytes, with
    // SIGXFSZ ignored so the write fails with EFBIG as on a full disk. The child's exit code
    // says whether the saver reported success (0) or failure (1).
    int saveUnderFileSizeLimit(std::size_t bytes, rlim_t limit)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit cap{limit, limit};
            if (::setrlimit(RLIMIT_FSIZE, &cap) != 0)
                ::_exit(2);
            ::_exit(GetParam().save(target, bytes) ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
    }

    std::filesystem::path target;
};

TEST_P(AtomicSave, FailingPartWayLeavesTheOldFileByteForByte)
{
    target = dir / "rawdata" / "old.file";
    std::filesystem::create_directories(target.parent_path());
    const std::string old = "[GLOBALPARAMETER]\r\nDEVICETYPE=TRIVELLAV2\r\nGUIROW=2\r\n";
    writeAll(target, old);

    EXPECT_EQ(saveUnderFileSizeLimit(20000, 4096), 1) << "the failure is reported";
    EXPECT_EQ(readAll(target), old);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"old.file"}) << "no temporary file left";
}

TEST_P(AtomicSave, ReplacesTheFileAndKeepsItsPermissions)
{
    target = dir / "rawdata" / "old.file";
    std::filesystem::create_directories(target.parent_path());
    writeAll(target, std::string(100000, 'o'));
    ::chmod(target.c_str(), 0640);

    ASSERT_TRUE(GetParam().save(target, 3000));
    const std::string now = readAll(target);
    EXPECT_GE(now.size(), 3000u);
    EXPECT_LT(now.size(), 100000u);
    EXPECT_EQ(now.find('o'), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"old.file"});
}

INSTANTIATE_TEST_SUITE_P(Writers, AtomicSave,
                         testing::Values(SaverCase{"AtomicWrite", saveAtomically},
                                         SaverCase{"IniSave", saveIni},
                                         SaverCase{"RawDataSave", saveRawData}),
                         [](const testing::TestParamInfo<SaverCase>& param) {
                             return std::string(param.param.name);
                         });

class AtomicFileTest : public TempDirTest {};

TEST_F(AtomicFileTest, NewFileFollowsTheUmaskAndAFolderIsNotReplaced)
{
    const mode_t previous = ::umask(022);
    EXPECT_TRUE(atomicfile::write(dir / "new.txt", "abc"));
    ::umask(previous);
    EXPECT_EQ(readAll(dir / "new.txt"), "abc");
    struct stat info {};
    ASSERT_EQ(::stat((dir / "new.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);

    std::filesystem::create_directory(dir / "folder");
    std::error_code error;
    EXPECT_FALSE(atomicfile::write(dir / "folder", "abc", &error));
    EXPECT_TRUE(error);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_FALSE(atomicfile::write(dir / "no_such_folder" / "x", "abc"));
}

// A name the file system just accepts must not fail because the temporary name is longer.
TEST_F(AtomicFileTest, LongestFileNameCanBeSaved)
{
    const std::string name = std::string(251, 'n') + ".ini"; // 255 bytes, the usual limit
    writeAll(dir / name, "old");
    ASSERT_EQ(readAll(dir / name), "old");
    std::error_code error;
    EXPECT_TRUE(atomicfile::write(dir / name, "new", &error)) << error.message();
    EXPECT_EQ(readAll(dir / name), "new");
}

TEST_F(AtomicFileTest, SymbolicLinkKeepsPointingAtTheReplacedFile)
{
    writeAll(dir / "real.ini", "old");
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(atomicfile::write(dir / "link.ini", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(readAll(dir / "real.ini"), "new");
}

} // namespace

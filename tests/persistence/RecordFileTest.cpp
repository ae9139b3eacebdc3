// The result record file: one header per run, 40 counts per line, appended.
#include "RecordFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

class RecordFileTest : public TempDirTest {
protected:
    static std::string header()
    {
        std::string h;
        for (int i = 0; i < 40; ++i)
            h += "CH" + std::to_string(i) + ",";
        return h + "\n";
    }
    static std::string line(std::vector<int> first)
    {
        first.resize(40, 0);
        std::string l;
        for (int v : first)
            l += std::to_string(v) + ",";
        return l + "\n";
    }
};

TEST_F(RecordFileTest, FirstAppendCreatesTheFileWithHeaderThenEveryRunAddsItsOwnHeader)
{
    std::array<std::uint16_t, 64> counts{};
    counts[0] = 0;
    counts[1] = 65535;
    counts[2] = 1234;
    {
        RecordFile run1; // "recoder.csv" in the current directory
        run1.append(counts);
        EXPECT_EQ(readAll("recoder.csv"), header() + line({0, 65535, 1234}));
        run1.append(counts);
    }
    RecordFile run2;
    run2.append(counts);
    EXPECT_EQ(readAll("recoder.csv"),
              header() + line({0, 65535, 1234}) + line({0, 65535, 1234}) + header() + line({0, 65535, 1234}));
}

TEST_F(RecordFileTest, EightChannelBoardGivesFortyFieldsAndLargerBoardsTheirFirstForty)
{
    std::array<std::uint16_t, 64> counts{};
    for (int i = 0; i < 8; ++i)
        counts[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(100 + i);
    RecordFile file("eight.csv");
    file.append(counts);
    EXPECT_EQ(readAll("eight.csv"), header() + line({100, 101, 102, 103, 104, 105, 106, 107}));

    std::array<std::uint16_t, 64> full{};
    full.fill(9);
    RecordFile wide("wide.csv");
    wide.append(full);
    EXPECT_EQ(readAll("wide.csv"), header() + line(std::vector<int>(40, 9)));
}

TEST_F(RecordFileTest, UnopenableFileIsSkippedSilentlyAndTriedAgainNextTime)
{
    std::filesystem::create_directory("recoder.csv"); // cannot be opened as a file
    RecordFile file;
    std::array<std::uint16_t, 64> counts{};
    counts[0] = 5;
    file.append(counts);
    std::filesystem::remove("recoder.csv");
    file.append(counts);
    EXPECT_EQ(readAll("recoder.csv"), header() + line({5}))
        << "the header was not written by the failed append";
}

} // namespace

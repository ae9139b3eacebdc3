// The program's command line and its single-instance lock.
#include "CommandLine.h"
#include "SingleInstance.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct CommandLineCase {
    QStringList args;
    bool ok;
    bool simulate;
    int rows, cols, channels;
    const char* trace;
};

class CommandLineParse : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineParse, OptionsAndTheirErrors)
{
    const CommandLineCase& c = GetParam();
    const CommandLine line = CommandLine::parse(c.args);
    EXPECT_EQ(line.error.empty(), c.ok) << line.error;
    if (!c.ok)
        return;
    EXPECT_EQ(line.simulate, c.simulate);
    EXPECT_EQ(line.rows, c.rows);
    EXPECT_EQ(line.cols, c.cols);
    EXPECT_EQ(line.channels, c.channels);
    EXPECT_EQ(line.traceFile.value_or(""), c.trace);
}

INSTANTIATE_TEST_SUITE_P(
    App, CommandLineParse,
    ::testing::Values(CommandLineCase{{}, true, false, 2, 2, 40, ""},
                      CommandLineCase{{"--simulate"}, true, true, 2, 2, 40, ""},
                      CommandLineCase{{"--simulate=4x4x64"}, true, true, 4, 4, 64, ""},
                      CommandLineCase{{"--simulate=1x3x8", "--trace", "t.log"}, true, true, 1, 3, 8, "t.log"},
                      CommandLineCase{{"--trace=a.log"}, true, false, 2, 2, 40, "a.log"},
                      CommandLineCase{{"--simulate=5x4x64"}, false, false, 0, 0, 0, ""},
                      CommandLineCase{{"--simulate=4x4x65"}, false, false, 0, 0, 0, ""},
                      CommandLineCase{{"--simulate=4x3"}, true, true, 4, 3, 40, ""},
                      CommandLineCase{{"--simulate=4x4x"}, false, false, 0, 0, 0, ""},
                      CommandLineCase{{"--simulate=0x4x8"}, false, false, 0, 0, 0, ""},
                      CommandLineCase{{"--trace"}, false, false, 0, 0, 0, ""},
                      CommandLineCase{{"--bogus"}, false, false, 0, 0, 0, ""}));

TEST(SingleInstanceLock, ASecondInstanceIsRefusedWhileTheFirstRuns)
{
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.acquire());
    SingleInstance second(dir.path());
    EXPECT_FALSE(second.acquire());
}

TEST(SingleInstanceLock, TheLockOfACrashedRunDoesNotBlock)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(SingleInstance::kName) + QStringLiteral(".lock"));
    // A lock file left behind by a process that no longer exists.
    QProcess dead;
    dead.start(QStringLiteral("true"));
    dead.waitForFinished();
    const qint64 gonePid = dead.processId() > 0 ? dead.processId() : 999999;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(gonePid) + "\nstenvikplus\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    file.close();

    SingleInstance next(dir.path());
    EXPECT_TRUE(next.acquire());
}

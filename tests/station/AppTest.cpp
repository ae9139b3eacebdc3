// The program's command line and its single-instance lock.
#include "CommandLine.h"
#include "SingleInstance.h"
#include "support/CaseName.h"

#include <QProcess>
#include <QRegularExpression>
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
                      CommandLineCase{{"--bogus"}, false, false, 0, 0, 0, ""}),
    [](const ::testing::TestParamInfo<CommandLineCase>& c) {
        // "--simulate=1x3x8 --trace t.log" -> "simulate_1x3x8_trace_tDotlog"
        if (c.param.args.isEmpty())
            return std::string("NoOptions");
        QStringList words;
        for (QString arg : c.param.args)
            words << arg.remove(QRegularExpression(QStringLiteral("^-+")))
                         .replace(QLatin1Char('='), QLatin1Char(' '));
        return caseNameFromText(words.join(QLatin1Char(' ')).toStdString());
    });

// The program's answers to --help, --version and an option it does not know, run as a process
// without a display.
struct ProgramCase {
    const char* name;
    QStringList args;
    int exitCode;
    const char* printed; // on stdout for 0, on stderr otherwise
};

class ProgramCommandLine : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramCommandLine, AnswersAndEndsWithItsExitCode)
{
    const ProgramCase& c = GetParam();
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(STENVIKPLUS_PROGRAM), c.args);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), c.exitCode);
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    const QString err = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE((c.exitCode == 0 ? out : err).contains(QString::fromUtf8(c.printed)))
        << "stdout: " << out.toStdString() << "\nstderr: " << err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    App, ProgramCommandLine,
    ::testing::Values(ProgramCase{"Help", {"--help"}, 0, "--simulate"},
                      ProgramCase{"HelpListsTrace", {"-h"}, 0, "--trace"},
                      ProgramCase{"Version", {"--version"}, 0, STATION_VERSION},
                      ProgramCase{"UnknownOptionPrintsTheUsage", {"--bogus"}, 64, "--simulate"},
                      ProgramCase{"BadGrid", {"--simulate=9x9x9"}, 64, "Usage"}),
    [](const ::testing::TestParamInfo<ProgramCase>& c) { return std::string(c.param.name); });

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

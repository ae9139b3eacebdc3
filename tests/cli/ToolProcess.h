#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Runs the built stenvikplus-cli as a process. Each rig has its own runtime directory, so the
// single-instance guard of one test never meets another test's (or a running window's) guard.
struct ToolRun {
    int exitCode = -1;
    bool crashed = false;
    std::string out;
    std::string err;
};

class ToolRig {
public:
    ToolRig()
    {
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(dir_.path()).mkdir(QStringLiteral("files"));
    }

    // The runtime directory the tool's guard lives in.
    QString runtimeDir() const { return dir_.path(); }
    // A path for the test's own files.
    std::string file(const char* name) const
    {
        return (dir_.path() + QStringLiteral("/files/") + name).toStdString();
    }

    QProcess* start(const QStringList& args)
    {
        auto* process = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(STENVIKPLUS_CLI), args);
        process->waitForStarted();
        return process;
    }

    ToolRun run(const QStringList& args, int timeoutMs = 60000)
    {
        QProcess* process = start(args);
        ToolRun result = finish(*process, timeoutMs);
        delete process;
        return result;
    }

    static ToolRun finish(QProcess& process, int timeoutMs = 60000)
    {
        ToolRun result;
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
        }
        result.crashed = process.exitStatus() != QProcess::NormalExit;
        result.exitCode = process.exitCode();
        result.out = process.readAllStandardOutput().toStdString();
        result.err = process.readAllStandardError().toStdString();
        return result;
    }

private:
    QTemporaryDir dir_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The reports a trace file says were written to the head, in order.
inline std::vector<std::array<std::uint8_t, 65>> writtenReports(const std::string& tracePath)
{
    std::vector<std::array<std::uint8_t, 65>> reports;
    std::ifstream in(tracePath);
    std::string seconds, direction, hex;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        if (!(fields >> seconds >> direction >> hex) || direction != "W" || hex.size() != 130)
            continue;
        std::array<std::uint8_t, 65> report{};
        for (std::size_t i = 0; i < report.size(); ++i)
            report[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        reports.push_back(report);
    }
    return reports;
}

// Command code of a header report (AA 55 code), or -1 for a data report.
inline int commandOf(const std::array<std::uint8_t, 65>& report)
{
    return report[1] == 0xAA && report[2] == 0x55 ? report[3] : -1;
}

// The second LCD lines the trace shows sent with ShowText, in order.
inline std::vector<std::string> lcdLines(const std::string& tracePath)
{
    std::vector<std::string> lines;
    for (const auto& report : writtenReports(tracePath))
        if (commandOf(report) == 0xB0) {
            std::string text(report.begin() + 26, report.begin() + 42);
            lines.push_back(text.substr(0, text.find('\0')));
        }
    return lines;
}

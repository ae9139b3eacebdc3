// `setup save` writes the file the window's Save writes for the same head, byte for byte: the
// real window runs against a simulated head with the demo setup, its Save command is answered
// through the file dialog, and the tool saves a head with the same setup.
#include "ToolProcess.h"
#include "station/CommandIds.h"
#include "station/WindowRig.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct SaveCase {
    const char* name;
    int rows, cols, channels;
};

void PrintTo(const SaveCase& c, std::ostream* os)
{
    *os << c.name;
}

class WindowAndToolSave : public ::testing::TestWithParam<SaveCase> {};

// Runs the window's Save command, naming the file in its dialog.
void saveFromWindow(WindowRig& rig, const std::string& path)
{
    QTimer answer;
    // Answered on every tick until the dialog has closed.
    QObject::connect(&answer, &QTimer::timeout, [&path] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (dialog == nullptr || !dialog->isVisible())
                continue;
            // Typed into the name field, as an operator would; selectFile() may only take effect
            // once the dialog has listed the folder.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name == nullptr)
                return;
            name->setText(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept();
            return;
        }
    });
    answer.start(50);
    rig.window.runCommand(station::cmd::kSave);
}

TEST_P(WindowAndToolSave, WriteTheSameBytes)
{
    const SaveCase& c = GetParam();
    ToolRig tool;
    const std::string fromWindow = tool.file("window.ini");
    const std::string fromTool = tool.file("tool.ini");
    {
        WindowRig rig(true, c.rows, c.cols, c.channels);
        ASSERT_TRUE(rig.startRunning());
        saveFromWindow(rig, fromWindow);
        ASSERT_FALSE(rig.messages.texts().isEmpty());
        ASSERT_EQ(rig.messages.texts().last().toStdString(), "文件保存成功！");
    }
    const QString grid = QStringLiteral("--simulate=%1x%2x%3").arg(c.rows).arg(c.cols).arg(c.channels);
    const ToolRun run = tool.run({grid, "setup", "save", QString::fromStdString(fromTool)});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const std::string windowBytes = readFile(fromWindow);
    ASSERT_FALSE(windowBytes.empty());
    EXPECT_EQ(readFile(fromTool), windowBytes);
}

INSTANTIATE_TEST_SUITE_P(Cli, WindowAndToolSave,
                         ::testing::Values(SaveCase{"DefaultDemo", 2, 2, 40}, SaveCase{"OneRowOf8", 1, 3, 8},
                                           SaveCase{"FullGrid", 4, 4, 64}),
                         [](const ::testing::TestParamInfo<SaveCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

// The baseline dialog's sample files: Save writes the listed samples of the board position to its
// raw-data file, Load asks first and lists the file's rows with the last line at the top.
#include "SettingDialogFixture.h"
#include "dialogs/setting/SampleList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace setting;

class SampleFiles : public SettingDialogTest {
protected:
    SampleFiles() : previousDirectory(QDir::currentPath()) { QDir::setCurrent(workDir.path()); }
    void TearDown() override { QDir::setCurrent(previousDirectory); }

    // Three captures of the four-channel board at (0, 1); the second is unticked.
    void captureThree(CSettingDlg& dialog)
    {
        for (std::uint16_t base : {100, 200, 300}) {
            grid.panel(0, 1).setRaw(std::vector<std::uint16_t>{
                base, std::uint16_t(base + 1), std::uint16_t(base + 2), std::uint16_t(base + 3)});
            click(dialog, id::kCapture);
        }
        control<SampleList>(dialog, id::kSamples)->setTicked(1, false);
    }

    QByteArray fileText() const
    {
        QFile file(workDir.filePath("rawdata/rawdata_0_1.csv"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir workDir;
    QString previousDirectory;
};

QByteArray line(const char* head, int a, int b, int c, int d)
{
    QByteArray text = QByteArray(head) + QByteArray::number(a) + ',' + QByteArray::number(b) + ',' +
                      QByteArray::number(c) + ',' + QByteArray::number(d);
    for (int i = 4; i < 32; ++i)
        text += ",0";
    return text;
}

TEST_F(SampleFiles, SaveWritesTheRowsTopFirstWithTheirIndex)
{
    auto dialog = openDialog(0, 1);
    captureThree(*dialog);
    click(*dialog, id::kSave);
    EXPECT_TRUE(messages.messages.empty());
    // Rows from the top: the newest capture (300) first, labelled by its index, not its counter.
    EXPECT_EQ(fileText(), line("0,1,", 300, 301, 302, 303) + "\r\n" + line("1,0,", 200, 201, 202, 203) +
                              "\r\n" + line("2,1,", 100, 101, 102, 103));
}

TEST_F(SampleFiles, LoadListsTheLastLineAtTheTopAndKeepsTheSampleCounter)
{
    auto dialog = openDialog(0, 1);
    captureThree(*dialog);
    click(*dialog, id::kSave);
    messages.answers.push_back(QMessageBox::Ok);
    click(*dialog, id::kLoad);

    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_EQ(messages.messages[0].text, QString::fromUtf8("真正需要重新载入？"));
    EXPECT_TRUE(messages.messages[0].caption.isEmpty());
    EXPECT_EQ(messages.messages[0].icon, QMessageBox::Question);
    EXPECT_TRUE(messages.messages[0].buttons.testFlag(QMessageBox::Cancel));

    auto* samples = control<SampleList>(*dialog, id::kSamples);
    ASSERT_EQ(samples->rowCount(), 3);
    EXPECT_EQ(samples->label(0), "2");
    EXPECT_EQ(samples->item(0, 1)->text(), "100");
    EXPECT_EQ(samples->label(1), "1");
    EXPECT_FALSE(samples->ticked(1));
    EXPECT_EQ(samples->label(2), "0");
    EXPECT_EQ(samples->item(2, 4)->text(), "303");

    click(*dialog, id::kCapture); // later captures go on with their own labels
    EXPECT_EQ(samples->label(0), "3");
}

TEST_F(SampleFiles, LoadCancelledChangesNothing)
{
    auto dialog = openDialog(0, 1);
    captureThree(*dialog);
    messages.answers.push_back(QMessageBox::Cancel);
    click(*dialog, id::kLoad);
    EXPECT_EQ(control<SampleList>(*dialog, id::kSamples)->rowCount(), 3);
}

// The file is looked for before the list is touched: without it the captured samples stay.
TEST_F(SampleFiles, LoadWithoutAFileKeepsTheList)
{
    auto dialog = openDialog(0, 1);
    captureThree(*dialog);
    messages.answers = {QMessageBox::Ok, QMessageBox::Ok};
    click(*dialog, id::kLoad);
    EXPECT_EQ(messages.texts(),
              (QStringList{QString::fromUtf8("真正需要重新载入？"), QString::fromUtf8("文件不存在")}));
    EXPECT_TRUE(messages.messages[1].caption.isEmpty());
    auto* samples = control<SampleList>(*dialog, id::kSamples);
    ASSERT_EQ(samples->rowCount(), 3);
    EXPECT_EQ(samples->item(0, 1)->text(), "300");
    EXPECT_FALSE(samples->ticked(1));
}

// A 64-channel board's samples come back with every channel (channels 32..63 were lost).
TEST_F(SampleFiles, SixtyFourChannelSamplesComeBackWhole)
{
    head->loadDemoSetup(2, 2, 64);
    ASSERT_TRUE(ops.readGlobalSettings());
    ASSERT_TRUE(ops.readBoardTable());
    auto dialog = openDialog(0, 1);
    std::vector<std::uint16_t> counts(64);
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = static_cast<std::uint16_t>(1000 + i);
    grid.panel(0, 1).setRaw(counts);
    click(*dialog, id::kCapture);
    click(*dialog, id::kSave);
    messages.answers.push_back(QMessageBox::Ok);
    click(*dialog, id::kLoad);

    auto* samples = control<SampleList>(*dialog, id::kSamples);
    ASSERT_EQ(samples->rowCount(), 1);
    ASSERT_EQ(samples->channelColumns(), 64);
    for (int channel : {0, 31, 32, 63})
        EXPECT_EQ(samples->value(0, channel), 1000 + channel) << "channel " << channel;
}

// Mended: a Save that cannot write says so instead of losing the samples silently.
TEST_F(SampleFiles, SaveThatCannotWriteTellsTheOperator)
{
    QFile blocker(workDir.filePath("rawdata"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    auto dialog = openDialog(0, 1);
    captureThree(*dialog);
    click(*dialog, id::kSave);
    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_TRUE(messages.messages[0].text.contains("rawdata_0_1.csv"));
    EXPECT_EQ(control<SampleList>(*dialog, id::kSamples)->rowCount(), 3);
}

} // namespace

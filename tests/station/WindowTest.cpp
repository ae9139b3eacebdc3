// The real main window, offscreen, against the simulated head.
#include "WindowRig.h"
#include "display/CColorBar.h"
#include "display/CStatusBarEx.h"
#include "station/StationTexts.h"
#include "texts/Texts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>

namespace text = station::text;

namespace {

QString qs(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

bool allTopMenus(const WindowRig& rig, bool enabled)
{
    const auto tops = rig.topMenus();
    if (tops.size() < 4)
        return false;
    for (int i = 0; i < 4; ++i)
        if (tops[i]->isEnabled() != enabled)
            return false;
    return true;
}

} // namespace

TEST(Window, HeadThatCannotBeOpenedIsExplainedInTitleStatusBarAndOneMessage)
{
    WindowRig rig(true);
    rig.bus.refuseOpen(WindowRig::kHeadPath, EACCES);
    rig.window.initialise(false);
    rig.idle(100);
    const QString expected =
        qs("测试头已插入但无法打开（没有权限）：请安装 udev 规则，或关闭占用测试头的程序，详见 README。");
    EXPECT_EQ(rig.window.windowTitle(), expected);
    EXPECT_EQ(rig.window.statusBarEx()->pane(0).label, expected);
    EXPECT_EQ(rig.messages.texts(), QStringList{expected});
    EXPECT_TRUE(allTopMenus(rig, false));
}

TEST(Window, StartsWithoutAHeadInTheDisconnectedState)
{
    WindowRig rig(false);
    rig.window.initialise(false);
    rig.idle(50);
    EXPECT_EQ(rig.window.windowTitle(), QStringLiteral("USB Disconnected"));
    EXPECT_TRUE(allTopMenus(rig, false));
    const CStatusBarEx::Pane& pane = rig.window.statusBarEx()->pane(0);
    EXPECT_EQ(pane.label, qs("未连接"));
    EXPECT_EQ(pane.labelColor, QColor(255, 255, 255));
    EXPECT_EQ(pane.fillColor, QColor(255, 0, 0));
    EXPECT_EQ(pane.fillMode, 1);
}

TEST(Window, PluggingInConnectsAndUnpluggingDisconnectsLater)
{
    WindowRig rig(false);
    rig.window.initialise(false);
    rig.addHead();
    ASSERT_TRUE(rig.pump([&] { return rig.window.station().loopRunning(); }));
    rig.idle(50);
    EXPECT_EQ(rig.window.windowTitle(), qs(texts::text(texts::TextId::ConnectedCaption, false)));
    EXPECT_TRUE(allTopMenus(rig, true));
    EXPECT_EQ(rig.topMenus().first()->text(), qs("文件(&F)"));
    EXPECT_FALSE(rig.command(32773)->isEnabled());
    EXPECT_EQ(rig.window.statusBarEx()->pane(0).label, qs("已连接"));
    EXPECT_TRUE(rig.window.statusBarEx()->pane(1).label.startsWith(QStringLiteral("GUID=")));
    EXPECT_FALSE(rig.window.statusBarEx()->progressVisible());

    rig.bus.unplug(WindowRig::kHeadPath);
    ASSERT_TRUE(rig.pump([&] { return rig.window.disconnectTimerActive(); }));
    EXPECT_NE(rig.window.windowTitle(), QStringLiteral("Disconnected"));
    ASSERT_TRUE(rig.pump([&] { return rig.window.windowTitle() == QStringLiteral("Disconnected"); }, 5000));
    EXPECT_TRUE(allTopMenus(rig, false));
    EXPECT_EQ(rig.window.statusBarEx()->pane(0).label, qs("未连接"));
}

TEST(Window, ASilentHeadIsShownInTheCaptionAndPaneZeroUntilItAnswers)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.window.channel().setReplyTimeout(std::chrono::milliseconds(200));
    rig.head->setNoReply(true);
    ASSERT_TRUE(rig.pump(
        [&] { return rig.window.windowTitle() == qs(texts::text(texts::TextId::HeadSilent, false)); }, 5000));
    EXPECT_EQ(rig.window.statusBarEx()->pane(0).label, qs(texts::text(texts::TextId::HeadSilent, false)));
    rig.idle(100);

    rig.head->setNoReply(false);
    ASSERT_TRUE(rig.pump(
        [&] { return rig.window.windowTitle() == qs(texts::text(texts::TextId::ConnectedCaption, false)); },
        5000));
    EXPECT_EQ(rig.window.statusBarEx()->pane(0).label, qs("已连接"));
    EXPECT_EQ(rig.head->restartCount(), 0);
}

TEST(Window, ClosingSwitchesTheHeadOff)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.window.close();
    const Payload control = rig.head->controlBlock();
    for (int byte : {8, 6, 5, 7, 1})
        EXPECT_EQ(control[static_cast<std::size_t>(byte)], 0) << byte;
    EXPECT_EQ(control[9], 1);
    EXPECT_EQ(rig.head->lcdLine(0), " SENSOR TESTER  ");
    EXPECT_EQ(rig.head->lcdLine(1), text::kLcdClosed);
}

TEST(Window, UnsupportedHeadEndsTheProgramAfterItsMessage)
{
    WindowRig rig;
    Payload identity = rig.head->block(storage::IDENTITY_BLOCK);
    identity[storage::kIdentityDeviceTypeOffset + 10] = 'X';
    rig.head->setBlock(storage::IDENTITY_BLOCK, identity);
    rig.window.initialise(false);
    ASSERT_TRUE(rig.pump([&] { return rig.exitCode.has_value(); }));
    EXPECT_EQ(*rig.exitCode, 0);
    ASSERT_EQ(rig.messages.texts(), QStringList{qs(texts::text(texts::TextId::UnsupportedType, false))});
    EXPECT_EQ(rig.messages.messages.front().caption, QString());
    EXPECT_EQ(rig.messages.messages.front().icon, QMessageBox::Warning);
}

TEST(Window, OperatorLocksRefuseTheirCommandsAndSendNothing)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.stopLoop());
    const struct {
        std::uint8_t bit;
        int command; // 0: the context menu
        const char* message;
    } cases[] = {{0x08, 32798, texts::text(texts::TextId::LockSave, false)},
                 {0x04, 32800, texts::text(texts::TextId::LockLoad, false)},
                 {0x20, 32787, texts::text(texts::TextId::LockExpandMenu, false)},
                 {0x02, 32789, texts::text(texts::TextId::LockContextSetting, false)},
                 {0x01, 0, texts::text(texts::TextId::LockContextMenu, false)}};
    for (const auto& c : cases) {
        GlobalSettings global = rig.window.setup().global();
        global.lockFlags = c.bit;
        rig.window.setup().setGlobal(global);
        rig.messages.messages.clear();
        rig.head->clearReceived();
        if (c.command == 0)
            EXPECT_EQ(rig.window.openContextMenu(QPoint(100, 100), false), nullptr);
        else
            rig.window.runCommand(c.command);
        EXPECT_EQ(rig.messages.texts(), QStringList{qs(c.message)}) << c.command;
        EXPECT_EQ(rig.messages.messages.front().caption, QStringLiteral("StenvikPlusDlg"));
        EXPECT_TRUE(rig.head->received().empty()) << c.command;
    }
}

TEST(Window, LanguageSwitchRebuildsTheMenuBarAndItsCheckMarks)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.command(32808)->trigger(); // as the operator chooses it
    rig.idle(50);
    EXPECT_EQ(rig.topMenus().first()->text(), QStringLiteral("&File"));
    EXPECT_EQ(rig.window.windowTitle(), qs(texts::text(texts::TextId::ConnectedCaption, true)));
    QMenu* help = rig.topMenus().at(3)->menu();
    QMenu* language = help->actions().first()->menu();
    rig.window.updateCheckMarks(language);
    EXPECT_TRUE(rig.command(32808)->isChecked());
    EXPECT_FALSE(rig.command(32807)->isChecked());
    EXPECT_EQ(rig.window.statusBarEx()->pane(0).label, QStringLiteral("Connected"));

    rig.window.runCommand(32807);
    rig.idle(50);
    EXPECT_EQ(rig.topMenus().first()->text(), qs("文件(&F)"));
    language = rig.topMenus().at(3)->menu()->actions().first()->menu();
    rig.window.updateCheckMarks(language);
    EXPECT_TRUE(rig.command(32807)->isChecked());
    EXPECT_FALSE(rig.command(32808)->isChecked());
}

TEST(Window, OutputBitsShowTheirCheckMarks)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    QMenu* edit = rig.topMenus().at(1)->menu();
    QMenu* led = nullptr;
    for (QAction* a : edit->actions())
        if (a->menu() != nullptr && uikit::findCommand(a->menu(), 32795))
            led = a->menu();
    ASSERT_NE(led, nullptr);
    rig.window.updateCheckMarks(led);
    const bool before = rig.command(32795)->isChecked();
    rig.window.runCommand(32795);
    rig.window.updateCheckMarks(led);
    EXPECT_NE(rig.command(32795)->isChecked(), before);
    EXPECT_EQ((rig.head->block(storage::SETTINGS_BLOCK)[0] & 0x04) != 0, !before);
}

TEST(Window, ContextMenuNamesTheBoardUnderTheCursorAndChecksItsValues)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.window.runCommand(32808); // English
    rig.idle(50);
    CColorBar* bar = rig.window.colorBar();
    // A point in row 1, column 0 of the view, given in the window's coordinates.
    const QPoint inView(bar->width() / 4, bar->height() * 3 / 4);
    QMenu* menu = rig.window.openContextMenu(bar->mapTo(&rig.window, inView), false);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("Row 1 Col 0 Setting"));
    EXPECT_EQ(uikit::commandId(menu->actions().first()), 32789);

    rig.window.runCommand(32823 + 5); // current 5 on board (1, 0)
    menu = rig.window.openContextMenu(bar->mapTo(&rig.window, inView), false);
    QAction* five = uikit::findCommand(menu, 32828);
    ASSERT_NE(five, nullptr);
    EXPECT_TRUE(five->isChecked());
    EXPECT_FALSE(uikit::findCommand(menu, 32827)->isChecked());
    EXPECT_EQ(rig.window.setup().measure(2).current, 5);
}

// A right-click beside the shown grid opens no menu: there is no board there to act on.
TEST(Window, ContextMenuOnlyOnShownBoards)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    CColorBar* bar = rig.window.colorBar();
    const int w = bar->width();
    const int h = bar->height();
    for (const QPoint inView : {QPoint(w - 1, h / 4), QPoint(w / 4, h - 1), QPoint(w - 1, h - 1)}) {
        rig.head->clearReceived();
        EXPECT_EQ(rig.window.openContextMenu(bar->mapTo(&rig.window, inView), false), nullptr)
            << inView.x() << "," << inView.y() << " in a " << w << "x" << h << " view";
    }
    EXPECT_NE(rig.window.openContextMenu(bar->mapTo(&rig.window, QPoint(w - 3, h - 3)), false), nullptr);
}

TEST(Window, ContextMenuOfAnotherDeviceTypeHasABlankFirstItem)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    Payload identity = rig.head->block(storage::IDENTITY_BLOCK);
    identity[storage::kIdentityDeviceTypeOffset + 9] = '3';
    rig.head->setBlock(storage::IDENTITY_BLOCK, identity);
    QMenu* menu = rig.window.openContextMenu(QPoint(50, 80), false);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().first()->text().isEmpty());
    EXPECT_EQ(uikit::commandId(menu->actions().first()), 32789);
}

TEST(Window, GainGateFollowsTheBoardFirmware)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.window.openContextMenu(QPoint(20, 40), false);
    const int b = rig.window.setup().global().gridCols * rig.window.colorBar()->hitRow() +
                  rig.window.colorBar()->hitCol();
    BoardMeasureSettings measure = rig.window.setup().measure(b);
    measure.firmwareVersion = 0x0107;
    rig.window.setup().setMeasure(b, measure);
    rig.window.runCommand(32815 + 2);
    ASSERT_EQ(rig.messages.messages.size(), 1U);
    EXPECT_EQ(rig.messages.messages.front().caption, qs(texts::text(texts::TextId::VersionCaption, false)));
    EXPECT_EQ(rig.messages.messages.front().icon, QMessageBox::Information);
    EXPECT_TRUE(rig.messages.texts().front().contains(QStringLiteral("Ver1.07")));

    measure.firmwareVersion = 0x0108;
    rig.window.setup().setMeasure(b, measure);
    rig.window.runCommand(32815 + 2);
    EXPECT_EQ(rig.messages.messages.size(), 1U);
    EXPECT_EQ(rig.head->memory(storage::boardRecordAddress(b) + 22, 1).front(), 3);
}

TEST(Window, EnterAndSpaceClearTheLatchesAndEscapeDoesNotClose)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    for (int key : {Qt::Key_Return, Qt::Key_Space}) {
        rig.window.grid().panel(0, 0).excess[0] = 1;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&rig.window, &press);
        EXPECT_EQ(rig.window.grid().panel(0, 0).excess[0].load(), 0) << key;
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&rig.window, &escape);
    rig.idle(20);
    EXPECT_TRUE(rig.window.isVisible());
}

TEST(Window, RecordingAppendsTheCountsToTheRecordFile)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        WindowRig rig;
        ASSERT_TRUE(rig.startRunning());
        rig.window.runCommand(32846);
        const int reads = rig.countCommand(0x30);
        ASSERT_TRUE(rig.pump([&] { return rig.countCommand(0x30) > reads + 8; }));
        rig.window.runCommand(32846);
    }
    QDir::setCurrent(previous);
    QFile file(dir.filePath(QStringLiteral("recoder.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines =
        QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("CH0,CH1,")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("CH39,")));
    EXPECT_EQ(lines[1].count(QLatin1Char(',')), 40);
}

TEST(Window, ClosingDuringBoardLoadingOrAOneKeySettingEnds)
{
    {
        WindowRig rig(true, 4, 4, 64);
        rig.window.initialise(false);
        ASSERT_TRUE(rig.pump([&] { return rig.countCommand(0x23) > 10; }));
        rig.window.close();
        EXPECT_EQ(rig.head->lcdLine(1), text::kLcdClosed);
    }
    {
        WindowRig rig(true, 4, 4, 64);
        ASSERT_TRUE(rig.startRunning());
        rig.window.runCommand(32813);
        rig.idle(30);
        rig.window.close();
        EXPECT_EQ(rig.head->lcdLine(1), text::kLcdClosed);
    }
}

// The one-key setting asks first, naming the parameters and the number of boards; No writes nothing.
TEST(Window, OneKeySettingAsksFirstAndNoWritesNothing)
{
    WindowRig rig(true, 2, 2, 8);
    ASSERT_TRUE(rig.startRunning());
    BoardRecord record = rig.window.setup().workRecord();
    record.setFlag(BoardRecord::PercentMode, true);
    record.percentage = 12;
    rig.window.setup().setWorkRecord(record);
    const std::vector<std::uint8_t> before = rig.head->memory(0, 256 + 4 * storage::kBoardRegionSize);

    rig.messages.answers.push_back(QMessageBox::No);
    rig.window.runCommand(32813);
    rig.idle(300);
    ASSERT_EQ(rig.messages.texts().size(), 1);
    const QString question = rig.messages.texts().front();
    EXPECT_TRUE(question.contains(QString::fromUtf8("百分比12%"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QString::fromUtf8("全部4块板"))) << question.toStdString();
    EXPECT_EQ(rig.messages.messages.front().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(rig.head->memory(0, 256 + 4 * storage::kBoardRegionSize), before);

    rig.window.runCommand(32813); // answered Yes
    ASSERT_TRUE(rig.pump([&] { return rig.messages.texts().size() == 3; }));
    EXPECT_EQ(rig.messages.texts().back(), QString::fromUtf8("一键设置完成!"));
}

namespace {

// Picks `path` in the next file dialog the window opens.
void chooseInNextFileDialog(const QString& path)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, path] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own accept() is protected
        }
    });
    timer->start();
}

} // namespace

// A Load whose Restart cannot be sent (the head left the bus while the operator read the
// success message) shows that message once, not a second time.
TEST(Window, LoadWhoseRestartFailsShowsTheSuccessOnce)
{
    WindowRig rig;
    ASSERT_TRUE(rig.startRunning());
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("setup.ini"));
    chooseInNextFileDialog(file);
    rig.window.runCommand(32798);
    ASSERT_EQ(rig.messages.texts(), QStringList{qs("文件保存成功！")});
    rig.messages.messages.clear();

    const auto recorder = uikit::setMessageHandler({});
    uikit::setMessageHandler([&](const uikit::MessageRequest& request) {
        if (request.text == qs("文件载入成功！"))
            rig.bus.unplug(WindowRig::kHeadPath); // the Restart that follows finds no head
        return recorder(request);
    });
    chooseInNextFileDialog(file);
    rig.window.runCommand(32800);
    uikit::setMessageHandler(recorder);

    EXPECT_EQ(rig.head->restartCount(), 0);
    EXPECT_EQ(rig.messages.texts(), QStringList{qs("文件载入成功！")});
}

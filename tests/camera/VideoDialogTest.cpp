#include "camera/CCaptureVideo.h"
#include "camera/CSampleGrabberCB.h"
#include "camera/CVideoDialog.h"
#include "camera/SnapshotFolder.h"
#include "camera/VideoDialogLayout.h"
#include "support/MessageRecorder.h"
#include "texts/QtTexts.h"
#include "uikit/ControlId.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMediaDevices>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVideoWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

template <typename T = QWidget> T* control(QWidget* dialog, int id)
{
    return uikit::findControl<T>(dialog, id);
}

TEST(VideoDialog, HasTheWindowsControls)
{
    CVideoDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Video dialog"));
    EXPECT_FALSE(dialog.isModal());
    EXPECT_NE(dialog.minimumSize(), dialog.maximumSize()) << "resizable";

    ASSERT_NE(control<QComboBox>(&dialog, 1047), nullptr);
    EXPECT_FALSE(control<QComboBox>(&dialog, 1047)->isEditable());
    struct Button {
        int id;
        const char* text;
        bool visible;
    };
    for (const Button& b : {Button{1048, "&Open", true}, Button{1049, "&Snapshot", true},
                            Button{1, "OK", false}, Button{2, "Cancel", false}}) {
        auto* button = control<QPushButton>(&dialog, b.id);
        ASSERT_NE(button, nullptr) << b.id;
        EXPECT_EQ(button->text(), QString::fromLatin1(b.text));
        EXPECT_EQ(button->isVisible(), b.visible) << b.id;
    }
    auto* preview = control<QFrame>(&dialog, 1050);
    ASSERT_NE(preview, nullptr);
    EXPECT_NE(preview->frameShape(), QFrame::NoFrame);
}

TEST(VideoDialog, SaysInOneLineWhereSnapshotsGo)
{
    CVideoDialog dialog;
    const QString expected = camera::snapshotFolderLine(CSampleGrabberCB::instance().folder());
    bool found = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        found = found || label->text() == expected;
    EXPECT_TRUE(found) << expected.toStdString();
}

// Without a camera the window says so, in the interface language, and offers no button that
// would do nothing.
class VideoDialogWithoutCamera : public ::testing::TestWithParam<bool> {};

TEST_P(VideoDialogWithoutCamera, SaysSoAndOffersNoButtons)
{
    if (!QMediaDevices::videoInputs().isEmpty())
        GTEST_SKIP() << "this machine has a camera";
    MessageRecorder messages;
    CVideoDialog dialog(nullptr, GetParam());
    dialog.show();
    auto* list = control<QComboBox>(&dialog, 1047);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->placeholderText(), texts::qtext(texts::TextId::NoCamera, GetParam()));
    EXPECT_TRUE(list->placeholderText().contains(GetParam() ? QStringLiteral("No camera found")
                                                            : QString::fromUtf8("未找到摄像头")));
    EXPECT_FALSE(control<QPushButton>(&dialog, 1048)->isEnabled());

    control<QPushButton>(&dialog, 1048)->click();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(dialog.capture().isOpen());
    EXPECT_TRUE(dialog.findChildren<QVideoWidget*>().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Languages, VideoDialogWithoutCamera, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& language) {
                             return std::string(language.param ? "English" : "Chinese");
                         });

// Every window's Snapshot raises the one request that the next frame of any window serves.
TEST(VideoDialog, SnapshotRaisesTheProcessWideRequest)
{
    CSampleGrabberCB& grabber = CSampleGrabberCB::instance();
    const QString programFolder = grabber.folder();
    QTemporaryDir dir;
    grabber.setFolder(dir.path() + QLatin1Char('/'));

    CVideoDialog first;
    CVideoDialog second;
    first.show();
    second.show();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(grabber.snapshotRequested());
    control<QPushButton>(&second, 1049)->click();
    control<QPushButton>(&first, 1049)->click();
    EXPECT_TRUE(grabber.snapshotRequested());

    const int number = grabber.snapshotCounter();
    QImage frame(8, 6, QImage::Format_RGB32);
    frame.fill(Qt::darkCyan);
    grabber.bufferCB(frame);
    grabber.bufferCB(frame);
    EXPECT_FALSE(grabber.snapshotRequested());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("grab%1.bmp").arg(number))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("grab%1.bmp").arg(number + 1))));
    grabber.setFolder(programFolder);
}

struct SizeCase {
    QSize client;
    QRect preview;
};

class PreviewArea : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PreviewArea, FollowsTheWindowSize)
{
    EXPECT_EQ(camera::previewAreaRect(GetParam().client), GetParam().preview);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PreviewArea,
                         ::testing::Values(SizeCase{{670, 565}, {20, 75, 640, 480}},
                                           SizeCase{{1000, 700}, {20, 75, 970, 615}},
                                           SizeCase{{460, 200}, {20, 75, 430, 115}},
                                           SizeCase{{25, 80}, {20, 75, 0, 0}},
                                           SizeCase{{0, 0}, {20, 75, 0, 0}}),
                         [](const ::testing::TestParamInfo<SizeCase>& c) {
                             return "Client" + std::to_string(c.param.client.width()) + "x" +
                                    std::to_string(c.param.client.height());
                         });

TEST(VideoDialog, PreviewAreaFollowsResizing)
{
    CVideoDialog dialog;
    dialog.show();
    for (const QSize size : {QSize(670, 565), QSize(900, 700), QSize(500, 300)}) {
        dialog.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(control(&dialog, 1050)->geometry(), camera::previewAreaRect(dialog.size()));
    }
}

// The main window opens camera windows this way and never keeps a reference to them.
TEST(VideoDialog, OpensAsManyDeletingWindowsAsAsked)
{
    std::vector<QPointer<CVideoDialog>> windows;
    for (int i = 0; i < 3; ++i) {
        auto* dlg = new CVideoDialog;
        dlg->setAttribute(Qt::WA_DeleteOnClose);
        dlg->show();
        windows.emplace_back(dlg);
    }
    for (const auto& w : windows)
        EXPECT_TRUE(w->isVisible());
    windows[1]->close();
    windows[2]->reject(); // Esc
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(windows[1]);
    EXPECT_FALSE(windows[2]);
    ASSERT_TRUE(windows[0]);
    delete windows[0].data();
}

TEST(CaptureVideo, DeviceThatCannotBeUsedIsReportedAndLeavesNothingBehind)
{
    MessageRecorder messages;
    QWidget window;
    auto* area = new QFrame(&window);
    CCaptureVideo capture;
    EXPECT_FALSE(capture.open(QCameraDevice(), area));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral(u"Can\u2019t build the graph")});
    EXPECT_FALSE(capture.isOpen());
    EXPECT_EQ(capture.videoWindow(), nullptr);
    EXPECT_TRUE(area->findChildren<QVideoWidget*>().isEmpty());
    capture.close(); // again: harmless
}

} // namespace

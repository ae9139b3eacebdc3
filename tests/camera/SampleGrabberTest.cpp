#include "camera/Bmp24.h"
#include "camera/CSampleGrabberCB.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QVideoFrame>
#include <QVideoFrameFormat>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

QImage colourFrame(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A fresh grabber (counter at 0, no request) writing into its own empty folder.
class SampleGrabber : public ::testing::Test {
protected:
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString file(int number) const { return folder() + QStringLiteral("grab%1.bmp").arg(number); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    CSampleGrabberCB grabber{folder()};
    MessageRecorder messages;
};

TEST_F(SampleGrabber, FramesWithoutRequestWriteNothing)
{
    EXPECT_EQ(grabber.bufferCB(colourFrame(8, 8, qRgb(1, 2, 3))), CSampleGrabberCB::Result::Ok);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_EQ(grabber.snapshotCounter(), 0);
}

TEST_F(SampleGrabber, SnapshotsAreNumberedFromGrab0WithTheNextFrame)
{
    const QImage first = colourFrame(640, 480, qRgb(200, 100, 50));
    const QImage second = colourFrame(320, 240, qRgb(10, 20, 30));

    grabber.requestSnapshot();
    EXPECT_EQ(grabber.bufferCB(first), CSampleGrabberCB::Result::Ok);
    EXPECT_FALSE(grabber.snapshotRequested());
    grabber.bufferCB(second); // no request: not written
    grabber.requestSnapshot();
    grabber.bufferCB(second);

    EXPECT_EQ(files(), QStringList({QStringLiteral("grab0.bmp"), QStringLiteral("grab1.bmp")}));
    const QByteArray grab0 = readAll(file(0));
    EXPECT_EQ(grab0.size(), 921654);
    EXPECT_EQ(grab0, camera::bmp24File(first));
    EXPECT_EQ(readAll(file(1)), camera::bmp24File(second));
    EXPECT_EQ(grabber.snapshotCounter(), 2);
}

// A folder whose path holds placeholders of QString::arg keeps them: the snapshot lands in it
// (it was written elsewhere, or nowhere, and lost).
struct PlaceholderFolder {
    const char* name;
    const char* subfolder;
};

class SnapshotFolderWithPlaceholders : public ::testing::TestWithParam<PlaceholderFolder> {};

TEST_P(SnapshotFolderWithPlaceholders, SnapshotLandsInThatFolder)
{
    QTemporaryDir root;
    const QString folder =
        root.path() + QLatin1Char('/') + QString::fromUtf8(GetParam().subfolder) + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(folder));
    CSampleGrabberCB grabber(folder);
    grabber.requestSnapshot();
    grabber.bufferCB(colourFrame(4, 4, qRgb(9, 9, 9)));
    grabber.requestSnapshot();
    grabber.bufferCB(colourFrame(4, 4, qRgb(9, 9, 9)));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              QStringList({QStringLiteral("grab0.bmp"), QStringLiteral("grab1.bmp")}));
}

INSTANTIATE_TEST_SUITE_P(Folders, SnapshotFolderWithPlaceholders,
                         ::testing::Values(PlaceholderFolder{"PercentOne", "shots%1"},
                                           PlaceholderFolder{"PercentTwo", "shots%2"},
                                           PlaceholderFolder{"Both", "a%2b%1c"},
                                           PlaceholderFolder{"PercentNinetyNine", "line %99"}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(SampleGrabber, TwoRequestsBeforeAFrameGiveOneFile)
{
    grabber.requestSnapshot();
    grabber.requestSnapshot();
    grabber.bufferCB(colourFrame(4, 4, qRgb(9, 9, 9)));
    grabber.bufferCB(colourFrame(4, 4, qRgb(9, 9, 9)));
    EXPECT_EQ(files(), QStringList{QStringLiteral("grab0.bmp")});
}

TEST_F(SampleGrabber, VideoFrameIsWrittenConverted)
{
    QVideoFrame frame(QVideoFrameFormat(QSize(2, 1), QVideoFrameFormat::Format_BGRX8888));
    ASSERT_TRUE(frame.map(QVideoFrame::WriteOnly));
    const uchar pixels[] = {0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0xFF}; // blue, green, red, pad
    std::copy(std::begin(pixels), std::end(pixels), frame.bits(0));
    frame.unmap();

    grabber.requestSnapshot();
    EXPECT_EQ(grabber.bufferCB(frame), CSampleGrabberCB::Result::Ok);
    const QByteArray grab0 = readAll(file(0));
    ASSERT_EQ(grab0.size(), 54 + 8);
    EXPECT_EQ(grab0.mid(54), QByteArray::fromHex("1020304050600000"));
}

TEST_F(SampleGrabber, FrameWithoutPictureLeavesTheRequestForTheNext)
{
    grabber.requestSnapshot();
    EXPECT_EQ(grabber.bufferCB(QVideoFrame()), CSampleGrabberCB::Result::InvalidPointer);
    EXPECT_EQ(grabber.bufferCB(QImage()), CSampleGrabberCB::Result::InvalidPointer);
    EXPECT_TRUE(grabber.snapshotRequested());
    EXPECT_TRUE(files().isEmpty());

    grabber.bufferCB(colourFrame(2, 2, qRgb(0, 0, 0)));
    EXPECT_EQ(files(), QStringList{QStringLiteral("grab0.bmp")});
}

TEST_F(SampleGrabber, ExistingFileIsReplaced)
{
    {
        QFile old(file(0));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    const QImage frame = colourFrame(3, 3, qRgb(7, 8, 9));
    grabber.requestSnapshot();
    grabber.bufferCB(frame);
    EXPECT_EQ(readAll(file(0)), camera::bmp24File(frame));
}

TEST_F(SampleGrabber, UncreatableFileLosesTheSnapshotSilently)
{
    // A folder below a plain file cannot exist, whoever runs the test.
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    grabber.setFolder(plain.fileName() + QStringLiteral("/sub/"));

    grabber.requestSnapshot();
    EXPECT_EQ(grabber.bufferCB(colourFrame(4, 4, qRgb(1, 1, 1))), CSampleGrabberCB::Result::Ok);
    EXPECT_FALSE(grabber.snapshotRequested());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("plain")});

    // The lost snapshot used its number; the next one goes on from there.
    grabber.setFolder(folder());
    grabber.requestSnapshot();
    grabber.bufferCB(colourFrame(4, 4, qRgb(1, 1, 1)));
    EXPECT_TRUE(QFile::exists(file(1)));
}

// Several windows deliver frames at once from their own threads: every request is served by
// exactly one of them, and no two write the same file.
TEST_F(SampleGrabber, ConcurrentFrameThreadsServeEachRequestOnce)
{
    constexpr int kWindows = 4;
    constexpr int kRequests = 50;
    std::atomic<bool> stop{false};
    std::vector<std::thread> frameThreads;
    frameThreads.reserve(kWindows);
    for (int w = 0; w < kWindows; ++w)
        frameThreads.emplace_back([&, w] {
            const QImage frame = colourFrame(16 + w, 8, qRgb(w * 40, 0, 0));
            while (!stop.load())
                grabber.bufferCB(frame);
        });
    for (int r = 0; r < kRequests; ++r) {
        grabber.requestSnapshot();
        while (grabber.snapshotRequested())
            std::this_thread::yield();
    }
    stop.store(true);
    for (auto& t : frameThreads)
        t.join();

    EXPECT_EQ(grabber.snapshotCounter(), kRequests);
    EXPECT_EQ(files().size(), kRequests);
    for (int r = 0; r < kRequests; ++r) {
        const QByteArray bytes = readAll(file(r));
        ASSERT_GE(bytes.size(), 54) << "grab" << r;
        const int width = static_cast<int>(static_cast<uchar>(bytes[18]));
        EXPECT_EQ(bytes, camera::bmp24File(colourFrame(width, 8, qRgb((width - 16) * 40, 0, 0))))
            << "grab" << r;
    }
}

} // namespace

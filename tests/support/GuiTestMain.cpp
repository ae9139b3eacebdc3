// Test entry point for widget tests: one offscreen QApplication for the whole run.
#include <QApplication>

#include <gtest/gtest.h>

namespace {

// Windows closed by a test hand some of their parts to deleteLater; no event loop runs between
// tests, so without this they would pile up and be reported as leaks at exit.
class DeferredDeletes : public ::testing::EmptyTestEventListener {
public:
    void OnTestEnd(const ::testing::TestInfo& /*test*/) override { flush(); }
    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new DeferredDeletes);
    const int result = RUN_ALL_TESTS();
    DeferredDeletes::flush();
    return result;
}

// The About dialog against the simulated head, the release history and the logo table.
#include "CAboutDlg.h"
#include "CCopyrightDlg.h"
#include "CUserAboutDlg.h"
#include "InfoCommands.h"
#include "InfoPictures.h"
#include "ReleaseHistory.h"
#include "dialogs/expansion/HeadUnderTest.h"
#include "uikit/ControlId.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <set>

namespace {

using uikit::findControl;

QString field(QWidget* dialog, int id)
{
    return findControl<QLineEdit>(dialog, id)->text();
}

QStringList historyRow(QTableWidget* table, int row)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts << table->item(row, c)->text();
    return texts;
}

class AboutDialogTest : public ::testing::Test {
protected:
    AboutDialogTest()
    {
        FirmwareInfo firmware;
        firmware.bytes = {0x12, 0x56, 0x00, 0xE1, 0x07, 11, 28, 0x01, 0x00};
        h.head->setFirmwareInfo(firmware);
    }
    HeadUnderTest h;
};

TEST_F(AboutDialogTest, ShowsTheFirmwareTheHeadReportsNow)
{
    CUserAboutDlg dialog(h.channel, true, QString());
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdFirmwareType), "Soft Type,FW bug fixed 2 times");
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdFirmwareVersion), "0.0.5.6");
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdBuildDate), "November 28(th),2017");
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdBootloader), "0.0.0.1");
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdStationVersion), QStringLiteral(STATION_EXPECTED_VERSION));
    EXPECT_EQ(h.channel.firmwareInfo(), h.head->firmwareInfo());
    EXPECT_EQ(h.commands(), std::vector<std::uint8_t>{CUSBHardWare::kReadFirmwareInfo});
}

TEST_F(AboutDialogTest, ChineseTexts)
{
    CUserAboutDlg dialog(h.channel, false, QString());
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdFirmwareType), "软件模式,错误修复2次");
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdBuildDate), "2017年11月28日");
}

TEST_F(AboutDialogTest, SilentHeadShowsTheLastRecord)
{
    FirmwareInfo last;
    last.bytes = {0x03, 0x10, 0x01, 0xE0, 0x07, 5, 18, 0x02, 0x01};
    h.channel.setFirmwareInfo(last);
    h.head->setNoReply(true);
    h.channel.setReplyTimeout(std::chrono::milliseconds(20));
    CUserAboutDlg dialog(h.channel, true, QString());
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdFirmwareType), "HardWare Type,FW bug fixed 3 times");
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdFirmwareVersion), "0.1.1.0");
    EXPECT_EQ(field(&dialog, CUserAboutDlg::IdBuildDate), "May 18(th),2016");
    EXPECT_EQ(h.channel.firmwareInfo(), last);
}

TEST_F(AboutDialogTest, HistoryListsTheNewestFirst)
{
    CUserAboutDlg dialog(h.channel, true, QString());
    auto* table = findControl<QTableWidget>(&dialog, CUserAboutDlg::IdHistory);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columnCount(), 8);
    ASSERT_EQ(table->rowCount(), 43);
    EXPECT_EQ(table->horizontalHeaderItem(6)->text(), "BootLoader Ver");
    EXPECT_EQ(table->columnWidth(7), 250);
    EXPECT_EQ(historyRow(table, 0),
              QStringList({"42", "2018.05.17", "V1.1.0.13", "Logo picture changed", "V0.0.6.0 above",
                           "recommend V0.0.6.0 hw/sw", "V0.0.0.1", "Recommend sensor FW above 1.11"}));
    EXPECT_EQ(historyRow(table, 42),
              QStringList({"1", "2013.02.12", "NA", "NA", "V0.0.0.6", "Initial release version", "V0.0.0.1",
                           "Initial release version"}));
}

TEST(ReleaseHistory, NumbersDatesAndVersionsClimb)
{
    const auto& entries = releaseHistory();
    std::multiset<std::string> numbers;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        numbers.insert(entries[i].number);
        EXPECT_STREQ(entries[i].bootloaderVersion, "V0.0.0.1");
        if (i > 0) {
            EXPECT_LE(std::string(entries[i - 1].date), std::string(entries[i].date)) << i;
        }
    }
    EXPECT_EQ(numbers.count("11"), 2U);
    for (int n = 1; n <= 42; ++n)
        EXPECT_GE(numbers.count(std::to_string(n)), 1U) << n;
    EXPECT_STREQ(entries[1].appVersion, "V1.0.0.1");
    EXPECT_STREQ(entries[1].firmwareVersion, "V0.0.0.7");
    EXPECT_STREQ(entries[41].appVersion, "V1.1.0.12");
}

struct LogoCase {
    std::string name;
    QString brandCode;
    int logo;
};

class LogoChoice : public ::testing::TestWithParam<LogoCase> {};

TEST_P(LogoChoice, ByBrandCode)
{
    EXPECT_EQ(info::logoFor(GetParam().brandCode), GetParam().logo);
}

INSTANTIATE_TEST_SUITE_P(Codes, LogoChoice,
                         ::testing::Values(LogoCase{"Empty", "", info::kDefaultLogo},
                                           LogoCase{"Unknown", "NOSUCHBRAND", info::kDefaultLogo},
                                           LogoCase{"PrefixOfACode", "DIST0", info::kDefaultLogo},
                                           LogoCase{"Known", "DIST01", 160},
                                           LogoCase{"LowerCase", "cust06", 171}),
                         [](const auto& param) { return param.param.name; });

TEST(LogoTable, TwelveRowsEachWithItsOwnPicture)
{
    const QStringList codes = info::logoBrandCodes();
    ASSERT_EQ(codes.size(), 12);
    std::set<int> numbers;
    for (const QString& code : codes)
        numbers.insert(info::logoFor(code));
    EXPECT_EQ(numbers.size(), 12U);
    EXPECT_EQ(numbers.count(info::kDefaultLogo), 0U);
    for (const int n : numbers)
        EXPECT_NE(info::logoPicture(n).toImage(), info::logoPicture(info::kDefaultLogo).toImage());
}

TEST_F(AboutDialogTest, DefaultLogoForAnEmptyBrandCode)
{
    CUserAboutDlg dialog(h.channel, true, QString());
    EXPECT_EQ(dialog.logoNumber(), info::kDefaultLogo);
    auto* logo = findControl<QLabel>(&dialog, CUserAboutDlg::IdLogo);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->pixmap().toImage(), info::logoPicture(info::kDefaultLogo).toImage());
}

TEST_F(AboutDialogTest, CommandTakesTheBrandCodeFromTheIdentityBlock)
{
    Payload identity = h.head->block(storage::IDENTITY_BLOCK);
    std::fill(identity.begin() + 32, identity.begin() + 48, 0);
    const std::string code = "cust03";
    std::copy(code.begin(), code.end(), identity.begin() + 32);
    h.head->setBlock(storage::IDENTITY_BLOCK, identity);
    h.ops.readGlobalSettings();
    h.head->clearReceived();

    int shownLogo = 0;
    whenDialogOpens([&shownLogo](QDialog* opened) {
        if (auto* about = qobject_cast<CUserAboutDlg*>(opened))
            shownLogo = about->logoNumber();
        findControl<QPushButton>(opened, CUserAboutDlg::IdOk)->click();
    });
    showDeviceInfo(nullptr, h.ops);
    EXPECT_EQ(shownLogo, info::logoFor("CUST03"));
    EXPECT_EQ(h.commands(),
              (std::vector<std::uint8_t>{CUSBHardWare::kReadBlock, CUSBHardWare::kReadFirmwareInfo}));
}

TEST(SmallDialogs, CertificateAndPlainAboutClose)
{
    CCopyrightDlg certificate;
    auto* picture = findControl<QLabel>(&certificate, CCopyrightDlg::IdPicture);
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    findControl<QPushButton>(&certificate, CCopyrightDlg::IdCancel)->click();
    EXPECT_EQ(certificate.result(), QDialog::Rejected);

    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), info::productCaption());
    findControl<QPushButton>(&about, CAboutDlg::IdOk)->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace

// Every labelled control of the baseline, expansion board and colour dialogs, and every pane of
// the status bar, has room for its whole text, in both interface languages; Tab is no trap.
#include "dialogs/colour/CColorSetting.h"
#include "dialogs/expansion/CExpandDlg.h"
#include "dialogs/setting/SampleList.h"
#include "dialogs/setting/SettingDialogFixture.h"
#include "display/CStatusBarEx.h"
#include "texts/QtTexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QStyle>
#include <QTableWidgetItem>

#include <gtest/gtest.h>

namespace {

std::string languageName(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "English" : "Chinese";
}

// Unicode blocks of Chinese text: an English dialog shows none of them.
bool holdsCjk(const QString& text)
{
    for (const QChar c : text)
        if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF))
            return true;
    return false;
}

void show(QWidget& dialog)
{
    dialog.show();
    if (dialog.layout() != nullptr)
        dialog.layout()->activate();
    QCoreApplication::processEvents();
}

void expectFits(const QWidget& control, const QString& text)
{
    EXPECT_LE(control.sizeHint().width(), control.width()) << text.toStdString();
    EXPECT_LE(control.sizeHint().height(), control.height()) << text.toStdString();
}

// Buttons, check boxes, radio buttons and labels with text; group titles in English mode.
void expectTextsFit(QWidget& dialog, bool english)
{
    show(dialog);
    int checked = 0;
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&dialog) || button->text().isEmpty())
            continue;
        expectFits(*button, button->text());
        if (english) {
            EXPECT_FALSE(holdsCjk(button->text())) << button->text().toStdString();
        }
        ++checked;
    }
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&dialog) || label->text().isEmpty() || label->wordWrap())
            continue;
        expectFits(*label, label->text());
        if (english) {
            EXPECT_FALSE(holdsCjk(label->text())) << label->text().toStdString();
        }
        ++checked;
    }
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()), group->width())
            << group->title().toStdString();
        if (english) {
            EXPECT_FALSE(holdsCjk(group->title())) << group->title().toStdString();
        }
    }
    if (english) {
        EXPECT_FALSE(holdsCjk(dialog.windowTitle())) << dialog.windowTitle().toStdString();
    }
    EXPECT_GT(checked, 3);
}

class TextsFit : public SettingDialogTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        setGlobal([](GlobalSettings& g) { g.setOutput(GlobalSettings::EnglishUi, GetParam()); });
    }
};

TEST_P(TextsFit, BaselineDialogAt64Channels)
{
    head->loadDemoSetup(2, 2, 64);
    ASSERT_TRUE(ops.readGlobalSettings());
    ASSERT_TRUE(ops.readBoardTable());
    setGlobal([](GlobalSettings& g) { g.setOutput(GlobalSettings::EnglishUi, GetParam()); });
    auto dialog = openDialog();
    expectTextsFit(*dialog, GetParam());
    // A picture for a person to look at (run under Xvfb with STATION_SCREENSHOT_DIR set).
    const QString pictures = qEnvironmentVariable("STATION_SCREENSHOT_DIR");
    if (!pictures.isEmpty())
        dialog->grab().save(pictures + (GetParam() ? "/baseline-english.png" : "/baseline-chinese.png"));
    // The averages row's label ("AVG" / "均值") shows whole beside its check box.
    auto* averages = control<setting::SampleList>(*dialog, setting::id::kAverages);
    const QTableWidgetItem* label = averages->item(0, 0);
    ASSERT_NE(label, nullptr);
    const int checkBox = averages->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    EXPECT_GE(averages->columnWidth(0), checkBox + averages->fontMetrics().horizontalAdvance(label->text()));
}

TEST_P(TextsFit, ExpansionBoardDialog)
{
    CExpandDlg dialog(ops);
    expectTextsFit(dialog, GetParam());
}

TEST_P(TextsFit, ColourDialog)
{
    GlobalSettings settings = setup.global();
    CColorSetting dialog(settings);
    expectTextsFit(dialog, GetParam());
}

TEST_P(TextsFit, StatusBarPanes)
{
    const bool english = GetParam();
    QWidget window;
    window.resize(1024, 100);
    auto* bar = new CStatusBarEx(&window);
    bar->setFixedHeight(CStatusBarEx::barHeight());
    bar->setGeometry(0, 70, 1024, CStatusBarEx::barHeight());
    bar->AllocatePanes(3);
    bar->setPaneWidth(0, 90);
    bar->setPaneWidth(1, 350);
    bar->setPaneWidth(2, 200, true);
    bar->setFont(CStatusBarEx::barFont());
    bar->SetPaneLabel(0, texts::qtext(texts::TextId::PaneConnected, english));
    bar->SetPaneLabel(1, QStringLiteral("GUID=0123ABCD-4567EF01-89ABCDEF-0123WXYZ"));
    bar->SetPaneLabel(2, texts::qtext(texts::TextId::ProductCaption, english));
    window.show();
    QCoreApplication::processEvents();
    EXPECT_LE(QFontMetrics(bar->font()).height(), 20); // the line height the bar was made for
    for (int id : {102, 104, 105}) {
        QWidget* pane = uikit::findControl(bar, id);
        ASSERT_NE(pane, nullptr) << id;
        expectFits(*pane, bar->pane(id == 102 ? 0 : id == 104 ? 1 : 2).label);
    }
    bar->SetPaneLabel(0, texts::qtext(texts::TextId::PaneDisconnected, english));
    QCoreApplication::processEvents();
    expectFits(*uikit::findControl(bar, 102), bar->pane(0).label);
}

INSTANTIATE_TEST_SUITE_P(Languages, TextsFit, ::testing::Bool(), languageName);

// Tab moves from the averages list on through the dialog to OK (the lists take no Tab).
TEST_F(SettingDialogTest, TabReachesOkFromTheAveragesList)
{
    auto dialog = openDialog();
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    auto* averages = control<QWidget>(*dialog, setting::id::kAverages);
    QWidget* ok = control<QWidget>(*dialog, setting::id::kOk);
    averages->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), averages);
    for (int presses = 0; presses < 60 && QApplication::focusWidget() != ok; ++presses) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &tab);
        QCoreApplication::processEvents();
        if (presses == 0) {
            EXPECT_NE(QApplication::focusWidget(), averages) << "the list kept the Tab";
        }
    }
    EXPECT_EQ(QApplication::focusWidget(), ok);
}

} // namespace

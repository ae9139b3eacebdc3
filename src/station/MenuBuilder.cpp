#include "MenuBuilder.h"

#include "CommandIds.h"
#include "uikit/ControlId.h"

namespace station {
namespace {

// One menu item: a command, a popup (children follow until its End), or a separator.
struct Item {
    enum Kind { Command, Popup, End, Separator } kind;
    int id;
    const char* english;
    const char* chinese;
    bool checkable = false;
    bool greyed = false;
};

// clang-format off
const Item kMenuBar[] = {
    {Item::Popup, 0, "&File", "文件(&F)"},
      {Item::Command, cmd::kSave, "&Save", "保存(&S)"},
      {Item::Command, cmd::kLoad, "&Load", "载入(&L)"},
      {Item::Separator, 0, "", ""},
      {Item::Command, cmd::kSaveOldFormat, "&Save as old format", "保存为旧格式(&O)", false, true},
      {Item::Command, cmd::kLoadOldFormat, "&Load form old version", "从旧格式载入(&F)", false, true},
    {Item::End, 0, "", ""},
    {Item::Popup, 0, "&Edit", "编辑(&E)"},
      {Item::Command, cmd::kSetting, "&Setting", "设置(&S)"},
      {Item::Command, cmd::kColor, "&Color", "颜色(&C)"},
      {Item::Separator, 0, "", ""},
      {Item::Command, cmd::kExcessEnable, "&Enable excess indication", "使能超量指示(&E)", true},
      {Item::Command, cmd::kExcessClear, "&Clear excess indication", "清除超量指示(&C)"},
      {Item::Separator, 0, "", ""},
      {Item::Popup, 0, "&Buzzer", "蜂鸣器(&B)"},
        {Item::Command, cmd::kBuzzerEnable, "&Enable", "使能(&E)", true},
        {Item::Command, cmd::kBuzzerInvert, "&Invert", "反转(&I)", true},
      {Item::End, 0, "", ""},
      {Item::Popup, 0, "&Indicator LED", "指示灯(&I)"},
        {Item::Command, cmd::kLedEnable, "&Enable", "使能(&E)", true},
        {Item::Command, cmd::kLedInvert, "Invert", "反转(&I)", true},
      {Item::End, 0, "", ""},
      {Item::Separator, 0, "", ""},
      {Item::Command, cmd::kCamera, "C&amera", "摄像头(&a)"},
      {Item::Separator, 0, "", ""},
      {Item::Command, cmd::kRecorder, "&Recoder", "记录(&r)", true},
    {Item::End, 0, "", ""},
    {Item::Popup, 0, "E&xpand board", "扩展板(&X)"},
      {Item::Command, cmd::kExpandSetting, "&Setting", "设置(&S)"},
    {Item::End, 0, "", ""},
    {Item::Popup, 0, "&Help", "帮助(&H)"},
      {Item::Popup, 0, "中文 &Language", "语言(&L)"},
        {Item::Command, cmd::kChinese, "&Chinese", "中文 &Chinese", true},
        {Item::Command, cmd::kEnglish, "英语 &English", "英语 &English", true},
      {Item::End, 0, "", ""},
      {Item::Separator, 0, "", ""},
      {Item::Command, cmd::kCheckUpdates, "&Check updates", "检查更新(&C)", false, true},
      {Item::Command, cmd::kAbout, "&About", "关于(&A)"},
      {Item::Command, cmd::kCertificate, "&Copyright", "软件著作权证书(&O)"},
    {Item::End, 0, "", ""},
};
// clang-format on

QAction* addItem(QMenu* menu, const Item& item, bool english)
{
    QAction* action =
        uikit::addCommand(menu, item.id, QString::fromUtf8(english ? item.english : item.chinese));
    action->setCheckable(item.checkable);
    action->setEnabled(!item.greyed);
    return action;
}

// Adds the items from `at` up to the matching End to menu; returns the index after that End.
std::size_t fill(QMenu* menu, std::size_t at, bool english)
{
    constexpr std::size_t count = std::size(kMenuBar);
    while (at < count) {
        const Item& item = kMenuBar[at++];
        switch (item.kind) {
        case Item::End:
            return at;
        case Item::Separator:
            menu->addSeparator();
            break;
        case Item::Command:
            addItem(menu, item, english);
            break;
        case Item::Popup: {
            QMenu* sub = menu->addMenu(QString::fromUtf8(english ? item.english : item.chinese));
            at = fill(sub, at, english);
            break;
        }
        }
    }
    return at;
}

void addValuePopup(QMenu* menu, const char* title, int firstId, int lastId, int firstValue)
{
    QMenu* sub = menu->addMenu(QString::fromUtf8(title));
    for (int id = firstId; id <= lastId; ++id)
        uikit::addCommand(sub, id, QString::number(id - firstId + firstValue))->setCheckable(true);
}

} // namespace

void fillMenuBar(QMenuBar* bar, bool english)
{
    // The menus of the bar being replaced go too (later: a command of one of them may be running).
    for (QAction* action : bar->actions())
        if (QMenu* menu = action->menu())
            menu->deleteLater();
    bar->clear();
    std::size_t at = 0;
    while (at < std::size(kMenuBar)) {
        const Item& top = kMenuBar[at++];
        QMenu* menu = bar->addMenu(QString::fromUtf8(english ? top.english : top.chinese));
        at = fill(menu, at, english);
    }
}

QMenu* buildContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    uikit::addCommand(menu, cmd::kBoardSetting, QString::fromUtf8("设置 &Setting"));
    menu->addSeparator();
    addValuePopup(menu, "增益 &Gain", cmd::kGainFirst, cmd::kGainLast, 1);
    addValuePopup(menu, "电流 &Current", cmd::kCurrentFirst, cmd::kCurrentLast, 0);
    addValuePopup(menu, "放电 &Discharge Time", cmd::kDischargeFirst, cmd::kDischargeLast, 0);
    addValuePopup(menu, "延迟 D&elay Time", cmd::kDelayFirst, cmd::kDelayLast, 0);
    menu->addSeparator();
    uikit::addCommand(menu, cmd::kOneKeySetting, QString::fromUtf8("一键设定 One Key Setting(&F)"));
    menu->addSeparator();
    uikit::addCommand(menu, cmd::kChannelMonitor, QString::fromUtf8("通道监视 Channel Monitor(&M)\tM"));
    return menu;
}

} // namespace station

#include "CStenvikPlusDlgDlg.h"

#include "BrandTable.h"
#include "CommandIds.h"
#include "MenuBuilder.h"
#include "StationTexts.h"
#include "camera/CVideoDialog.h"
#include "device/UdevMonitor.h"
#include "dialogs/colour/ColourCommand.h"
#include "dialogs/expansion/ExpansionCommand.h"
#include "dialogs/setting/SettingCommands.h"
#include "display/CColorBar.h"
#include "display/CStatusBarEx.h"
#include "display/CycleResult.h"
#include "display/HitTest.h"
#include "info/InfoCommands.h"
#include "persistence/ConfigurationFile.h"
#include "texts/QtTexts.h"
#include "uikit/ControlId.h"
#include "uikit/MessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QSocketNotifier>
#include <QVBoxLayout>

using namespace station;

namespace {

constexpr int kGridControlId = 1000;
constexpr int kRepaintMs = 5;

QColor toQColor(const Rgb& rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}
QString qs(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

QMessageBox::Icon toQIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

CStenvikPlusDlgDlg::CStenvikPlusDlgDlg(HidBus& bus, QWidget* parent)
    : QMainWindow(parent), bus_(bus), ctx_{channel_, bus_, setup_, ops_, grid_, *this, flags_, {}}
{
    ctx_.record = [this](const BoardCounts& counts) { recordFile_.append(counts); };
    setWindowTitle(QStringLiteral("StenvikPlusDlg"));
    disconnectTimer_.setSingleShot(true);
    connect(&disconnectTimer_, &QTimer::timeout, this, [this] { station_.disconnectTimerFired(); });
    exitHandler_ = [](int code) { QCoreApplication::exit(code); };
    qApp->installEventFilter(this);
    // Until the first connection set-up the window shows the English menu bar.
    fillMenuBar(menuBar(), true);
    connectMenuBar();
    layOutWindow();
    monitorFeed_ =
        ctx_.cycles.subscribe([this](const display::CycleResult& result) { monitors_->cycleJudged(result); });
}

CStenvikPlusDlgDlg::~CStenvikPlusDlgDlg()
{
    qApp->removeEventFilter(this);
    shutdown();
    ctx_.cycles.unsubscribe(monitorFeed_);
}

void CStenvikPlusDlgDlg::layOutWindow()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(5, 5, 5, 5);
    auto* placeholder = new QWidget(central);
    uikit::setControlId(placeholder, kGridControlId);
    layout->addWidget(placeholder, 1);
    recordingBar_ = new station::RecordingBar(central);
    layout->addWidget(recordingBar_, 0);
    setCentralWidget(central);

    colorBar_ = new CColorBar(grid_, central);
    colorBar_->Attach(central, kGridControlId);

    statusBar_ = new CStatusBarEx(this);
    statusBar_->setFixedHeight(CStatusBarEx::barHeight());
    statusBar_->AllocatePanes(3);
    statusBar_->setPaneWidth(0, 90);
    statusBar_->setPaneWidth(1, 350);
    statusBar_->setPaneWidth(2, 200, true);
    statusBar_->setFont(CStatusBarEx::barFont());
    statusBar_->progress()->setRange(0, 100);
    statusBar_->progress()->setValue(50);
    setStatusBar(statusBar_);
}

void CStenvikPlusDlgDlg::initialise(bool monitorReal)
{
    setWindowIcon(QIcon::fromTheme(QStringLiteral("stenvikplus"), windowIcon()));
    if (monitorReal)
        startMonitor();
    colorBar_->startRepaintTimer(kRepaintMs);
    setTopMenusEnabled(false);
    startResults();
    station_.initialise();
}

void CStenvikPlusDlgDlg::startMonitor()
{
    monitor_ = std::make_unique<UdevMonitor>();
    if (!monitor_->start()) {
        monitor_.reset();
        uikit::showMessage({nullptr, QString::fromUtf8(text::kMonitorFailed), QStringLiteral("Error"),
                            QMessageBox::Warning, QMessageBox::Ok});
        return;
    }
    monitorNotifier_ = new QSocketNotifier(monitor_->fd(), QSocketNotifier::Read, this);
    connect(monitorNotifier_, &QSocketNotifier::activated, this, [this] {
        while (auto event = monitor_->receive()) {
            if (event->kind == UdevMonitor::Event::Kind::Arrival)
                station_.onArrival(event->devnode);
            else
                station_.onRemoval(event->devnode);
        }
    });
}

void CStenvikPlusDlgDlg::deviceChanged(bool arrival, const std::string& path)
{
    bridge_.post([this, arrival, path] {
        if (arrival)
            station_.onArrival(path);
        else
            station_.onRemoval(path);
    });
}

bool CStenvikPlusDlgDlg::english() const
{
    return setup_.global().englishUi();
}

// ---- close ---------------------------------------------------------------------------------

void CStenvikPlusDlgDlg::shutdown()
{
    if (shutDown_)
        return;
    shutDown_ = true;
    // Otherwise the event loop would go on after this window closed, for windows nobody sees.
    parentlessWindows_.closeAll();
    // A worker waiting for the GUI thread is released first, so joining it cannot deadlock.
    bridge_.close();
    flags_.run = false;
    flags_.stop();
    disconnectTimer_.stop();
    boardCommands_.joinWorkers();
    station_.close();
    stopResults();
}

void CStenvikPlusDlgDlg::closeEvent(QCloseEvent* event)
{
    shutdown();
    event->accept();
}

// ---- StationView ---------------------------------------------------------------------------

void CStenvikPlusDlgDlg::setCaption(const std::string& text)
{
    bridge_.post([this, text] { setWindowTitle(qs(text)); });
}

void CStenvikPlusDlgDlg::updatePane(int pane, const PaneUpdate& update)
{
    bridge_.post([this, pane, update] {
        if (update.fillColor)
            statusBar_->SetPaneFillColor(pane, toQColor(*update.fillColor));
        if (update.fillMode)
            statusBar_->SetPaneFillMode(pane, *update.fillMode);
        if (update.labelColor)
            statusBar_->SetPaneLabelColor(pane, toQColor(*update.labelColor));
        if (update.align)
            statusBar_->SetPaneLabelAlign(pane, *update.align);
        if (update.label)
            statusBar_->SetPaneLabel(pane, qs(*update.label));
        // The connection state is read from a distance: pane 0 grows to show its label whole.
        if (pane == 0 && update.label) {
            const int needed = statusBar_->fontMetrics().horizontalAdvance(qs(*update.label)) + 12;
            statusBar_->setPaneWidth(0, std::max(90, needed));
        }
    });
}

void CStenvikPlusDlgDlg::buildMenuBar(bool englishUi, bool certificateOff)
{
    grid_.englishText.store(englishUi, std::memory_order_relaxed);
    bridge_.post([this, englishUi, certificateOff] {
        fillMenuBar(menuBar(), englishUi);
        connectMenuBar();
        recordingBar_->setEnglish(englishUi);
        monitors_->windows().followLanguage();
        resultsFollowLanguage();
        if (certificateOff)
            if (QAction* action = uikit::findCommand(menuBar(), cmd::kCertificate))
                action->setEnabled(false);
    });
}

void CStenvikPlusDlgDlg::connectMenuBar()
{
    for (QAction* top : menuBar()->actions())
        if (QMenu* menu = top->menu())
            connectMenu(menu);
}

void CStenvikPlusDlgDlg::connectMenu(QMenu* menu)
{
    // Check marks are set each time a menu opens; each command reaches runCommand from its own
    // action, however it was triggered (mouse, keyboard, programmatically).
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { updateCheckMarks(menu); });
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            connectMenu(sub);
            continue;
        }
        const int id = uikit::commandId(action);
        if (id > 0)
            connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
}

void CStenvikPlusDlgDlg::setTopMenusEnabled(bool enabled)
{
    bridge_.post([this, enabled] {
        const auto tops = menuBar()->actions();
        for (int i = 0; i < 4 && i < tops.size(); ++i)
            tops[i]->setEnabled(enabled);
    });
}

void CStenvikPlusDlgDlg::setCommandEnabled(int commandId, bool enabled)
{
    bridge_.post([this, commandId, enabled] {
        if (QAction* action = uikit::findCommand(menuBar(), commandId))
            action->setEnabled(enabled);
    });
}

void CStenvikPlusDlgDlg::showProgress(bool visible)
{
    bridge_.post([this, visible] {
        if (visible == statusBar_->progressVisible())
            return;
        if (visible)
            statusBar_->PlaceProgress(0, 1);
        statusBar_->setProgressVisible(visible);
    });
}

void CStenvikPlusDlgDlg::setProgressRange(int maximum)
{
    bridge_.post([this, maximum] { statusBar_->progress()->setRange(0, maximum); });
}

void CStenvikPlusDlgDlg::setProgressPosition(int position)
{
    bridge_.post([this, position] { statusBar_->progress()->setValue(position); });
}

void CStenvikPlusDlgDlg::stepProgress()
{
    bridge_.post([this] {
        QProgressBar* progress = statusBar_->progress();
        progress->setValue(std::min(progress->value() + 1, progress->maximum()));
    });
}

void CStenvikPlusDlgDlg::setGridColors(const ColorScheme& scheme)
{
    grid_.setColorScheme(scheme);
}

void CStenvikPlusDlgDlg::repaintGrid()
{
    bridge_.post([this] { colorBar_->update(); });
}

void CStenvikPlusDlgDlg::showMessage(const StationMessage& message)
{
    bridge_.call([this, message] {
        uikit::showMessage({message.withOwner ? this : nullptr, qs(message.text),
                            message.caption ? qs(*message.caption) : uikit::kAppCaption,
                            toQIcon(message.icon), QMessageBox::Ok});
    });
}

void CStenvikPlusDlgDlg::postMessage(const StationMessage& message)
{
    bridge_.post([this, message] {
        uikit::showMessage({message.withOwner ? this : nullptr, qs(message.text),
                            message.caption ? qs(*message.caption) : uikit::kAppCaption,
                            toQIcon(message.icon), QMessageBox::Ok});
    });
}

void CStenvikPlusDlgDlg::endProcess(int exitCode)
{
    bridge_.post([this, exitCode] {
        if (exitHandler_)
            exitHandler_(exitCode);
    });
}

void CStenvikPlusDlgDlg::refreshExpansionDialog()
{
    // Through the bridge, so a start-up worker waiting here never holds up the close.
    bridge_.call([this] {
        if (expansionRefresh_)
            expansionRefresh_();
    });
}

void CStenvikPlusDlgDlg::setExpansionDialogOpen(bool open, std::function<void()> refresh)
{
    expansionRefresh_ = open ? std::move(refresh) : std::function<void()>();
    flags_.expansionDialogOpen = open;
}

void CStenvikPlusDlgDlg::startDisconnectTimer(std::chrono::milliseconds delay)
{
    bridge_.post([this, delay] { disconnectTimer_.start(static_cast<int>(delay.count())); });
}

void CStenvikPlusDlgDlg::cancelDisconnectTimer()
{
    bridge_.post([this] { disconnectTimer_.stop(); });
}

// ---- menus ---------------------------------------------------------------------------------

void CStenvikPlusDlgDlg::updateCheckMarks(QMenu* menu)
{
    const GlobalSettings global = setup_.global();
    const int b =
        global.gridCols * (colorBar_ ? colorBar_->hitRow() : 0) + (colorBar_ ? colorBar_->hitCol() : 0);
    const BoardMeasureSettings measure = setup_.measure(b);
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr || !action->isCheckable())
            continue; // submenu entries keep their state
        const int id = uikit::commandId(action);
        switch (id) {
        case cmd::kExcessEnable:
            action->setChecked(global.excessIndication != 0);
            break;
        case cmd::kBuzzerEnable:
            action->setChecked(global.output(GlobalSettings::BuzzerEnable));
            break;
        case cmd::kBuzzerInvert:
            action->setChecked(global.output(GlobalSettings::BuzzerInvert));
            break;
        case cmd::kLedEnable:
            action->setChecked(global.output(GlobalSettings::LedEnable));
            break;
        case cmd::kLedInvert:
            action->setChecked(global.output(GlobalSettings::LedInvert));
            break;
        case cmd::kRecorder:
            action->setChecked(flags_.recording.load());
            break;
        case cmd::kChinese:
            action->setChecked(!global.englishUi());
            break;
        case cmd::kEnglish:
            action->setChecked(global.englishUi());
            break;
        default:
            if (auto item = measureItem(id))
                action->setChecked(measureValue(measure, item->field) == item->value);
            break;
        }
    }
}

void CStenvikPlusDlgDlg::refuse(const std::string& message)
{
    uikit::message(this, qs(message));
}

// The one-key setting rewrites every board's references and thresholds at once: the operator
// confirms it, told the parameters and the number of boards.
bool CStenvikPlusDlgDlg::confirmOneKeySetting()
{
    using texts::TextId;
    const BoardRecord record = setup_.workRecord();
    const GlobalSettings global = setup_.global();
    const QString parameters =
        record.percentMode() ? texts::qtext(TextId::OneKeyByPercentage, english()).arg(record.percentage)
                             : texts::qtext(TextId::OneKeyByAllowances, english())
                                   .arg(record.allowedLow)
                                   .arg(record.allowedHigh);
    const QString text =
        texts::qtext(TextId::OneKeyConfirm, english()).arg(parameters).arg(global.gridRows * global.gridCols);
    return uikit::message(this, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void CStenvikPlusDlgDlg::runCommand(int id)
{
    // A command's own exchanges (a dialog's OK, a Load) are not cut short by the loop's restart.
    const CUSBChannel::CommandGuard ownSequence(channel_);
    if (auto item = measureItem(id)) {
        const int b = setup_.global().gridCols * colorBar_->hitRow() + colorBar_->hitCol();
        if (auto refusal = boardCommands_.setMeasure(b, *item))
            uikit::message(this, qs(*refusal), QMessageBox::Information, QMessageBox::Ok,
                           texts::qtext(texts::TextId::VersionCaption, english()));
        return;
    }
    switch (id) {
    case cmd::kSave:
        saveConfiguration();
        break;
    case cmd::kLoad:
        loadConfiguration();
        break;
    case cmd::kSetting:
        setting::runEditSetting(this, ops_, colorBar_->grid());
        break;
    case cmd::kColor:
        runColourSetting(this, ops_, grid_);
        break;
    case cmd::kExcessEnable:
        menuCommands_.toggleExcessIndication();
        break;
    case cmd::kExcessClear:
        menuCommands_.clearExcess();
        break;
    case cmd::kBuzzerEnable:
        menuCommands_.toggleOutputBit(GlobalSettings::BuzzerEnable);
        break;
    case cmd::kBuzzerInvert:
        menuCommands_.toggleOutputBit(GlobalSettings::BuzzerInvert);
        break;
    case cmd::kLedEnable:
        menuCommands_.toggleOutputBit(GlobalSettings::LedEnable);
        break;
    case cmd::kLedInvert:
        menuCommands_.toggleOutputBit(GlobalSettings::LedInvert);
        break;
    case cmd::kCamera: {
        // Modeless and independent: each use opens a further window, which lives until closed
        // and closes with the main window.
        parentlessWindows_.open(new CVideoDialog(nullptr, english()));
        break;
    }
    case cmd::kRecorder:
        menuCommands_.toggleRecording();
        break;
    case cmd::kExpandSetting:
        runExpansionBoards();
        break;
    case cmd::kRecordResult:
        recordResult();
        break;
    case cmd::kShowResults:
        showResults();
        break;
    case cmd::kChinese:
        menuCommands_.switchLanguage(false);
        break;
    case cmd::kEnglish:
        menuCommands_.switchLanguage(true);
        break;
    case cmd::kAbout:
        showDeviceInfo(this, ops_);
        break;
    case cmd::kCertificate:
        showCertificate(this);
        break;
    case cmd::kBoardSetting:
        runBoardSetting();
        break;
    case cmd::kOneKeySetting:
        if (confirmOneKeySetting())
            boardCommands_.startOneKeySetting();
        break;
    case cmd::kChannelMonitor:
        openMonitor(colorBar_->hitRow(), colorBar_->hitCol());
        break;
    case cmd::kSysAbout:
        showPlainAbout(this);
        break;
    default:
        break;
    }
}

void CStenvikPlusDlgDlg::runExpansionBoards()
{
    // The lock check, the dialog and the steps after OK; the open flag and the refresh go
    // through the window, where acquisition and board loading look for them.
    runExpansionSetting(this, ops_, [this](bool open, std::function<void()> refresh) {
        setExpansionDialogOpen(open, std::move(refresh));
    });
}

void CStenvikPlusDlgDlg::openMonitor(int row, int col)
{
    if (row >= 0 && col >= 0 && row < grid_.gridRows() && col < grid_.gridCols())
        monitors_->windows().open(row, col);
}

void CStenvikPlusDlgDlg::openMonitorUnderMouse()
{
    // The same hit test as the right click, without moving the point the context menu acts on.
    const QPoint at = colorBar_->mapFromGlobal(QCursor::pos());
    if (!colorBar_->rect().contains(at))
        return;
    const display::HitResult hit =
        display::HitTest(colorBar_->width(), colorBar_->height(), grid_, {at.x(), at.y(), 0}, {});
    openMonitor(hit.hitRow, hit.hitCol);
}

void CStenvikPlusDlgDlg::runBoardSetting()
{
    // The lock check, the dialog and the panel update after OK.
    setting::runBoardSetting(this, ops_, colorBar_->grid(), colorBar_->hitRow(), colorBar_->hitCol());
}

void CStenvikPlusDlgDlg::saveConfiguration()
{
    if (auto refusal = configfile::saveRefusal(setup_.global())) {
        refuse(refusal->text);
        return;
    }
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(texts::qtext(texts::TextId::SetupFileFilter, english()));
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const UserMessage result = configfile::save(ops_, dialog.selectedFiles().first().toStdString());
    uikit::message(this, qs(result.text), toQIcon(static_cast<MessageIcon>(result.icon)), QMessageBox::Ok,
                   result.caption ? std::optional<QString>(qs(*result.caption)) : std::nullopt);
}

void CStenvikPlusDlgDlg::loadConfiguration()
{
    if (auto refusal = configfile::loadRefusal(setup_.global())) {
        refuse(refusal->text);
        return;
    }
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(texts::qtext(texts::TextId::SetupFileFilter, english()));
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    // The success message is shown before the Restart; a failed Restart must not show it again.
    bool shown = false;
    const auto show = [this, &shown](const UserMessage& m) {
        shown = true;
        uikit::message(this, qs(m.text), toQIcon(static_cast<MessageIcon>(m.icon)), QMessageBox::Ok,
                       m.caption ? std::optional<QString>(qs(*m.caption)) : std::nullopt);
    };
    const configfile::LoadResult result =
        configfile::load(ops_, dialog.selectedFiles().first().toStdString(), show);
    if (!shown)
        show(result.message);
}

// ---- context menu and keys -----------------------------------------------------------------

QMenu* CStenvikPlusDlgDlg::openContextMenu(const QPoint& windowPos, bool show)
{
    if (grid_.gridRows() == 0 && grid_.gridCols() == 0)
        return nullptr;
    if (setup_.global().locked(GlobalSettings::LockContextMenu)) {
        refuse(texts::text(texts::TextId::LockContextMenu, english()));
        return nullptr;
    }
    // The click is taken in the grid view's own coordinates, so the menu acts on the board under
    // the cursor.
    const QPoint at = colorBar_->mapFrom(this, windowPos);
    colorBar_->SetMousePoint(at.x(), at.y(), 0);
    colorBar_->HitTest();
    if (!colorBar_->hitShown())
        return nullptr; // beside the grid: no board to act on

    if (contextMenu_)
        contextMenu_->deleteLater();
    QMenu* menu = buildContextMenu(this);
    contextMenu_ = menu;

    const std::string type = upperAscii(ops_.readDeviceType().value_or(std::string()));
    QString label;
    if (isMultiBoardType(type)) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, texts::text(texts::TextId::BoardSettingItem, english()),
                      colorBar_->hitRow(), colorBar_->hitCol());
        label = QString::fromUtf8(buffer);
    }
    menu->actions().first()->setText(label);

    for (QMenu* sub : menu->findChildren<QMenu*>())
        updateCheckMarks(sub);
    connectMenu(menu);
    if (show)
        menu->popup(QCursor::pos());
    return menu;
}

void CStenvikPlusDlgDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        openContextMenu(event->position().toPoint());
        event->accept();
        return;
    }
    QMainWindow::mousePressEvent(event);
}

bool CStenvikPlusDlgDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Keys that reach this window: Enter and Space release the excess latches, M opens the
    // channel monitor of the board under the mouse, Escape and Caps Lock do nothing; none of
    // them closes the window.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != this)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Characters typed into the serial entry (M too) are the serial's; Enter and Space
        // belong to it while a serial is being typed, and release the latches as everywhere
        // else when it is empty. (The line edit passes an Enter on to its parents, so the focus
        // decides, not the receiver.)
        if (recordingBar_ != nullptr && QApplication::focusWidget() == recordingBar_->serialEntry()) {
            const bool latchKey = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
            if (!latchKey || !recordingBar_->serialEntry()->text().isEmpty())
                return false;
        }
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (event->type() == QEvent::KeyPress)
                menuCommands_.clearExcess();
            return true;
        case Qt::Key_M:
            if (event->type() == QEvent::KeyPress)
                openMonitorUnderMouse();
            return true;
        case Qt::Key_Escape:
        case Qt::Key_CapsLock:
            return true;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

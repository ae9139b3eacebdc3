#include "Station.h"

#include "AcquisitionLoop.h"
#include "BoardLoader.h"
#include "BrandTable.h"
#include "CommandIds.h"
#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "device/HidBus.h"
#include "display/BoardGrid.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "texts/Texts.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace station {
namespace {

using namespace std::chrono_literals;

constexpr auto kDisconnectDelay = 2000ms;
constexpr auto kBeep = 100ms;
constexpr std::uint16_t kLowestFirmware = 0x0056;

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGuidBlue{50, 50, 255};

const char* connectedCaption(bool english)
{
    return texts::text(texts::TextId::ConnectedCaption, english);
}

} // namespace

std::string headNotAccessibleReason(int error, bool english)
{
    if (error == EACCES || error == EPERM)
        return texts::text(texts::TextId::HeadReasonPermission, english);
    if (error == EBUSY)
        return texts::text(texts::TextId::HeadReasonBusy, english);
    if (error == 0)
        return texts::text(texts::TextId::HeadReasonUnknown, english);
    return std::strerror(error); // rare: the system's own words
}

std::string headNotAccessibleText(int error, bool english)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, texts::text(texts::TextId::HeadNotAccessible, english),
                  headNotAccessibleReason(error, english).c_str());
    return buffer;
}

Station::~Station()
{
    joinWorkers();
}

// ---- GUI thread ----------------------------------------------------------------------------

void Station::initialise()
{
    StationView& view = ctx_.view;
    showDisconnectedPanes();
    view.setTopMenusEnabled(false);

    std::optional<int> notAccessible;
    if (!ctx_.channel.openTester(ctx_.bus, &notAccessible)) {
        view.setCaption(text::kNoHeadAtStart);
        view.setTopMenusEnabled(false);
        if (notAccessible)
            showHeadNotAccessible(*notAccessible);
        return;
    }
    notAccessibleTold_ = false;
    notAccessibleShown_ = false;
    {
        std::lock_guard lock(stateMutex_);
        ++connectGeneration_;
        headUp_ = true;
    }
    ctx_.ops.readGlobalSettings();
    view.setCaption(connectedCaption(ctx_.setup.global().englishUi()));
    view.showProgress(true);
    view.setProgressPosition(0);
    launchStartup(Opening::AlreadyOpen);
}

void Station::onArrival(const std::string& /*path*/)
{
    if (closed_ || ctx_.flags.stopping())
        return;
    {
        std::lock_guard lock(stateMutex_);
        if (headUp_) {
            // Arrivals come for every HID device: while the connected head is still there, this
            // one is another device.
            if (headStillPresent())
                return;
        } else if (openPending_) {
            rescan_ = true; // the start-up under way looks once more before it gives up
            return;
        }
    }
    launchStartup(Opening::Open);
}

void Station::onRemoval(const std::string& path)
{
    if (closed_)
        return;
    if (!ctx_.channel.hasDevice()) {
        // The head that could not be opened may be the one that went: look again, so the
        // window does not go on explaining a head that is no longer there.
        if (notAccessibleShown_)
            launchStartup(Opening::Open);
        return;
    }
    if (!headUp_ && activeStartups_ == 0)
        return; // nothing connected that could have gone
    // Removals come for every HID device: act only when the head itself is gone.
    if (path != ctx_.channel.devicePath() && headStillPresent())
        return;
    markHeadLost();
}

void Station::disconnectTimerFired()
{
    bool silent = false;
    {
        // Held while the disconnected state is applied, so a start-up that opens the head
        // meanwhile comes strictly after it.
        std::lock_guard lock(stateMutex_);
        if (closed_ || headUp_ || connectGeneration_ != removalGeneration_)
            return;
        // Still on the bus: the head stopped answering (hung, or still booting) rather than left.
        silent = !ctx_.flags.stopping() && headStillPresent();
        showDisconnected();
        if (silent)
            showHeadSilent();
    }
    // No arrival will come for a head that never left: try it again. A failed try loses the head
    // again and so comes back here after the delay; an answer connects it as a new arrival would.
    if (silent)
        launchStartup(Opening::OpenSilent);
}

void Station::showDisconnected()
{
    ctx_.view.setCaption(text::kRemoved);
    ctx_.view.showProgress(false);
    showDisconnectedPanes();
    ctx_.view.setTopMenusEnabled(false);
}

void Station::showHeadSilent()
{
    const std::string label = texts::text(texts::TextId::HeadSilent, ctx_.setup.global().englishUi());
    ctx_.view.setCaption(label);
    ctx_.view.updatePane(0, PaneUpdate::make(label, kWhite, kRed, 1, std::nullopt));
}

void Station::showDisconnectedPanes()
{
    const bool english = ctx_.setup.global().englishUi();
    const std::string label = texts::text(texts::TextId::PaneDisconnected, english);
    ctx_.view.updatePane(0, PaneUpdate::make(label, kWhite, kRed, 1, std::nullopt));
    ctx_.view.updatePane(1, PaneUpdate::make(std::string(), std::nullopt, std::nullopt, 2, std::nullopt));
    ctx_.view.updatePane(2, PaneUpdate::make(label, std::nullopt, std::nullopt, std::nullopt, 0));
    ctx_.setup.grid().set(0, 0);
}

void Station::close()
{
    if (closed_.exchange(true))
        return;
    ctx_.flags.run = false;
    ctx_.flags.stop();
    {
        std::lock_guard lock(stateMutex_);
        currentToken_->store(true);
    }
    joinWorkers();
    if (ended_)
        return;

    // After the first missing reply nothing more is sent: the head is not answering, and waiting
    // out one bound per change would keep the window from closing.
    CUSBChannel& head = ctx_.channel;
    const std::pair<int, std::uint8_t> outputsOff[] = {
        {storage::kControlBuzzer, 0},  {storage::kControlLedFail, 0}, {storage::kControlByte5, 0},
        {storage::kControlLedPass, 0}, {storage::kControlStartup, 0}, {storage::kControlLcdFollows, 1},
    };
    for (const auto& [index, value] : outputsOff)
        if (!head.setControlByte(index, value))
            return;
    head.ShowText(text::kLcdClosed);
}

// ---- workers -------------------------------------------------------------------------------

void Station::launchStartup(Opening opening)
{
    const bool openFirst = opening != Opening::AlreadyOpen;
    auto token = std::make_shared<std::atomic<bool>>(false);
    {
        std::lock_guard lock(stateMutex_);
        currentToken_->store(true); // a start-up still running belongs to the previous connection
        currentToken_ = token;
        openPending_ = openFirst;
        rescan_ = false;
    }
    if (openFirst)
        ctx_.flags.run = false; // a loop of the previous connection ends at its next cycle

    ++activeStartups_;
    std::lock_guard lock(threadsMutex_);
    std::thread previous = std::move(startup_);
    startup_ = std::thread([this, token, opening, previous = std::move(previous)]() mutable {
        if (previous.joinable())
            previous.join();
        joinPreviousLoop();
        startupWorker(token, opening);
        --activeStartups_;
    });
}

void Station::joinPreviousLoop()
{
    std::thread loop;
    {
        std::lock_guard lock(threadsMutex_);
        loop = std::move(loop_);
    }
    if (loop.joinable())
        loop.join();
}

void Station::joinWorkers()
{
    // The start-up worker joins its predecessors and may start a loop, so it goes first.
    std::thread startup;
    {
        std::lock_guard lock(threadsMutex_);
        startup = std::move(startup_);
    }
    if (startup.joinable())
        startup.join();
    joinPreviousLoop();
}

bool Station::openHead(const Token& token)
{
    for (;;) {
        std::optional<int> notAccessible;
        const bool opened = !cancelled(token) && ctx_.channel.openTester(ctx_.bus, &notAccessible);
        std::unique_lock lock(stateMutex_);
        if (opened && !token->load()) {
            openPending_ = false;
            headUp_ = true;
            ++connectGeneration_;
            notAccessibleTold_ = false;
            notAccessibleShown_ = false;
            return true;
        }
        if (opened || !rescan_ || cancelled(token)) {
            openPending_ = false;
            lock.unlock();
            if (!opened && !cancelled(token)) {
                if (notAccessible)
                    showHeadNotAccessible(*notAccessible);
                else if (notAccessibleShown_.exchange(false))
                    showNoHead();
            }
            return false;
        }
        rescan_ = false;
    }
}

void Station::showNoHead()
{
    ctx_.view.setCaption(text::kNoHeadAtStart);
    showDisconnectedPanes();
}

void Station::showHeadNotAccessible(int error)
{
    const std::string message = headNotAccessibleText(error, ctx_.setup.global().englishUi());
    StationView& view = ctx_.view;
    notAccessibleShown_ = true;
    view.setCaption(message);
    view.updatePane(0, PaneUpdate::make(message, kWhite, kRed, 1, std::nullopt));
    if (!notAccessibleTold_.exchange(true))
        view.postMessage(StationMessage::make(message, std::nullopt, MessageIcon::Warning));
}

void Station::startupWorker(const Token& token, Opening opening)
{
    // Closing, or a newer connection, cuts the exchange in progress short.
    const CUSBChannel::CancelScope cancel([this, token] { return cancelled(token); });
    StationView& view = ctx_.view;
    if (opening != Opening::AlreadyOpen) {
        if (!openHead(token)) {
            // The silent head went away between two tries: show it gone, unless another
            // start-up took over or the window explains a head it cannot open.
            std::lock_guard lock(stateMutex_);
            if (opening == Opening::OpenSilent && !cancelled(token) && !headUp_ && !notAccessibleShown_)
                showDisconnected();
            return;
        }
        view.cancelDisconnectTimer();
        const bool answered = ctx_.ops.readGlobalSettings();
        if (opening == Opening::OpenSilent && !answered) {
            // Still silent: the window keeps saying so, and the next try comes after the delay.
            if (!cancelled(token))
                markHeadLost();
            return;
        }
        view.setCaption(connectedCaption(ctx_.setup.global().englishUi()));
        view.showProgress(true);
        view.setTopMenusEnabled(true);
    }

    if (!greet(token))
        return;

    const SetupResult result = connectionSetup([this, token] { return cancelled(token); });
    if (result == SetupResult::Lost) {
        markHeadLost();
        return;
    }
    if (result == SetupResult::Ended || result == SetupResult::Stopped || cancelled(token))
        return;
    view.showProgress(false);

    Payload identity{};
    if (!ctx_.channel.readIdentity(identity)) {
        markHeadLost();
        return;
    }
    if (!isMultiBoardType(upperAscii(identityText(identity, storage::kIdentityDeviceTypeOffset)))) {
        view.showMessage(
            StationMessage::make(texts::text(texts::TextId::UnsupportedType, ctx_.setup.global().englishUi()),
                                 std::string(), MessageIcon::Warning));
        ended_ = true;
        view.endProcess(0);
        return;
    }
    // A refused grid starts no loop: no board was judged, so the head must not show ALL PASS.
    if (result == SetupResult::GridRefused)
        return;
    startLoop(token);
}

bool Station::greet(const Token& token)
{
    CUSBChannel& head = ctx_.channel;
    head.setControlByte(storage::kControlLcdFollows, 1);
    head.setControlByte(storage::kControlBuzzer, 1);
    if (!ctx_.flags.pause(kBeep))
        return false;
    {
        std::lock_guard composite(head.compositeLock);
        std::lock_guard transaction(head.transactionLock);
        std::this_thread::sleep_for(10ms);
        int status = 0;
        head.QueryStatus(status);
    }
    head.setControlByte(storage::kControlStartup, 1);
    head.setControlByte(storage::kControlLcdFollows, 1);
    head.setControlByte(storage::kControlBuzzer, 0);
    return ctx_.flags.pause(kBeep) && !cancelled(token);
}

Station::SetupResult Station::connectionSetup(const std::function<bool()>& cancelled)
{
    StationView& view = ctx_.view;
    CUSBChannel& head = ctx_.channel;
    HeadOperations& ops = ctx_.ops;

    if (!ops.readGlobalSettings())
        return SetupResult::Lost;
    GlobalSettings global = ctx_.setup.global();
    const bool english = global.englishUi();
    view.buildMenuBar(english, global.output(GlobalSettings::CertificateMenuOff));

    view.updatePane(0, PaneUpdate::make(texts::text(texts::TextId::PaneConnected, english), kBlue, kGreen, 1,
                                        std::nullopt));

    Payload identity{};
    if (!head.readIdentity(identity))
        return SetupResult::Lost;
    view.updatePane(1, PaneUpdate::make(formatGuid(identity.data() + storage::kIdentityGuidOffset), kGuidBlue,
                                        kGreen, 1, std::nullopt));

    if (!head.readIdentity(identity))
        return SetupResult::Lost;
    const BrandRow* brand = findBrand(upperAscii(identityText(identity, storage::kIdentityBrandOffset)));
    const char* caption = brand ? (english ? brand->english : brand->chinese) : productCaption(english);
    view.updatePane(2, PaneUpdate::make(caption, kBlue, std::nullopt, 1, 2));
    head.ShowText(brand ? brand->lcdLine : text::kLcdBooting);

    if (!head.readIdentity(identity))
        return SetupResult::Lost;
    const std::string type = upperAscii(identityText(identity, storage::kIdentityDeviceTypeOffset));
    ctx_.setup.setDeviceType(type);
    SetupResult result = SetupResult::Done;
    if (isMultiBoardType(type)) {
        view.setTopMenusEnabled(true);
        view.setCommandEnabled(cmd::kSetting, false);
        view.setCommandEnabled(cmd::kExpandSetting, true);
        switch (BoardLoader(ctx_, cancelled).load()) {
        case BoardLoader::Result::Loaded:
        case BoardLoader::Result::BoardMissing: // tested as far as loaded; the rest not measured
            break;
        case BoardLoader::Result::GridRefused:
            result = SetupResult::GridRefused;
            break;
        case BoardLoader::Result::NoReply:
            return SetupResult::Lost;
        case BoardLoader::Result::Stopped:
            return SetupResult::Stopped;
        }
    } else {
        view.setTopMenusEnabled(false);
    }

    FirmwareInfo firmware;
    if (!head.ReadFirmwareInfo(firmware))
        return SetupResult::Lost;
    head.setFirmwareInfo(firmware);
    if (firmware.version() < kLowestFirmware) {
        view.showMessage(StationMessage::make(texts::text(texts::TextId::OldFirmware, english), std::string(),
                                              MessageIcon::Warning));
        ended_ = true;
        view.endProcess(0);
        return SetupResult::Ended;
    }

    if (!ops.readGlobalSettings())
        return SetupResult::Lost;
    view.setGridColors(ctx_.setup.global().colors);
    return result;
}

void Station::startLoop(const Token& token)
{
    std::lock_guard state(stateMutex_);
    if (cancelled(token))
        return;
    ctx_.flags.run = true;
    loopActive_ = true;
    std::lock_guard threads(threadsMutex_);
    if (loop_.joinable())
        loop_.join(); // cannot happen: the previous loop was joined before this start-up began
    loop_ = std::thread([this] {
        AcquisitionLoop(ctx_).run();
        loopActive_ = false;
    });
}

void Station::markHeadLost()
{
    {
        std::lock_guard lock(stateMutex_);
        headUp_ = false;
        ctx_.flags.run = false;
        currentToken_->store(true);
        removalGeneration_ = connectGeneration_;
    }
    ctx_.view.startDisconnectTimer(kDisconnectDelay);
}

bool Station::headStillPresent()
{
    const std::string path = ctx_.channel.devicePath();
    if (path.empty())
        return false;
    const std::vector<std::string> present = ctx_.bus.enumerate();
    return std::find(present.begin(), present.end(), path) != present.end();
}

} // namespace station

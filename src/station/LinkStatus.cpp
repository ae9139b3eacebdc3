#include "LinkStatus.h"

#include "StationTexts.h"
#include "device/CUSBChannel.h"
#include "texts/Texts.h"

namespace station {
namespace {

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kYellow{255, 255, 0};

} // namespace

bool LinkStatus::headSilent(const CUSBChannel& channel, std::chrono::steady_clock::time_point now)
{
    return channel.hasDevice() && !channel.inStep() && now - channel.lastReplyAt() >= kSilentAfter;
}

void LinkStatus::update(bool english)
{
    const bool silent = headSilent(channel_, std::chrono::steady_clock::now());
    if (silent == silentShown_)
        return;
    silentShown_ = silent;
    if (silent) {
        const char* label = texts::text(texts::TextId::HeadSilent, english);
        view_.setCaption(label);
        // Black on yellow: a warning, told apart at a glance from connected (green) and gone (red).
        view_.updatePane(0, PaneUpdate::make(label, kBlack, kYellow, 1, std::nullopt));
        return;
    }
    view_.setCaption(texts::text(texts::TextId::ConnectedCaption, english));
    view_.updatePane(0, PaneUpdate::make(texts::text(texts::TextId::PaneConnected, english), kBlue, kGreen, 1,
                                         std::nullopt));
}

} // namespace station

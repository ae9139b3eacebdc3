#pragma once

#include "station/StationView.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A window for the station's logic without widgets: records what the logic shows, from any
// thread. The disconnect timer is only recorded; GuiLoop fires it.
class FakeView : public station::StationView {
public:
    struct Pane {
        std::string label;
        station::Rgb labelColor;
        station::Rgb fillColor;
        int fillMode = 0;
        int align = 0;
    };

    void setCaption(const std::string& text) override
    {
        std::lock_guard lock(mutex_);
        captions_.push_back(text);
    }
    void updatePane(int pane, const station::PaneUpdate& update) override
    {
        std::lock_guard lock(mutex_);
        Pane& p = panes_[pane];
        if (update.label)
            p.label = *update.label;
        if (update.labelColor)
            p.labelColor = *update.labelColor;
        if (update.fillColor)
            p.fillColor = *update.fillColor;
        if (update.fillMode)
            p.fillMode = *update.fillMode;
        if (update.align)
            p.align = *update.align;
    }
    void buildMenuBar(bool english, bool) override
    {
        std::lock_guard lock(mutex_);
        menuBars_.push_back(english);
    }
    void setTopMenusEnabled(bool enabled) override
    {
        std::lock_guard lock(mutex_);
        menusEnabled_ = enabled;
    }
    void setCommandEnabled(int id, bool enabled) override
    {
        std::lock_guard lock(mutex_);
        commands_[id] = enabled;
    }
    void showProgress(bool visible) override
    {
        std::lock_guard lock(mutex_);
        progressVisible_ = visible;
    }
    void setProgressRange(int maximum) override
    {
        std::lock_guard lock(mutex_);
        progressMax_ = maximum;
    }
    void setProgressPosition(int position) override
    {
        std::lock_guard lock(mutex_);
        progress_ = position;
    }
    void stepProgress() override
    {
        std::lock_guard lock(mutex_);
        ++progress_;
    }
    void setGridColors(const ColorScheme&) override {}
    void repaintGrid() override {}
    void showMessage(const station::StationMessage& message) override { postMessage(message); }
    void postMessage(const station::StationMessage& message) override
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
        changed_.notify_all();
    }
    void endProcess(int code) override
    {
        std::lock_guard lock(mutex_);
        exitCode_ = code;
        changed_.notify_all();
    }
    void refreshExpansionDialog() override
    {
        std::lock_guard lock(mutex_);
        ++refreshes_;
    }
    void startDisconnectTimer(std::chrono::milliseconds delay) override
    {
        std::lock_guard lock(mutex_);
        timerDue_ = std::chrono::steady_clock::now() + delay;
    }
    void cancelDisconnectTimer() override
    {
        std::lock_guard lock(mutex_);
        timerDue_.reset();
    }

    // Observations.
    std::string caption() const
    {
        std::lock_guard lock(mutex_);
        return captions_.empty() ? std::string() : captions_.back();
    }
    std::vector<std::string> captions() const
    {
        std::lock_guard lock(mutex_);
        return captions_;
    }
    Pane pane(int index) const
    {
        std::lock_guard lock(mutex_);
        auto it = panes_.find(index);
        return it == panes_.end() ? Pane{} : it->second;
    }
    std::optional<bool> menusEnabled() const
    {
        std::lock_guard lock(mutex_);
        return menusEnabled_;
    }
    std::optional<bool> commandEnabled(int id) const
    {
        std::lock_guard lock(mutex_);
        auto it = commands_.find(id);
        return it == commands_.end() ? std::nullopt : std::optional<bool>(it->second);
    }
    std::vector<bool> menuBars() const
    {
        std::lock_guard lock(mutex_);
        return menuBars_;
    }
    std::vector<std::string> messageTexts() const
    {
        std::lock_guard lock(mutex_);
        std::vector<std::string> texts;
        for (const auto& m : messages_)
            texts.push_back(m.text);
        return texts;
    }
    std::vector<station::StationMessage> messages() const
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::optional<int> exitCode() const
    {
        std::lock_guard lock(mutex_);
        return exitCode_;
    }
    int refreshes() const
    {
        std::lock_guard lock(mutex_);
        return refreshes_;
    }
    bool progressVisible() const
    {
        std::lock_guard lock(mutex_);
        return progressVisible_;
    }
    std::pair<int, int> progress() const
    {
        std::lock_guard lock(mutex_);
        return {progress_, progressMax_};
    }
    // Takes the timer when it is due (the GUI loop then fires it).
    bool takeDueTimer()
    {
        std::lock_guard lock(mutex_);
        if (!timerDue_ || std::chrono::steady_clock::now() < *timerDue_)
            return false;
        timerDue_.reset();
        return true;
    }
    bool timerPending() const
    {
        std::lock_guard lock(mutex_);
        return timerDue_.has_value();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> captions_;
    std::map<int, Pane> panes_;
    std::vector<bool> menuBars_;
    std::optional<bool> menusEnabled_;
    std::map<int, bool> commands_;
    bool progressVisible_ = false;
    int progress_ = 0;
    int progressMax_ = 0;
    std::vector<station::StationMessage> messages_;
    std::optional<int> exitCode_;
    int refreshes_ = 0;
    std::optional<std::chrono::steady_clock::time_point> timerDue_;
};

// The test thread plays the GUI thread: bus notifications from any thread are queued and run
// here, in order, while the test waits; the disconnect timer fires here too.
class GuiLoop {
public:
    void post(std::function<void()> fn)
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(fn));
        wake_.notify_all();
    }

    // Runs queued work (and the due timer through onTimer) until pred() holds or the time is up.
    template <typename Pred>
    bool pumpUntil(Pred pred, FakeView& view, const std::function<void()>& onTimer,
                   std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            runPending();
            if (view.takeDueTimer())
                onTimer();
            if (pred())
                return true;
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::milliseconds(5), [this] { return !queue_.empty(); });
        }
    }

    void runPending()
    {
        for (;;) {
            std::function<void()> fn;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty())
                    return;
                fn = std::move(queue_.front());
                queue_.pop_front();
            }
            fn();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
};

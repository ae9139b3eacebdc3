#pragma once

#include <atomic>
#include <memory>

class CExpandDlg;

// What the rest of the station needs to know about the expansion board dialog, without widgets
// in its interface. The main window owns one link and hands it to runExpansionSetting.
//
// - dialogOpen(): the acquisition loop keeps reading the head but leaves the grid's counts and
//   the record file alone while it is true (any thread).
// - refresh(): board loading calls it at its end; an open dialog reloads itself from the head.
//   From another thread it waits until the GUI thread has handled it, so the caller must not
//   hold the device's compositeLock, and the GUI thread must not be waiting for the caller.
//
// Create the link on the GUI thread.
class ExpansionDialogLink {
public:
    ExpansionDialogLink();
    ~ExpansionDialogLink();
    ExpansionDialogLink(const ExpansionDialogLink&) = delete;
    ExpansionDialogLink& operator=(const ExpansionDialogLink&) = delete;

    bool dialogOpen() const { return open_.load(std::memory_order_acquire); }

    // The refresh message: with both parameters 0 an open dialog reloads itself; any other
    // value does nothing. Returns 0, as the message does.
    int refresh(long wParam = 0, long lParam = 0);

    // Called by the dialog itself (GUI thread) while it exists.
    void attach(CExpandDlg* dialog);
    void detach(CExpandDlg* dialog);

private:
    struct Relay;
    std::atomic<bool> open_{false};
    std::unique_ptr<Relay> relay_; // lives on the GUI thread; reaches the dialog there
};

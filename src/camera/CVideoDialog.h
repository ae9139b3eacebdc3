#pragma once

#include "CCaptureVideo.h"

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

// The camera window ("Video dialog"): a device list, Open, Snapshot, the preview area and one
// line saying where snapshots go. Modeless and resizable; any number may be open at once, all
// sharing the process-wide snapshot request and file counter. Closing the window stops its
// capture and frees the camera. Open it with
//     auto* dlg = new CVideoDialog(this); dlg->setAttribute(Qt::WA_DeleteOnClose); dlg->show();
class CVideoDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids of the window.
    static constexpr int kDeviceListId = 1047;
    static constexpr int kOpenId = 1048;
    static constexpr int kSnapshotId = 1049;
    static constexpr int kPreviewAreaId = 1050;
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 2;

    // english: the language of the "no camera" notice.
    explicit CVideoDialog(QWidget* parent = nullptr, bool english = false);
    ~CVideoDialog() override;

    CVideoDialog(const CVideoDialog&) = delete;
    CVideoDialog& operator=(const CVideoDialog&) = delete;

    CCaptureVideo& capture() { return capture_; }

    void done(int result) override; // Esc and the hidden buttons also stop the capture

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool english_ = false;
    void buildControls();
    void fillDeviceList();
    void placeControls();
    void onOpen();
    void onSnapshot();

    QComboBox* deviceList_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* snapshotButton_ = nullptr;
    QFrame* previewArea_ = nullptr;
    QLabel* folderLine_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    CCaptureVideo capture_;
};

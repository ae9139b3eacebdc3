#pragma once

#include <QDialog>
#include <QString>

#include <array>

class HeadOperations;
class ExpansionDialogLink;
class QLineEdit;

namespace uikit {
class CEditListCtrl;
}

// The expansion board dialog: the expansion board count and bus addresses, the size of the board
// grid and the address map (which expansion board port serves each board index). Every button
// that writes does so at once; OK stores the edits one block read-modify-write each and then the
// whole map. The numbers are read like every dialog number and stored as their low 8 bits,
// except rows and columns, which must be 0..4 (the grid view's 4 x 4 positions): Set and OK
// refuse anything else with a message and write nothing.
class CExpandDlg : public QDialog {
    Q_OBJECT
public:
    enum ControlId {
        IdBoardCount = 1017,
        IdRows = 1019,
        IdCols = 1027,
        IdMapList = 1028,
        IdInitialise = 1029,
        IdWriteMap = 1030,
        IdReadMap = 1031,
        IdReadGrid = 1032,
        IdSetGrid = 1033,
        IdOk = 1,
        IdCancel = 2,
    };
    // Address edits of expansion boards 0..7, in this order.
    static constexpr std::array<int, 8> kAddressIds{1018, 1020, 1021, 1022, 1023, 1024, 1025, 1026};
    // The message whose parameters (both 0) make the dialog reload itself.
    static constexpr int kRefreshMessage = 0x40A;
    // Address map columns.
    enum MapColumn { ColNum, ColRow, ColCol, ColIndex, ColPort, ColChNum, kMapColumns };
    // Channel counts of a freshly made map: Set uses 40, Initialise 32.
    static constexpr int kSetChannels = 40;
    static constexpr int kInitialiseChannels = 32;

    // Reads the global settings and the board table from the head and shows them. While the
    // dialog exists, link (if given) reports it open and passes refresh messages to it.
    explicit CExpandDlg(HeadOperations& head, ExpansionDialogLink* link = nullptr, QWidget* parent = nullptr);
    ~CExpandDlg() override;

    // The refresh message: both parameters 0 reload edits and list from the head; anything
    // else does nothing. Returns 0.
    int onRefreshMessage(long wParam, long lParam);

    // The message shown when rows or columns lie outside 0..4.
    static QString gridSizeMessage(bool english);

    void accept() override;

private:
    void readGrid();      // 1032
    void setGrid();       // 1033
    void initialiseMap(); // 1029
    void readMap();       // 1031
    void writeMap();      // 1030
    void buildControls();
    void showEdits();
    void rebuildList();
    void makeItems(int count);
    void fillItem(int k, int row, int col, int boardIndex, int port, int channels);
    // Rows and columns typed in 1019 and 1027, when both lie in 0..4; otherwise shows the
    // message and returns false.
    bool typedGridAcceptable(int& rows, int& cols);
    bool english() const;

    HeadOperations& head_;
    ExpansionDialogLink* link_;
    QLineEdit* boardCount_ = nullptr;
    std::array<QLineEdit*, 8> addresses_{};
    QLineEdit* rows_ = nullptr;
    QLineEdit* cols_ = nullptr;
    uikit::CEditListCtrl* map_ = nullptr;
};

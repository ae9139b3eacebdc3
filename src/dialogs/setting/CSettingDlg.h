#pragma once

#include "display/BoardGrid.h"
#include "setup/Channels.h"
#include "setup/GridCounts.h"
#include "setup/ThresholdRule.h"
#include "texts/Texts.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>

class CColorBar;
class HeadOperations;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace setting {
class SampleList;
}

// The baseline and threshold settings of one board position: the operator captures samples of
// the live counts, averages the ticked ones into references, derives thresholds by percentage or
// by allowances (for all channels or one), masks channels, sets the display range, the Pearson
// threshold and the custom channel order, and stores it all on the head with OK.
//
// The one-cell preview grid holds the working data; OK writes it, Cancel drops it. The preview
// also shows the board's live counts, taken from the main grid at every tick of its timer. Board data is
// handled only for a multi-board head whose board could be read; otherwise the dialog shows its
// controls without data and OK only closes it.
class CSettingDlg : public QDialog {
    Q_OBJECT
public:
    // deviceType: the head's device type, upper-cased; row, col: the board position.
    // grid: the main window's grid view data (live counts, and the order shown at the position).
    CSettingDlg(HeadOperations& head, display::BoardGrid& grid, std::string deviceType, int row, int col,
                QWidget* parent = nullptr);
    ~CSettingDlg() override;

    int boardIndex() const { return boardIndex_; }
    int channels() const { return channels_; }
    bool editsBoard() const { return editsBoard_; }
    // The preview's panel: the working data of the dialog.
    display::BoardPanel& workingPanel() { return preview_.panel(0, 0); }
    CColorBar& preview() { return *previewView_; }

    void accept() override;

private:
    void buildControls();
    void loadBoard();
    bool readBoardIntoPreview();
    void fillOrderControls(bool orderEnable, const ChannelBytes& headOrder);
    void applyLanguage();
    // The text in the dialog's language.
    QString say(::texts::TextId id) const;

    const display::BoardPanel* liveSource() const;
    void copyLiveCounts();

    void captureSample();
    void computeBaseline();
    void chooseAllChannels();
    void chooseSingleChannel();
    void applySingleSetting();
    void setAllMasks(std::uint8_t mode);
    void saveSamples();
    void loadSamples();

    // Input checks: each shows what is wrong (naming the field or the first channel concerned),
    // puts the cursor into the field where there is one, and gives nullopt or false.
    std::optional<std::uint16_t> checkedField(QLineEdit* edit, ::texts::TextId name, int max);
    struct ViewRange {
        std::uint16_t max = 0;
        std::uint16_t min = 0;
    };
    std::optional<ViewRange> checkedViewRange();
    bool thresholdsStorable(int channel, const thresholdrule::Thresholds& thresholds);

    // The record fields OK stores, as checked.
    struct StoredFields {
        std::uint16_t viewRangeMax = 0;
        std::uint16_t viewRangeMin = 0;
        std::uint16_t percentage = 0;
        std::uint16_t allowedHigh = 0;
        std::uint16_t allowedLow = 0;
        double pearsonPercent = 0.0;
    };
    bool storeBoard(const StoredFields& fields);
    bool storeOrder();

    HeadOperations& head_;
    display::BoardGrid& grid_;
    const std::string deviceType_;
    const int row_;
    const int col_;
    int boardIndex_ = 0;
    int channels_ = 0;
    bool english_ = false;
    bool multiBoard_ = false;
    bool editsBoard_ = false;
    int sampleCounter_ = 0;

    GridCounts previewCounts_{1, 1};
    display::BoardGrid preview_{previewCounts_};

    setting::SampleList* samples_ = nullptr;  // 1001
    setting::SampleList* averages_ = nullptr; // 1003
    QPushButton* capture_ = nullptr;          // 1002
    QPushButton* save_ = nullptr;             // 1014
    QPushButton* load_ = nullptr;             // 1013
    QPushButton* baseline_ = nullptr;         // 1016
    QLineEdit* rangeMax_ = nullptr;           // 1007
    QLineEdit* rangeMin_ = nullptr;           // 1008
    QCheckBox* pearson_ = nullptr;            // 1051
    QLineEdit* pearsonPercent_ = nullptr;     // 1017
    QPushButton* openAll_ = nullptr;          // 1011
    QPushButton* closeAll_ = nullptr;         // 1012
    QRadioButton* byPercentage_ = nullptr;    // 1004
    QLineEdit* percentage_ = nullptr;         // 1006
    QRadioButton* byAllowance_ = nullptr;     // 1005
    QLineEdit* allowedLow_ = nullptr;         // 1009
    QLineEdit* allowedHigh_ = nullptr;        // 1010
    QCheckBox* allChannels_ = nullptr;        // 1055
    QCheckBox* singleChannel_ = nullptr;      // 1056
    QComboBox* channelChoice_ = nullptr;      // 1054
    QPushButton* applySingle_ = nullptr;      // 1057
    CColorBar* previewView_ = nullptr;        // 1015
    QCheckBox* customOrder_ = nullptr;        // 1058
    QLineEdit* orderText_ = nullptr;          // 1059
    QTimer* liveTimer_ = nullptr;
};

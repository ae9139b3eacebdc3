#include "CExpandDlg.h"

#include "ExpansionPictures.h"
#include "setup/BoardTable.h"
#include "setup/GridCounts.h"
#include "setup/HeadOperations.h"
#include "setup/TestSetup.h"
#include "uikit/CEditListCtrl.h"
#include "uikit/ControlId.h"
#include "uikit/DialogBackground.h"
#include "uikit/DialogNumber.h"
#include "uikit/MessageBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

// Texts of a map cell are read up to this length, as the list hands them out.
constexpr int kMaxCellText = 255;

QString number(int value)
{
    return QString::number(value);
}

QLineEdit* makeEdit(QWidget* parent, int id)
{
    auto* edit = new QLineEdit(parent);
    uikit::setControlId(edit, id);
    edit->setMaximumWidth(60);
    return edit;
}

QPushButton* makeButton(QWidget* parent, int id, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    uikit::setControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

// Number of map items shown for a grid: one per board index, never more than the table holds.
int itemCount(int rows, int cols)
{
    return std::min(rows * cols, BoardTable::kEntries);
}

// Blanks around it, an optional sign and at least one digit, nothing else.
bool isWholeNumber(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^[ \\t]*[+-]?[0-9]+[ \\t]*$"));
    return pattern.match(text).hasMatch();
}

} // namespace

CExpandDlg::CExpandDlg(HeadOperations& head, QWidget* parent) : QDialog(parent), head_(head)
{
    setWindowTitle(QStringLiteral("Expand board setting"));
    buildControls();

    head_.readGlobalSettings();
    showEdits();
    rebuildList();
    readMap();
}

QString CExpandDlg::gridSizeMessage(bool english)
{
    return english ? QStringLiteral("Rows and columns must be from 0 to 4!")
                   : QStringLiteral("行数和列数必须在0到4之间！");
}

void CExpandDlg::buildControls()
{
    setAutoFillBackground(true);
    QPalette tiled = palette();
    tiled.setBrush(QPalette::Window, QBrush(uikit::dialogBackgroundTile()));
    setPalette(tiled);

    auto* picture = new QLabel(this);
    picture->setPixmap(expansionSidePicture());
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    // Expansion board addresses.
    auto* addressGroup = new QGroupBox(QStringLiteral("扩展板地址"), this);
    auto* addressGrid = new QGridLayout(addressGroup);
    boardCount_ = makeEdit(addressGroup, IdBoardCount);
    addressGrid->addWidget(new QLabel(QStringLiteral("扩展板数量"), addressGroup), 0, 0);
    addressGrid->addWidget(boardCount_, 0, 1);
    for (std::size_t i = 0; i < addresses_.size(); ++i) {
        addresses_[i] = makeEdit(addressGroup, kAddressIds[i]);
        const int line = 1 + static_cast<int>(i) / 4;
        const int column = static_cast<int>(i % 4) * 2;
        addressGrid->addWidget(new QLabel(QStringLiteral("地址"), addressGroup), line, column);
        addressGrid->addWidget(addresses_[i], line, column + 1);
    }

    // Rows and columns.
    auto* gridGroup = new QGroupBox(QStringLiteral("行列数设置"), this);
    auto* gridLine = new QHBoxLayout(gridGroup);
    rows_ = makeEdit(gridGroup, IdRows);
    cols_ = makeEdit(gridGroup, IdCols);
    auto* readGridButton = makeButton(gridGroup, IdReadGrid, QStringLiteral("读取"));
    auto* setGridButton = makeButton(gridGroup, IdSetGrid, QStringLiteral("设置"));
    gridLine->addWidget(new QLabel(QStringLiteral("行"), gridGroup));
    gridLine->addWidget(rows_);
    gridLine->addWidget(new QLabel(QStringLiteral("列"), gridGroup));
    gridLine->addWidget(cols_);
    gridLine->addWidget(readGridButton);
    gridLine->addWidget(setGridButton);
    gridLine->addStretch();

    // Address map.
    auto* mapGroup = new QGroupBox(QStringLiteral("地址映射"), this);
    auto* mapLayout = new QVBoxLayout(mapGroup);
    map_ = new uikit::CEditListCtrl(mapGroup);
    uikit::setControlId(map_, IdMapList);
    map_->setMinimumSize(360, 220);
    auto* initialiseButton = makeButton(mapGroup, IdInitialise, QStringLiteral("初始化"));
    auto* readMapButton = makeButton(mapGroup, IdReadMap, QStringLiteral("读取"));
    auto* writeMapButton = makeButton(mapGroup, IdWriteMap, QStringLiteral("写入"));
    auto* mapButtons = new QHBoxLayout;
    mapButtons->addWidget(initialiseButton);
    mapButtons->addWidget(readMapButton);
    mapButtons->addWidget(writeMapButton);
    mapButtons->addStretch();
    mapLayout->addWidget(map_);
    mapLayout->addLayout(mapButtons);

    auto* okButton = makeButton(this, IdOk, QStringLiteral("OK"));
    auto* cancelButton = makeButton(this, IdCancel, QStringLiteral("Cancel"));
    auto* closeButtons = new QHBoxLayout;
    closeButtons->addStretch();
    closeButtons->addWidget(okButton);
    closeButtons->addWidget(cancelButton);

    auto* right = new QVBoxLayout;
    right->addWidget(addressGroup);
    right->addWidget(gridGroup);
    right->addWidget(mapGroup, 1);
    right->addLayout(closeButtons);
    auto* whole = new QHBoxLayout(this);
    whole->addWidget(picture);
    whole->addLayout(right, 1);

    connect(readGridButton, &QPushButton::clicked, this, &CExpandDlg::readGrid);
    connect(setGridButton, &QPushButton::clicked, this, &CExpandDlg::setGrid);
    connect(initialiseButton, &QPushButton::clicked, this, &CExpandDlg::initialiseMap);
    connect(readMapButton, &QPushButton::clicked, this, &CExpandDlg::readMap);
    connect(writeMapButton, &QPushButton::clicked, this, &CExpandDlg::writeMap);
    connect(okButton, &QPushButton::clicked, this, &CExpandDlg::accept);
    connect(cancelButton, &QPushButton::clicked, this, &CExpandDlg::reject);
}

bool CExpandDlg::english() const
{
    return head_.setup().global().englishUi();
}

void CExpandDlg::showEdits()
{
    const GlobalSettings global = head_.setup().global();
    boardCount_->setText(number(global.expandBoardCount));
    for (std::size_t i = 0; i < addresses_.size(); ++i)
        addresses_[i]->setText(number(global.expandBoardAddress[i]));
    rows_->setText(number(global.gridRows));
    cols_->setText(number(global.gridCols));
}

void CExpandDlg::rebuildList()
{
    map_->clearChoice();
    map_->setRowCount(0);
    map_->setColumns({QStringLiteral("Num"), QStringLiteral("Row"), QStringLiteral("Col"),
                      QStringLiteral("Index"), QStringLiteral("Port"), QStringLiteral("ChNum")},
                     {55, 55, 55, 55, 55, 60});
    const GlobalSettings global = head_.setup().global();
    makeItems(itemCount(global.gridRows, global.gridCols));
}

void CExpandDlg::makeItems(int count)
{
    map_->clearChoice();
    map_->setRowCount(0);
    map_->setRowCount(count);
    for (int k = 0; k < count; ++k)
        map_->setCellText(k, ColNum, number(k));
}

void CExpandDlg::fillItem(int k, int row, int col, int boardIndex, int port, int channels)
{
    if (k < 0 || k >= map_->rowCount())
        return; // an item the list does not have (a stored grid larger than the table)
    map_->setCellText(k, ColRow, number(row));
    map_->setCellText(k, ColCol, number(col));
    map_->setCellText(k, ColIndex, number(boardIndex));
    map_->setCellText(k, ColPort, number(port));
    map_->setCellText(k, ColChNum, number(channels));
}

bool CExpandDlg::typedGridAcceptable(int& rows, int& cols)
{
    // Checked on the typed value, before it is cut to a byte: 260 must not pass as 4. A typo
    // ("x", "2x", nothing) must not pass as 0 rows either, which would empty the grid at once.
    const auto typed = [](const QLineEdit* edit) {
        return static_cast<int>(std::clamp<std::int64_t>(uikit::leadingInteger(edit->text()), -1, 1000));
    };
    const bool numbers = isWholeNumber(rows_->text()) && isWholeNumber(cols_->text());
    const int typedRows = typed(rows_);
    const int typedCols = typed(cols_);
    if (!numbers || !GridCounts::acceptable(typedRows, typedCols)) {
        uikit::message(this, gridSizeMessage(english()), QMessageBox::Warning);
        return false;
    }
    rows = typedRows;
    cols = typedCols;
    return true;
}

void CExpandDlg::readGrid()
{
    head_.readGlobalSettings();
    const GlobalSettings global = head_.setup().global();
    rows_->setText(number(global.gridRows));
    cols_->setText(number(global.gridCols));
}

void CExpandDlg::setGrid()
{
    int rows = 0;
    int cols = 0;
    if (!typedGridAcceptable(rows, cols))
        return;
    makeItems(rows * cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int k = r * cols + c;
            fillItem(k, r, c, k / 8, k % 8, kSetChannels);
        }
    head_.changeGlobalSettings([rows, cols](GlobalSettings& global) {
        global.gridRows = static_cast<std::uint8_t>(rows);
        global.gridCols = static_cast<std::uint8_t>(cols);
    });
}

void CExpandDlg::initialiseMap()
{
    head_.readGlobalSettings();
    const GlobalSettings global = head_.setup().global();
    for (int r = 0; r < global.gridRows; ++r)
        for (int c = 0; c < global.gridCols; ++c) {
            const int k = r * global.gridCols + c;
            fillItem(k, r, c, k / 8, k % 8, kInitialiseChannels);
        }
}

void CExpandDlg::readMap()
{
    head_.readGlobalSettings();
    head_.readBoardTable();
    const GlobalSettings global = head_.setup().global();
    const BoardTable table = head_.setup().boardTable();
    const int count = std::min(itemCount(global.gridRows, global.gridCols), map_->rowCount());
    for (int k = 0; k < count; ++k) {
        const BoardTableEntry& entry = table.entries[static_cast<std::size_t>(k)];
        fillItem(k, entry.row(), entry.col(), entry.boardIndex, entry.port, entry.channelCount);
    }
}

void CExpandDlg::writeMap()
{
    head_.readGlobalSettings();
    const GlobalSettings global = head_.setup().global();
    // Only the items the list shows, and never past the 64-entry table.
    const int count = std::min(itemCount(global.gridRows, global.gridCols), map_->rowCount());
    for (int k = 0; k < count; ++k) {
        const auto cell = [this, k](int column) {
            return uikit::dialogNumber<std::uint8_t>(map_->cellText(k, column).left(kMaxCellText));
        };
        head_.updateBoardTableEntry(k, cell(ColRow), cell(ColCol), cell(ColIndex), cell(ColPort),
                                    cell(ColChNum));
    }
}

void CExpandDlg::accept()
{
    int rows = 0;
    int cols = 0;
    if (!typedGridAcceptable(rows, cols))
        return; // nothing written, the dialog stays open for a correction

    using Setter = std::function<void(GlobalSettings&, std::uint8_t)>;
    std::vector<std::pair<QLineEdit*, Setter>> fields;
    fields.emplace_back(boardCount_, [](GlobalSettings& g, std::uint8_t v) { g.expandBoardCount = v; });
    for (std::size_t i = 0; i < addresses_.size(); ++i)
        fields.emplace_back(addresses_[i],
                            [i](GlobalSettings& g, std::uint8_t v) { g.expandBoardAddress[i] = v; });
    fields.emplace_back(rows_, [](GlobalSettings& g, std::uint8_t v) { g.gridRows = v; });
    fields.emplace_back(cols_, [](GlobalSettings& g, std::uint8_t v) { g.gridCols = v; });

    // One full read-modify-write of block 249 per edit, in the order of the edits.
    for (const auto& field : fields) {
        const auto value = uikit::dialogNumber<std::uint8_t>(field.first->text());
        const Setter& store = field.second;
        head_.changeGlobalSettings([&store, value](GlobalSettings& global) { store(global, value); });
    }
    writeMap();
    QDialog::accept();
}

int CExpandDlg::onRefreshMessage(long wParam, long lParam)
{
    if (wParam != 0 || lParam != 0)
        return 0;
    head_.readGlobalSettings();
    showEdits();
    rebuildList();
    readMap();
    return 0;
}

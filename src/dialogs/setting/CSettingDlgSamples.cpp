// The baseline dialog's sample files: the captured rows saved to and loaded from the raw-data
// file of the board position.
#include "CSettingDlg.h"
#include "SampleList.h"
#include "SettingTexts.h"
#include "persistence/RawDataFile.h"
#include "uikit/MessageBox.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

void CSettingDlg::saveSamples()
{
    const int channels = samples_->channelColumns();
    std::vector<rawdata::SampleRow> rows;
    for (int r = 0; r < samples_->rowCount(); ++r) {
        rawdata::SampleRow row;
        row.label = r;
        row.ticked = samples_->ticked(r);
        for (int c = 0; c < std::min(channels, rawdata::kMaxChannels); ++c)
            row.values[static_cast<std::size_t>(c)] = samples_->value(r, c);
        rows.push_back(row);
    }
    const std::filesystem::path file = rawdata::filePath(row_, col_);
    if (!rawdata::save(file, rows, channels))
        uikit::message(this, setting::texts::samplesNotSaved(english_, QString::fromStdString(file.string())),
                       QMessageBox::Warning);
}

void CSettingDlg::loadSamples()
{
    if (uikit::message(this, QString::fromUtf8(rawdata::kReloadQuestion), QMessageBox::Question,
                       QMessageBox::Ok | QMessageBox::Cancel, QString()) != QMessageBox::Ok)
        return;
    // The file is read before the list is touched: without it the captured samples stay.
    const std::optional<std::vector<rawdata::SampleRow>> rows = rawdata::load(rawdata::filePath(row_, col_));
    if (!rows) {
        uikit::message(this, QString::fromUtf8(rawdata::kFileMissing), QMessageBox::NoIcon, QMessageBox::Ok,
                       QString());
        return;
    }
    samples_->setRowCount(0);
    // The rows come in the order the list shows them; inserting at the top goes bottom-up.
    for (auto row = rows->rbegin(); row != rows->rend(); ++row)
        samples_->insertTopRow(QString::asprintf("%d", row->label), row->ticked, row->values);
}

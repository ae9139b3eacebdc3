#pragma once

#include "CItemEdit.h"

#include <QAbstractItemDelegate>
#include <QPointer>
#include <QRect>
#include <QTableWidget>

namespace uikit {

// A report-style list in which every cell can be edited in place: a first click on a cell
// chooses it (highlighted and framed), a second click on the same cell opens a CItemEdit over
// it; Enter or a click elsewhere writes the text into that cell only, Escape leaves it as it
// was. The control draws its cells itself so that the chosen cell's highlight fits its text.
class CEditListCtrl : public QTableWidget {
    Q_OBJECT
public:
    // Width given to the highlight of an empty cell, before the 6-pixel margin.
    static constexpr int kEmptyTextWidth = 41;

    explicit CEditListCtrl(QWidget* parent = nullptr);

    // Replaces every column: headings and widths in pixels, all left-aligned.
    void setColumns(const QStringList& headings, const QList<int>& widths);
    // Text of a cell; an empty string for a cell without an item.
    QString cellText(int row, int col) const;
    void setCellText(int row, int col, const QString& text);

    int editRow() const { return editRow_; }
    int editCol() const { return editCol_; }
    bool cellChosen() const { return cellChosen_; }
    bool listActive() const { return listActive_; }
    // Forgets the chosen cell (both flags clear).
    void clearChoice();

    // The open in-place editor, or null.
    CItemEdit* itemEdit() const { return itemEdit_; }

    // Where the highlight of a cell is drawn, in viewport coordinates: from 4 pixels into the
    // cell, as wide as the text plus 6 (41 + 6 for an empty cell), never past the cell.
    QRect highlightRect(int row, int col) const;
    // The text as drawn in the cell: one line, cut with an ellipsis when too long.
    QString shownText(int row, int col) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class EditListDelegate;

    bool cursorOverList() const;
    QRect highlightRect(const QRect& cell, const QString& text) const;
    QRect textRect(const QRect& cell) const;
    bool editorOpenAt(int row, int col) const;
    void editorCreated(CItemEdit* editor, int row, int col);

    int editCol_ = -1;
    int editRow_ = -1;
    bool cellChosen_ = false;
    bool listActive_ = false;
    QPointer<CItemEdit> itemEdit_;
    int itemEditRow_ = -1;
    int itemEditCol_ = -1;
};

} // namespace uikit

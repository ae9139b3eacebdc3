#include "CEditListCtrl.h"

#include <QApplication>
#include <QCursor>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace uikit {

// Draws every cell itself and hands out CItemEdit as the in-place editor.
class EditListDelegate : public QStyledItemDelegate {
public:
    explicit EditListDelegate(CEditListCtrl* list) : QStyledItemDelegate(list), list_(list) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        auto* edit = new CItemEdit(parent);
        edit->setEditLeft(option.rect.left() + 4);
        list_->editorCreated(edit, index.row(), index.column());
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* edit = qobject_cast<CItemEdit*>(editor))
            edit->setText(index.data().toString());
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        // The index is the chosen cell: the text goes there and nowhere else.
        if (auto* edit = qobject_cast<CItemEdit*>(editor))
            model->setData(index, edit->text());
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& /*index*/) const override
    {
        // The box ends at the cell's right edge, starting at editLeft.
        const QRect cell = option.rect;
        if (auto* edit = qobject_cast<CItemEdit*>(editor))
            edit->place(QRect(cell.left(), cell.top(), std::max(cell.width() - 4, 1), cell.height()));
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int row = index.row();
        const int col = index.column();
        const QRect cell = option.rect;
        painter->save();
        painter->fillRect(cell, option.palette.color(QPalette::Base));
        // Under an open editor nothing is drawn, so no old text shows beside a shorter box.
        if (!list_->editorOpenAt(row, col)) {
            const QString text = index.data().toString();
            const QRect highlight = list_->highlightRect(cell, text);
            const bool isChoice = list_->listActive_ && row == list_->editRow_ && col == list_->editCol_;
            QColor textColor = option.palette.color(QPalette::Text);
            if (isChoice && list_->cellChosen_) {
                painter->fillRect(highlight, option.palette.color(QPalette::Highlight));
                textColor = option.palette.color(QPalette::HighlightedText);
            }
            if (isChoice) {
                painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
                painter->drawRect(highlight.adjusted(0, 0, -1, -1));
            }
            painter->setFont(list_->font());
            painter->setPen(textColor);
            const QRect textArea = list_->textRect(cell);
            const QString shown = list_->fontMetrics().elidedText(text, Qt::ElideRight, textArea.width());
            painter->drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        }
        painter->restore();
    }

private:
    CEditListCtrl* list_;
};

CEditListCtrl::CEditListCtrl(QWidget* parent) : QTableWidget(parent)
{
    setItemDelegate(new EditListDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers); // editing starts only by the second click
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
}

void CEditListCtrl::setColumns(const QStringList& headings, const QList<int>& widths)
{
    setColumnCount(0);
    setColumnCount(static_cast<int>(headings.size()));
    setHorizontalHeaderLabels(headings);
    for (int c = 0; c < headings.size() && c < widths.size(); ++c)
        setColumnWidth(c, widths[c]);
}

QString CEditListCtrl::cellText(int row, int col) const
{
    const QTableWidgetItem* cell = item(row, col);
    return cell != nullptr ? cell->text() : QString();
}

void CEditListCtrl::setCellText(int row, int col, const QString& text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    if (QTableWidgetItem* cell = item(row, col))
        cell->setText(text);
    else
        setItem(row, col, new QTableWidgetItem(text));
}

void CEditListCtrl::clearChoice()
{
    editRow_ = -1;
    editCol_ = -1;
    cellChosen_ = false;
    listActive_ = false;
}

QRect CEditListCtrl::highlightRect(int row, int col) const
{
    return highlightRect(visualRect(model()->index(row, col)), cellText(row, col));
}

QString CEditListCtrl::shownText(int row, int col) const
{
    const QRect area = textRect(visualRect(model()->index(row, col)));
    return fontMetrics().elidedText(cellText(row, col), Qt::ElideRight, area.width());
}

QRect CEditListCtrl::highlightRect(const QRect& cell, const QString& text) const
{
    const int textWidth = text.isEmpty() ? kEmptyTextWidth : fontMetrics().horizontalAdvance(text);
    const int left = cell.left() + 4;
    const int right = std::min(left + textWidth + 6, cell.right() + 1); // exclusive right edge
    return QRect(left, cell.top(), std::max(right - left, 0), cell.height());
}

QRect CEditListCtrl::textRect(const QRect& cell) const
{
    return cell.adjusted(6, 0, 0, 0);
}

bool CEditListCtrl::editorOpenAt(int row, int col) const
{
    return itemEdit_ != nullptr && row == itemEditRow_ && col == itemEditCol_;
}

void CEditListCtrl::editorCreated(CItemEdit* editor, int row, int col)
{
    itemEdit_ = editor;
    itemEditRow_ = row;
    itemEditCol_ = col;
}

bool CEditListCtrl::cursorOverList() const
{
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void CEditListCtrl::mousePressEvent(QMouseEvent* event)
{
    // Only the left button chooses and edits; the others get the list's usual handling.
    if (event->button() != Qt::LeftButton) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    listActive_ = true;
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (hit.isValid()) {
        QTableWidget::mousePressEvent(event); // the row selection as usual
        if (cellChosen_ && hit.row() == editRow_ && hit.column() == editCol_) {
            edit(hit);
            return;
        }
        editRow_ = hit.row();
        editCol_ = hit.column();
        cellChosen_ = true;
    } else {
        if (itemEdit_ == nullptr)
            cellChosen_ = false;
        QTableWidget::mousePressEvent(event);
    }
    viewport()->update();
}

void CEditListCtrl::focusOutEvent(QFocusEvent* event)
{
    QTableWidget::focusOutEvent(event);
    if (cursorOverList())
        return;
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || (itemEdit_ != nullptr && focus == itemEdit_))
        return; // the focus went to the list's own editor, or to no window at all
    clearChoice();
    viewport()->update();
}

void CEditListCtrl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Tab does not walk on to the next cell: the next edit needs its own choice.
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
        hint = QAbstractItemDelegate::NoHint;
    if (editor == itemEdit_) {
        itemEdit_ = nullptr;
        itemEditRow_ = -1;
        itemEditCol_ = -1;
    }
    QTableWidget::closeEditor(editor, hint);
    // Over the list the cell stays chosen, so a further click on it edits it again.
    if (!cursorOverList())
        clearChoice();
    viewport()->update();
}

} // namespace uikit

#pragma once

#include <QLineEdit>

namespace uikit {

// The in-place editor of CEditListCtrl. Whatever x position the list gives it, the box stays at
// editLeft, so the list's editor opens over the chosen column rather than the first one; size
// and y are left as the list sets them.
class CItemEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CItemEdit(QWidget* parent = nullptr);

    int editLeft() const { return editLeft_; }
    void setEditLeft(int x);

    // Applies a geometry proposed by the list, keeping x at editLeft.
    void place(const QRect& proposed);

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    int editLeft_ = 0;
};

} // namespace uikit

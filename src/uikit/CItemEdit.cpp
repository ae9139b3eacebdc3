#include "CItemEdit.h"

#include <QMoveEvent>

namespace uikit {

CItemEdit::CItemEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(true);
}

void CItemEdit::setEditLeft(int x)
{
    editLeft_ = x;
    if (this->x() != x)
        move(x, y());
}

void CItemEdit::place(const QRect& proposed)
{
    setGeometry(QRect(editLeft_, proposed.y(), proposed.width(), proposed.height()));
}

void CItemEdit::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    if (event->pos().x() != editLeft_)
        move(editLeft_, event->pos().y()); // any later move the list makes is pinned again
}

} // namespace uikit

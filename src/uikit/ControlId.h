#pragma once

#include <QAction>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

// Every dialog control carries its number (1000 up) in the "controlId" property and every menu
// command its number (32773 up) in QAction::data(), so code and tests find them by number.
namespace uikit {

inline constexpr const char* kControlIdProperty = "controlId";

inline void setControlId(QWidget* widget, int id)
{
    widget->setProperty(kControlIdProperty, id);
}

inline int controlId(const QObject* object)
{
    const QVariant v = object->property(kControlIdProperty);
    return v.isValid() ? v.toInt() : -1;
}

// The first widget below root (or root itself) carrying the id and of type T; null when none.
template <typename T = QWidget> T* findControl(QWidget* root, int id)
{
    if (root == nullptr)
        return nullptr;
    if (controlId(root) == id)
        if (auto* t = qobject_cast<T*>(root))
            return t;
    const auto children = root->findChildren<T*>();
    for (T* child : children)
        if (controlId(child) == id)
            return child;
    return nullptr;
}

// Menu commands: the action's data holds the command number.
inline QAction* addCommand(QMenu* menu, int id, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setData(id);
    return action;
}

inline int commandId(const QAction* action)
{
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : -1;
}

// Searches a menu (and its sub-menus) for the command; null when none.
inline QAction* findCommand(const QMenu* menu, int id)
{
    if (menu == nullptr)
        return nullptr;
    for (QAction* action : menu->actions()) {
        if (commandId(action) == id)
            return action;
        if (QAction* found = findCommand(action->menu(), id))
            return found;
    }
    return nullptr;
}

inline QAction* findCommand(const QMenuBar* bar, int id)
{
    if (bar == nullptr)
        return nullptr;
    for (QAction* action : bar->actions()) {
        if (commandId(action) == id)
            return action;
        if (QAction* found = findCommand(action->menu(), id))
            return found;
    }
    return nullptr;
}

} // namespace uikit

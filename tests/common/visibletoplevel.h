#pragma once

#include <QApplication>
#include <QWidget>

// The first visible top-level window of type T, or nullptr: how a test finds a window the program
// opened by itself.
template<typename T> T *visibleTopLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

#pragma once

#include <QWidget>

#include <stdexcept>
#include <string>

// A control of a window, found by its object name; a name that is gone is an error of the
// test, not a null to click.
template <class T>
T *namedControl(const QWidget *root, const char *name)
{
    T *found = root ? root->findChild<T *>(QLatin1String(name)) : nullptr;
    if (!found)
        throw std::logic_error(std::string("the window has no control ") + name);
    return found;
}

// A control of a window controller's window.
template <class T, class Controller>
T *control(const Controller &controller, const char *name)
{
    return namedControl<T>(controller.window(), name);
}

#pragma once

class QInputEvent;
class QKeyEvent;
class QMouseEvent;

// What the views react to in mouse and key events. On Linux the Command modifier of the
// original keyboard shortcuts is Control.
bool hlIsClickSingle(const QMouseEvent &event);
bool hlIsClickDouble(const QMouseEvent &event);
bool hlIsMaskCommand(const QInputEvent &event);
bool hlIsMaskShift(const QInputEvent &event);
// Backspace: the key that deletes backwards.
bool hlIsKeyDelete(const QKeyEvent &event);
bool hlIsKeyLeft(const QKeyEvent &event);
bool hlIsKeyRight(const QKeyEvent &event);
bool hlIsKeyDown(const QKeyEvent &event);
bool hlIsKeyUp(const QKeyEvent &event);

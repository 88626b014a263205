#pragma once
// The widget of a registered class's window and of a dialog: it shows the
// window's backing buffer and turns Qt's mouse and keyboard events into the
// window's messages. A dialog's widget also does the dialog manager's
// keyboard work (Escape, Enter).

#include <windows.h>

#include "hosted_widget.h"

#include <QWidget>

namespace host::user {

class PlainWidget : public Hosted<QWidget> {
public:
    PlainWidget(HWND hwnd, bool dialog, QWidget* parent, Qt::WindowFlags flags);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void SendMouse(UINT msg, QMouseEvent* e);
    bool dialog_;
};

// The virtual-key code of a Qt key, or 0 when the key has none here.
UINT VirtualKeyFromQt(int key);

}  // namespace host::user

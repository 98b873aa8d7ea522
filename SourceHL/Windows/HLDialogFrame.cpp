#include "SourceHL/Windows/HLDialogFrame.h"

#include "SourceHL/Windows/HLUIWndSzBackView.h"
#include "widgets/HLUIWindowTitleView.h"

#include <QDialog>
#include <QVBoxLayout>

HLDialogFrame hl_makeDialogFrame(const QString &title)
{
    auto *window = new QDialog;
    window->setWindowTitle(title);
    window->setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *titleView = new HLUIWindowTitleView(window);
    titleView->setStrTitle(window->windowTitle());
    titleView->setFixedHeight(25);
    layout->addWidget(titleView);
    auto *back = new HLUIWndSzBackView(window);
    layout->addWidget(back);
    auto *rows = new QVBoxLayout(back);
    rows->setContentsMargins(20, 18, 20, 16);
    rows->setSpacing(16);
    return {window, back, rows};
}

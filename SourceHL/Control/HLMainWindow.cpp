#include "SourceHL/Control/HLMainWindow.h"

#include "SourceHL/View/HLDisplayVCtrl.h"
#include "SourceHL/View/HLLineGeometry.h"
#include "widgets/HLNamedImage.h"
#include "widgets/HLUIAULineBackView.h"
#include "widgets/HLUIAULineTitleView.h"
#include "widgets/HLUIDisplayBackView.h"
#include "widgets/HLUITTLineTitleView.h"
#include "widgets/HLUITimeView.h"
#include "widgets/HLUIToolbarBackView.h"
#include "widgets/HLUIWindowTitleView.h"
#include "widgets/RightAreaTopBackView.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kToolbarHeight = 66;
constexpr int kRightAreaWidth = 340;
constexpr int kLineHeaderWidth = 44;
constexpr int kStripHeight = 110;
constexpr int kTextLineHeight = int(kTextlineBackHeight);
constexpr int kAudioLineHeight = 66; // the cells and the bar that scrolls them
constexpr int kProgressStripHeight = 28;

QWidget *filled(QWidget *widget, double grey)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(grey, grey, grey, 1.0));
    widget->setPalette(palette);
    return widget;
}

// The header of a line of the content line, with its picture in the middle.
template <class Header>
QWidget *lineHeader(const QString &image, int height)
{
    auto *header = new Header;
    header->setFixedSize(kLineHeaderWidth, height);
    auto *headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 1, 0);
    auto *icon = new QLabel(header);
    icon->setPixmap(HLNamedImage::pixmap(image, header->devicePixelRatioF()));
    icon->setAlignment(Qt::AlignCenter);
    headerLayout->addWidget(icon);
    return header;
}

// One line of the content line: its header, then its painted background across the rest of
// the width.
template <class Header, class Background>
QHBoxLayout *lineRow(const QString &image, const QString &name, int height)
{
    auto *background = new Background;
    background->setObjectName(name);
    background->setFixedHeight(height);
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(lineHeader<Header>(image, height));
    row->addWidget(background, 1);
    return row;
}

} // namespace

HLMainWindow::HLMainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("HLMainWndCtrl"));
    setWindowIcon(HLNamedImage::icon(QStringLiteral("Slideshow")));
    setMinimumSize(960, 640);
    resize(1200, 800);

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    vWindowTitle = new HLUIWindowTitleView(central);
    vWindowTitle->setFixedHeight(25);
    column->addWidget(vWindowTitle);
    column->addWidget(p_makeToolbar());

    auto *middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(p_makePreviewColumn(), 1);
    middle->addWidget(p_makeRightArea());
    column->addLayout(middle, 1);
    column->addWidget(p_makeContentline());
    setCentralWidget(central);
}

QToolButton *HLMainWindow::p_makeToolButton(const QString &icon, const QString &label, const QString &name)
{
    auto *button = new QToolButton;
    button->setObjectName(name);
    button->setIcon(HLNamedImage::icon(icon));
    button->setIconSize(QSize(32, 32));
    button->setText(label);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(74, kToolbarHeight - 6);
    QFont font = button->font();
    font.setPointSizeF(9);
    button->setFont(font);
    return button;
}

QWidget *HLMainWindow::p_makeToolbar()
{
    auto *bar = new HLUIToolbarBackView;
    bar->setFixedHeight(kToolbarHeight);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 3, 10, 3);
    row->setSpacing(2);
    btnAddMedia = p_makeToolButton(QStringLiteral("ToolbarAddMedia"), tr("Add Media"), QStringLiteral("btnAddMedia"));
    btnAddText = p_makeToolButton(QStringLiteral("ToolbarAddText"), tr("Add Text"), QStringLiteral("btnAddText"));
    btnAddAudio = p_makeToolButton(QStringLiteral("ToolbarAddAudio"), tr("Add Audio"), QStringLiteral("btnAddAudio"));
    btnEdit = p_makeToolButton(QStringLiteral("ToolbarEdit"), tr("Edit"), QStringLiteral("btnEdit"));
    // Its label names the chosen kind ("Edit Transition", "Stop Editing"): wide enough for all.
    int editWidth = btnEdit->width();
    for (const QString &label : {tr("Edit Transition"), tr("Stop Editing"), tr("Edit Slideshow")})
        editWidth = std::max(editWidth, btnEdit->fontMetrics().horizontalAdvance(label) + 14);
    btnEdit->setFixedWidth(editWidth);
    btnSort = p_makeToolButton(QStringLiteral("ToolbarSort"), tr("Sort"), QStringLiteral("btnSort"));
    btnPlay = p_makeToolButton(QStringLiteral("Play"), tr("Play"), QStringLiteral("btnPlay"));
    btnSetting = p_makeToolButton(QStringLiteral("ToolbarSetting"), tr("Setting"), QStringLiteral("btnSetting"));
    btnMedia = p_makeToolButton(QStringLiteral("ToolbarMedia"), tr("Media"), QStringLiteral("btnMedia"));
    btnSize = p_makeToolButton(QStringLiteral("ToolbarSize"), QString(), QStringLiteral("btnSize"));
    btnExport = p_makeToolButton(QStringLiteral("ToolbarExport"), tr("Export"), QStringLiteral("btnExport"));

    for (QToolButton *button : {btnAddMedia, btnAddText, btnAddAudio, btnEdit})
        row->addWidget(button);
    row->addStretch(1);

    // The play time over the duration, in the middle of the bar.
    auto *times = new QWidget(bar);
    auto *timesColumn = new QVBoxLayout(times);
    timesColumn->setContentsMargins(0, 8, 0, 8);
    timesColumn->setSpacing(6);
    vTimeNowTime = new HLUITimeView(times);
    vTimeNowTime->setObjectName(QStringLiteral("vTimeNowTime"));
    vTimeDuration = new HLUITimeView(times);
    vTimeDuration->setObjectName(QStringLiteral("vTimeDuration"));
    timesColumn->addWidget(vTimeNowTime, 0, Qt::AlignHCenter);
    timesColumn->addWidget(vTimeDuration, 0, Qt::AlignHCenter);
    row->addWidget(times);
    row->addWidget(btnPlay);
    row->addStretch(1);

    for (QToolButton *button : {btnSort, btnSetting, btnMedia, btnSize, btnExport})
        row->addWidget(button);
    return bar;
}

QWidget *HLMainWindow::p_makePreviewColumn()
{
    vDisplayBackView = new HLUIDisplayBackView;
    vDisplayBackView->setObjectName(QStringLiteral("vDisplayBackView"));
    auto *column = new QVBoxLayout(vDisplayBackView);
    // The preview fills the column above the strip, or all of it when the strip is hidden.
    column->setContentsMargins(0, 1, 0, 0);
    column->setSpacing(0);
    vDisplayContentView = new QWidget(vDisplayBackView);
    vDisplayContentView->setObjectName(QStringLiteral("vDisplayContentView"));
    auto *content = new QGridLayout(vDisplayContentView);
    content->setContentsMargins(0, 0, 0, 0);
    vCtrlDisplay = new HLDisplayVCtrl(vDisplayContentView);
    vCtrlDisplay->setObjectName(QStringLiteral("vCtrlDisplay"));
    content->addWidget(vCtrlDisplay, 0, 0);
    vDisplayProgressView = filled(new QWidget(vDisplayBackView), 0.14);
    vDisplayProgressView->setObjectName(QStringLiteral("vDisplayProgressView"));
    vDisplayProgressView->setFixedHeight(kProgressStripHeight);
    column->addWidget(vDisplayContentView, 1);
    column->addWidget(vDisplayProgressView);
    return vDisplayBackView;
}

QWidget *HLMainWindow::p_makeRightArea()
{
    vEditBackView = filled(new QWidget, 0.15);
    vEditBackView->setObjectName(QStringLiteral("vEditBackView"));
    vEditBackView->setFixedWidth(kRightAreaWidth);
    auto *column = new QVBoxLayout(vEditBackView);
    column->setContentsMargins(1, 0, 0, 0);
    column->setSpacing(0);
    auto *head = new RightAreaTopBackView(vEditBackView);
    head->setFixedHeight(8);
    column->addWidget(head);
    vEditPaneArea = new QWidget(vEditBackView);
    vEditPaneArea->setObjectName(QStringLiteral("vEditPaneArea"));
    auto *panes = new QVBoxLayout(vEditPaneArea);
    panes->setContentsMargins(0, 0, 0, 0);
    column->addWidget(vEditPaneArea, 1);
    return vEditBackView;
}

QWidget *HLMainWindow::p_makeContentline()
{
    vContentlineBackView = filled(new QWidget, 0.12);
    vContentlineBackView->setObjectName(QStringLiteral("vContentlineBackView"));
    auto *column = new QVBoxLayout(vContentlineBackView);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // The strip and the text line scroll together in the host (one time axis); their headers
    // stand left of it, the text line's beside its row, over the host's scroll bar.
    auto *top = new QHBoxLayout;
    top->setSpacing(0);
    auto *headers = new QVBoxLayout;
    headers->setSpacing(0);
    auto *stripHead = filled(new QWidget, 0.12);
    stripHead->setFixedWidth(kLineHeaderWidth);
    headers->addWidget(stripHead, 1);
    headers->addWidget(lineHeader<HLUITTLineTitleView>(QStringLiteral("TextHead"), kTextLineHeight));
    auto *barHead = filled(new QWidget, 0.12);
    barHead->setFixedSize(kLineHeaderWidth, style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    headers->addWidget(barHead);
    top->addLayout(headers);
    vSlideshowStripHost = filled(new QWidget(vContentlineBackView), 0.12);
    vSlideshowStripHost->setObjectName(QStringLiteral("vSlideshowStripHost"));
    vSlideshowStripHost->setFixedHeight(kStripHeight);
    top->addWidget(vSlideshowStripHost, 1);
    column->addLayout(top);

    column->addLayout(lineRow<HLUIAULineTitleView, HLUIAULineBackView>(
        QStringLiteral("AudioHead"), QStringLiteral("vAudiolineBackView"), kAudioLineHeight));
    return vContentlineBackView;
}

void HLMainWindow::closeEvent(QCloseEvent *event)
{
    if (blkShouldClose && !blkShouldClose())
        event->ignore();
    else
        event->accept();
}

#include "dvd/ui/ExportDVDMenuEditCtrl.h"

#include "dvd/ui/MenuEditAreaView.h"
#include "widgets/MenuRightAreaView.h"
#include "widgets/HLWindowBar.h"

#include "dvd/DVDMenuCanvasGeometry.h"
#include "dvd/DVDMenuEditObject.h"
#include "dvd/DVDMenuItemEditObject.h"
#include "dvd/DVDTimeText.h"
#include "dvd/EffectTextImage.h"
#include "widgets/HLColorWell.h"
#include "dvd/ui/DVDFrameResourceItemContainerView.h"
#include "dvd/ui/DVDFrameResourceItemView.h"
#include "dvd/ui/DVDImageWell.h"
#include "dvd/ui/DVDMenuEditView.h"
#include "dvd/ui/DVDMenuEditViewHighlightView.h"

#include "Frameworks/Trevanel/TrevanelFrameResource.h"
#include "Frameworks/Trevanel/TrevanelResource.h"
#include "Platform/Foundation/HLDispatch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

#include <cmath>

namespace {

// Sliders hold whole numbers: the zoom in hundredths of the menu height, the movie time in
// milliseconds, the roundness in hundredths.
constexpr double kZoomScale = 100.0;
constexpr double kTimeScale = 1000.0;
constexpr double kRoundScale = 100.0;
constexpr int kReloadDelayMs = 200;
const QStringList kShadowWidths = {QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6"),
                                   QStringLiteral("8"), QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("20")};

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLineEdit *numberField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setFixedWidth(48);
    return field;
}

void setSlider(QSlider *slider, double value)
{
    const QSignalBlocker quiet(slider);
    slider->setValue(int(std::lround(value)));
}

} // namespace

ExportDVDMenuEditCtrl::ExportDVDMenuEditCtrl(QWidget *parent)
    : m_openPanel([](QWidget *window) {
          return QFileDialog::getOpenFileName(window, QStringLiteral("Choose a Picture"));
      })
{
    p_makeWindow(parent);
    m_reloadTimer = new QTimer(this);
    m_reloadTimer->setSingleShot(true);
    m_reloadTimer->setInterval(kReloadDelayMs);
    connect(m_reloadTimer, &QTimer::timeout, this, [this] { loadMenuItemVideoImageForMenuEditHelper(); });
    p_connect();
    m_menuEditView->setDelegate([this] { selectedEditItemDidChanged(); });
    showEditFrameView(true);
    loadFrameResourceList();
    loadShadowSettings();
    loadMenuItemImageSettings();
    loadMenuItemTextSettings();
}

ExportDVDMenuEditCtrl::~ExportDVDMenuEditCtrl()
{
    *m_alive = false;
    if (m_reload.valid())
        m_reload.wait();
    delete m_window;
}

std::shared_ptr<DVDMenuEditObject> ExportDVDMenuEditCtrl::dvdMenuEdit() const
{
    return m_menuEditView->menuObject();
}

std::shared_ptr<DVDMenuItemEditObject> ExportDVDMenuEditCtrl::p_item() const
{
    return m_menuEditView->currentEditItem();
}

double ExportDVDMenuEditCtrl::p_menuHeight() const
{
    return dvdMenuEdit()->menuSize.height();
}

void ExportDVDMenuEditCtrl::p_makeWindow(QWidget *parent)
{
    m_window = new QDialog(parent);
    m_window->setObjectName(QStringLiteral("ExportDVDMenuEditCtrl"));
    m_window->setWindowTitle(QStringLiteral("Edit DVD Menu"));
    m_window->setWindowModality(Qt::ApplicationModal);

    m_canvasContainer = new MenuEditAreaView(m_window);
    m_canvasContainer->setFixedSize(560, 400);
    m_menuEditView = new DVDMenuEditView(m_canvasContainer);
    m_menuEditView->attachHighlightView();

    // The frame chooser stands in the right-hand column's ground, inside its edge lines.
    auto *rightArea = new MenuRightAreaView(m_window);
    auto *rightLayout = new QVBoxLayout(rightArea);
    rightLayout->setContentsMargins(2, 1, 0, 0);
    m_framesScroll = new QScrollArea(rightArea);
    rightLayout->addWidget(m_framesScroll);
    m_framesScroll->setFixedSize(220, 400);
    m_framesScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_framesScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_framesListView = new DVDFrameResourceItemContainerView;
    m_framesScroll->setWidget(m_framesListView);

    m_shadowEditView = p_makeShadowPane();
    auto *settings = new QWidget(m_window);
    auto *stack = new QStackedLayout(settings);
    m_vEditFrameView = p_makeFramePane();
    m_vEditTextView = p_makeTextPane();
    stack->addWidget(m_vEditFrameView);
    stack->addWidget(m_vEditTextView);

    auto *done = new QPushButton(QStringLiteral("Done"), m_window);
    done->setAutoDefault(false);
    connect(done, &QPushButton::clicked, m_window, &QDialog::accept);

    auto *layout = new QGridLayout(m_window);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setHorizontalSpacing(16);
    layout->setVerticalSpacing(12);
    layout->addWidget(m_canvasContainer, 0, 0);
    layout->addWidget(rightArea, 0, 1);
    auto *panes = new QHBoxLayout;
    panes->setSpacing(24);
    panes->addWidget(m_shadowEditView, 0, Qt::AlignTop);
    panes->addWidget(settings, 1, Qt::AlignTop);
    layout->addLayout(panes, 1, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(done);
    layout->addLayout(buttons, 2, 0, 1, 2);
    changeWindowBarToBlack(m_window);
    // The names the controls are found by (tests, screenshots).
    const std::pair<QWidget *, const char *> named[] = {
        {m_vEditFrameView, "vEditFrameView"},
        {m_vEditTextView, "vEditTextView"},
        {m_hasShadowBtn, "hasShadowBtn"},
        {m_shadowWidthBtn, "shadowWidthBtn"},
        {m_shadowPointXBtn, "shadowPointXBtn"},
        {m_shadowPointYBtn, "shadowPointYBtn"},
        {m_shadowPointXLable, "shadowPointXLable"},
        {m_shadowPointYLable, "shadowPointYLable"},
        {m_menuItemZoomBtn, "menuItemZoomBtn"},
        {m_menuItemAddBoderBtn, "menuItemAddBoderBtn"},
        {m_movieModeBtn, "menuItemMovieModeBtn"},
        {m_fileModeBtn, "menuItemFileModeBtn"},
        {m_menuItemImageTimeBtn, "menuItemImageTimeBtn"},
        {m_menuItemImageTimeLabel, "menuItemImageTimeLabel"},
        {m_menuItemLocalImageChooseBtn, "menuItemLocalImageChooseBtn"},
        {m_itemTextStringLabel, "itemTextStringLabel"},
        {m_itemTextFontNameBtn, "itemTextFontNameBtn"},
        {m_itemTextFontSizeBtn, "itemTextFontSizeBtn"},
        {m_itemTextFontSizeLabel, "itemTextFontSizeLabel"},
        {m_itemTextColorModeBtn, "itemTextColorModeBtn"},
        {m_hasTextOutlineBtn, "hasTextOutlineBtn"},
        {m_itemTextOutlineWidthBtn, "itemTextOutlineWidthBtn"},
        {m_hasTextBgBtn, "hasTextBgBtn"},
        {m_itemTextBgRoundBtn, "itemTextBgRoundBtn"},
    };
    for (const auto &[widget, name] : named)
        widget->setObjectName(QLatin1String(name));
}

QWidget *ExportDVDMenuEditCtrl::p_makeShadowPane()
{
    auto *pane = new QWidget(m_window);
    auto *grid = new QGridLayout(pane);
    grid->setContentsMargins(0, 0, 0, 0);
    m_hasShadowBtn = new QCheckBox(QStringLiteral("Shadow"), pane);
    m_shadowColorBtn = new HLColorWell(pane);
    m_shadowWidthBtn = new QComboBox(pane);
    m_shadowWidthBtn->addItems(kShadowWidths);
    m_shadowPointXBtn = new QSlider(Qt::Horizontal, pane);
    m_shadowPointYBtn = new QSlider(Qt::Horizontal, pane);
    m_shadowPointXLable = numberField(pane);
    m_shadowPointYLable = numberField(pane);
    for (QSlider *slider : {m_shadowPointXBtn, m_shadowPointYBtn}) {
        slider->setRange(-10, 10);
        slider->setMinimumWidth(140);
    }
    grid->addWidget(m_hasShadowBtn, 0, 0, 1, 3);
    grid->addWidget(caption(QStringLiteral("Color:"), pane), 1, 0);
    grid->addWidget(m_shadowColorBtn, 1, 1, Qt::AlignLeft);
    grid->addWidget(caption(QStringLiteral("Blur:"), pane), 2, 0);
    grid->addWidget(m_shadowWidthBtn, 2, 1, Qt::AlignLeft);
    grid->addWidget(caption(QStringLiteral("Offset X:"), pane), 3, 0);
    grid->addWidget(m_shadowPointXBtn, 3, 1);
    grid->addWidget(m_shadowPointXLable, 3, 2);
    grid->addWidget(caption(QStringLiteral("Offset Y:"), pane), 4, 0);
    grid->addWidget(m_shadowPointYBtn, 4, 1);
    grid->addWidget(m_shadowPointYLable, 4, 2);
    return pane;
}

QWidget *ExportDVDMenuEditCtrl::p_makeFramePane()
{
    auto *pane = new QWidget;
    auto *grid = new QGridLayout(pane);
    grid->setContentsMargins(0, 0, 0, 0);
    m_menuItemZoomBtn = new QSlider(Qt::Horizontal, pane);
    m_menuItemZoomBtn->setRange(10, 100);
    m_menuItemAddBoderBtn = new QCheckBox(QStringLiteral("Frame"), pane);
    m_movieModeBtn = new QRadioButton(QStringLiteral("Movie frame"), pane);
    m_fileModeBtn = new QRadioButton(QStringLiteral("Picture file"), pane);
    m_menuItemImageModeBtn = new QButtonGroup(pane);
    m_menuItemImageModeBtn->addButton(m_movieModeBtn, 0);
    m_menuItemImageModeBtn->addButton(m_fileModeBtn, 1);
    m_menuItemImageBtn = new DVDImageWell(pane);
    m_menuItemImageBtn->setFixedSize(128, 96);
    m_menuItemImageTimeBtn = new QSlider(Qt::Horizontal, pane);
    m_menuItemImageTimeLabel = new QLineEdit(pane);
    m_menuItemImageTimeLabel->setFixedWidth(96);
    m_menuItemLocalImageChooseBtn = new QPushButton(QStringLiteral("Choose…"), pane);
    m_menuItemLocalImageChooseBtn->setAutoDefault(false);

    grid->addWidget(caption(QStringLiteral("Size:"), pane), 0, 0);
    grid->addWidget(m_menuItemZoomBtn, 0, 1, 1, 2);
    grid->addWidget(m_menuItemAddBoderBtn, 1, 1, 1, 2);
    auto *modes = new QHBoxLayout;
    modes->addWidget(m_movieModeBtn);
    modes->addWidget(m_fileModeBtn);
    modes->addStretch(1);
    grid->addWidget(caption(QStringLiteral("Picture:"), pane), 2, 0);
    grid->addLayout(modes, 2, 1, 1, 2);
    grid->addWidget(m_menuItemImageBtn, 3, 1, 2, 1);
    grid->addWidget(m_menuItemImageTimeBtn, 3, 2);
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(m_menuItemImageTimeLabel);
    timeRow->addWidget(m_menuItemLocalImageChooseBtn);
    timeRow->addStretch(1);
    grid->addLayout(timeRow, 4, 2);
    grid->setColumnStretch(2, 1);
    return pane;
}

QWidget *ExportDVDMenuEditCtrl::p_makeTextPane()
{
    auto *pane = new QWidget;
    auto *grid = new QGridLayout(pane);
    grid->setContentsMargins(0, 0, 0, 0);
    m_itemTextStringLabel = new QLineEdit(pane);
    m_itemTextFontNameBtn = new QFontComboBox(pane);
    m_itemTextFontNameBtn->setMaximumWidth(220);
    m_itemTextFontSizeBtn = new QSlider(Qt::Horizontal, pane);
    m_itemTextFontSizeBtn->setRange(1, 300);
    m_itemTextFontSizeLabel = numberField(pane);
    m_itemTextColorModeBtn = new QComboBox(pane);
    m_itemTextColorModeBtn->addItems({QStringLiteral("Color"), QStringLiteral("Gradient")});
    m_itemTextColorBtn = new HLColorWell(pane);
    m_itemTextEndColorBtn = new HLColorWell(pane);
    m_hasTextOutlineBtn = new QCheckBox(QStringLiteral("Outline"), pane);
    m_itemTextOutlineColorBtn = new HLColorWell(pane);
    m_itemTextOutlineWidthBtn = new QSlider(Qt::Horizontal, pane);
    m_itemTextOutlineWidthBtn->setRange(1, 100);
    m_hasTextBgBtn = new QCheckBox(QStringLiteral("Background"), pane);
    m_itemTextBgColorBtn = new HLColorWell(pane);
    m_itemTextBgRoundBtn = new QSlider(Qt::Horizontal, pane);
    m_itemTextBgRoundBtn->setRange(0, int(kRoundScale));

    int row = 0;
    grid->addWidget(caption(QStringLiteral("Text:"), pane), row, 0);
    grid->addWidget(m_itemTextStringLabel, row++, 1, 1, 3);
    grid->addWidget(caption(QStringLiteral("Font:"), pane), row, 0);
    grid->addWidget(m_itemTextFontNameBtn, row++, 1, 1, 3);
    grid->addWidget(caption(QStringLiteral("Size:"), pane), row, 0);
    grid->addWidget(m_itemTextFontSizeBtn, row, 1, 1, 2);
    grid->addWidget(m_itemTextFontSizeLabel, row++, 3);
    grid->addWidget(caption(QStringLiteral("Fill:"), pane), row, 0);
    auto *fill = new QHBoxLayout;
    fill->addWidget(m_itemTextColorModeBtn);
    fill->addWidget(m_itemTextColorBtn);
    fill->addWidget(m_itemTextEndColorBtn);
    fill->addStretch(1);
    grid->addLayout(fill, row++, 1, 1, 3);
    grid->addWidget(m_hasTextOutlineBtn, row, 1);
    grid->addWidget(m_itemTextOutlineColorBtn, row, 2, Qt::AlignLeft);
    grid->addWidget(m_itemTextOutlineWidthBtn, row++, 3);
    grid->addWidget(m_hasTextBgBtn, row, 1);
    grid->addWidget(m_itemTextBgColorBtn, row, 2, Qt::AlignLeft);
    grid->addWidget(m_itemTextBgRoundBtn, row++, 3);
    grid->setColumnStretch(3, 1);
    return pane;
}

void ExportDVDMenuEditCtrl::p_connect()
{
    connect(m_hasShadowBtn, &QCheckBox::clicked, this, [this] { hasShadowBtnAction(); });
    connect(m_shadowColorBtn, &HLColorWell::colorChosen, this, [this] { shadowColorBtnAction(); });
    connect(m_shadowWidthBtn, &QComboBox::activated, this, [this] { shadowWidthBtnAction(); });
    connect(m_shadowPointXBtn, &QSlider::valueChanged, this, [this] { shadowPointXBtnAction(); });
    connect(m_shadowPointYBtn, &QSlider::valueChanged, this, [this] { shadowPointYBtnAction(); });
    connect(m_shadowPointXLable, &QLineEdit::editingFinished, this, [this] { shadowPointXLabelAction(); });
    connect(m_shadowPointYLable, &QLineEdit::editingFinished, this, [this] { shadowPointYLabelAction(); });
    connect(m_menuItemZoomBtn, &QSlider::valueChanged, this, [this] { menuItemZoomBtnAction(); });
    connect(m_menuItemAddBoderBtn, &QCheckBox::clicked, this, [this] { menuItemAddBorderBtnAction(); });
    connect(m_menuItemImageModeBtn, &QButtonGroup::idClicked, this, [this] { menuItemImageModeAction(); });
    connect(m_menuItemImageBtn, &DVDImageWell::imageDropped, this,
            [this](const QImage &image) { menuItemImageEditAction(image); });
    connect(m_menuItemImageTimeBtn, &QSlider::valueChanged, this, [this] { menuItemImageTimeBtnAction(); });
    connect(m_menuItemImageTimeLabel, &QLineEdit::editingFinished, this, [this] { menuItemImageTimeLabelAction(); });
    connect(m_menuItemLocalImageChooseBtn, &QPushButton::clicked, this, [this] { menuItemLocalImageChoose(); });
    connect(m_itemTextStringLabel, &QLineEdit::editingFinished, this, [this] { itemTextStringChangeAction(); });
    connect(m_itemTextFontNameBtn, &QComboBox::activated, this, [this] { itemTextFontNameChangeAction(); });
    connect(m_itemTextFontSizeBtn, &QSlider::valueChanged, this, [this] { itemTextFontSizeChangeBtnAction(); });
    connect(m_itemTextFontSizeLabel, &QLineEdit::editingFinished, this, [this] { itemTextFontSizeChangeLabelAction(); });
    connect(m_itemTextColorModeBtn, &QComboBox::activated, this, [this] { itemTextFontColorModeChangeAction(); });
    connect(m_itemTextColorBtn, &HLColorWell::colorChosen, this, [this] { itemTextFontColorBtnAction(); });
    connect(m_itemTextEndColorBtn, &HLColorWell::colorChosen, this, [this] { itemTextFontEndColorBtnAction(); });
    connect(m_hasTextOutlineBtn, &QCheckBox::clicked, this, [this] { itemTextHasOutlineBtnAction(); });
    connect(m_itemTextOutlineColorBtn, &HLColorWell::colorChosen, this, [this] { itemTextOutlineColorBtnAction(); });
    connect(m_itemTextOutlineWidthBtn, &QSlider::valueChanged, this, [this] { itemTextOutlineWidthBtnAction(); });
    connect(m_hasTextBgBtn, &QCheckBox::clicked, this, [this] { itemTextHasBgBtnAction(); });
    connect(m_itemTextBgColorBtn, &HLColorWell::colorChosen, this, [this] { itemTextBgColorBtnAction(); });
    connect(m_itemTextBgRoundBtn, &QSlider::valueChanged, this, [this] { itemTextBgRoundBtnAction(); });
}

void ExportDVDMenuEditCtrl::showEditFrameView(bool frame)
{
    auto *stack = static_cast<QStackedLayout *>(m_vEditFrameView->parentWidget()->layout());
    stack->setCurrentWidget(frame ? m_vEditFrameView : m_vEditTextView);
}

void ExportDVDMenuEditCtrl::showEditWindowModal()
{
    const QSizeF menu = dvdMenuEdit()->menuSize;
    m_menuEditView->setGeometry(
        DVDMenuCanvasGeometry::canvasFrame(menu, QSizeF(m_canvasContainer->size())).toAlignedRect());
    m_menuEditView->highlightView()->setGeometry(m_canvasContainer->rect());
    m_menuEditView->loadDVDDisplayCache();
    showEditFrameView(true);
    selectedEditItemDidChanged();
    m_window->exec();
}

void ExportDVDMenuEditCtrl::selectedEditItemDidChanged()
{
    if (const auto item = p_item())
        showEditFrameView(!item->useText);
    loadShadowSettings();
    loadMenuItemImageSettings();
    loadMenuItemTextSettings();
    loadItemSelectedFrameResource();
}

void ExportDVDMenuEditCtrl::loadShadowSettings()
{
    const auto item = p_item();
    if (item) {
        m_hasShadowBtn->setChecked(item->hasShadow);
        if (item->shadowColor.isValid())
            m_shadowColorBtn->setColor(item->shadowColor);
        m_shadowWidthBtn->setCurrentIndex(m_shadowWidthBtn->findText(QString::asprintf("%.0f", item->shadowWidth)));
        setSlider(m_shadowPointXBtn, item->shadowOffset.width());
        setSlider(m_shadowPointYBtn, item->shadowOffset.height());
        m_shadowPointXLable->setText(QString::number(m_shadowPointXBtn->value()));
        m_shadowPointYLable->setText(QString::number(m_shadowPointYBtn->value()));
    }
    const bool shadow = item && item->hasShadow;
    m_hasShadowBtn->setEnabled(item != nullptr);
    for (QWidget *control : std::initializer_list<QWidget *>{m_shadowColorBtn, m_shadowWidthBtn, m_shadowPointXBtn,
                                                             m_shadowPointYBtn, m_shadowPointXLable, m_shadowPointYLable})
        control->setEnabled(shadow);
    m_menuEditView->loadDVDDisplayCache();
}

void ExportDVDMenuEditCtrl::loadMenuItemImageSettings()
{
    const auto item = p_item();
    if (item) {
        const double minimum = m_menuItemZoomBtn->minimum() / kZoomScale;
        setSlider(m_menuItemZoomBtn,
                  DVDMenuCanvasGeometry::zoomValue(item->frame.width(), p_menuHeight(), minimum) * kZoomScale);
        m_menuItemAddBoderBtn->setChecked(item->hasBorder);
        const bool file = item->useLocalImage;
        m_menuItemImageTimeBtn->setVisible(!file);
        m_menuItemImageTimeLabel->setVisible(!file);
        m_menuItemLocalImageChooseBtn->setVisible(file);
        m_menuItemImageBtn->setEditable(file);
        m_menuItemImageBtn->setImage(file ? item->localImage : item->videoImage());
        (file ? m_fileModeBtn : m_movieModeBtn)->setChecked(true);
        {
            const QSignalBlocker quiet(m_menuItemImageTimeBtn);
            m_menuItemImageTimeBtn->setRange(0, int(std::lround(item->videoImageMaxTime * kTimeScale)));
            m_menuItemImageTimeBtn->setValue(int(std::lround(item->videoImageTime * kTimeScale)));
        }
        m_menuItemImageTimeLabel->setText(DVDTimeText::hundredthsStrFromSecond(item->videoImageTime));
    }
    for (QWidget *control : std::initializer_list<QWidget *>{
             m_menuItemZoomBtn, m_menuItemAddBoderBtn, m_movieModeBtn, m_fileModeBtn, m_menuItemImageBtn,
             m_menuItemImageTimeBtn, m_menuItemImageTimeLabel, m_menuItemLocalImageChooseBtn})
        control->setEnabled(item != nullptr);
    m_menuEditView->loadDVDDisplayCache();
}

void ExportDVDMenuEditCtrl::loadMenuItemTextSettings()
{
    const auto item = p_item();
    const auto text = item ? item->text : nullptr;
    if (text) {
        m_hasTextOutlineBtn->setChecked(text->hasOutline);
        m_hasTextBgBtn->setChecked(text->backgroundType == 1);
        m_itemTextEndColorBtn->setVisible(text->textFillType != 0);
        m_itemTextStringLabel->setText(text->textString);
        // The face the text is drawn in (a missing font falls back to another).
        m_itemTextFontNameBtn->setCurrentIndex(m_itemTextFontNameBtn->findText(QFontInfo(text->textFont()).family()));
        setSlider(m_itemTextFontSizeBtn, text->textFontSize);
        m_itemTextFontSizeLabel->setText(QString::number(m_itemTextFontSizeBtn->value()));
        for (auto [well, color] : {std::pair{m_itemTextColorBtn, text->textColor},
                                   std::pair{m_itemTextEndColorBtn, text->textGradientColor},
                                   std::pair{m_itemTextOutlineColorBtn, text->textOutlineColor},
                                   std::pair{m_itemTextBgColorBtn, text->backgroundColor}}) {
            if (color.isValid())
                well->setColor(color);
        }
        m_itemTextColorModeBtn->setCurrentIndex(text->textFillType == 0 ? 0 : 1);
        setSlider(m_itemTextOutlineWidthBtn, text->outlineWidth);
        setSlider(m_itemTextBgRoundBtn, text->backgroundRadius * kRoundScale);
    }
    const bool picked = text != nullptr;
    for (QWidget *control : std::initializer_list<QWidget *>{
             m_itemTextStringLabel, m_itemTextFontNameBtn, m_itemTextFontSizeBtn, m_itemTextFontSizeLabel,
             m_itemTextColorModeBtn, m_itemTextColorBtn, m_itemTextEndColorBtn, m_hasTextOutlineBtn, m_hasTextBgBtn})
        control->setEnabled(picked);
    m_itemTextOutlineColorBtn->setEnabled(picked && text->hasOutline);
    m_itemTextOutlineWidthBtn->setEnabled(picked && text->hasOutline);
    m_itemTextBgColorBtn->setEnabled(picked && text->backgroundType == 1);
    m_itemTextBgRoundBtn->setEnabled(picked && text->backgroundType == 1);
    m_menuEditView->loadDVDDisplayCache();
}

void ExportDVDMenuEditCtrl::loadFrameResourceList()
{
    for (const auto &frame : TrevanelResource::share().frames()) {
        auto *cell = new DVDFrameResourceItemView(m_framesListView);
        cell->setDelegate([this](DVDFrameResourceItemView *view) { selectDVDFrameResourceView(view); });
        cell->setName(frame->name());
        cell->setImage(frame->frameImage());
        m_framesListView->addCell(cell);
    }
    const double width = m_framesScroll->width() - m_framesScroll->verticalScrollBar()->sizeHint().width() -
                         2 * m_framesScroll->frameWidth();
    m_framesListView->layoutCells(width, m_framesScroll->height() - 2 * m_framesScroll->frameWidth());
}

void ExportDVDMenuEditCtrl::loadItemSelectedFrameResource()
{
    const auto item = p_item();
    const QString chosen = item && item->frameResource ? item->frameResource->name() : QString();
    for (DVDFrameResourceItemView *cell : m_framesListView->cells())
        cell->setIsSelected(!chosen.isEmpty() && cell->name() == chosen);
}

void ExportDVDMenuEditCtrl::selectDVDFrameResourceView(DVDFrameResourceItemView *view)
{
    const auto item = p_item();
    if (!item || !view)
        return;
    for (const auto &frame : TrevanelResource::share().frames()) {
        if (frame->name() == view->name()) {
            item->frameResource = frame;
            break;
        }
    }
    loadItemSelectedFrameResource();
    m_menuEditView->loadDVDDisplayCache();
}

void ExportDVDMenuEditCtrl::hasShadowBtnAction()
{
    if (const auto item = p_item())
        item->hasShadow = m_hasShadowBtn->isChecked();
    loadShadowSettings();
}

void ExportDVDMenuEditCtrl::shadowColorBtnAction()
{
    if (const auto item = p_item())
        item->shadowColor = m_shadowColorBtn->color();
    loadShadowSettings();
}

void ExportDVDMenuEditCtrl::shadowWidthBtnAction()
{
    if (const auto item = p_item())
        item->shadowWidth = m_shadowWidthBtn->currentText().toDouble();
    loadShadowSettings();
}

void ExportDVDMenuEditCtrl::shadowPointXBtnAction()
{
    if (const auto item = p_item())
        item->shadowOffset.setWidth(m_shadowPointXBtn->value());
    loadShadowSettings();
}

void ExportDVDMenuEditCtrl::shadowPointYBtnAction()
{
    if (const auto item = p_item())
        item->shadowOffset.setHeight(m_shadowPointYBtn->value());
    loadShadowSettings();
}

namespace {

// A typed number goes to the slider when it can be read and lies in its range.
void typedToSlider(QLineEdit *field, QSlider *slider, double scale = 1.0)
{
    bool ok = false;
    const double value = field->text().trimmed().toDouble(&ok) * scale;
    if (ok && value >= slider->minimum() && value <= slider->maximum())
        setSlider(slider, value);
}

} // namespace

void ExportDVDMenuEditCtrl::shadowPointXLabelAction()
{
    typedToSlider(m_shadowPointXLable, m_shadowPointXBtn);
    shadowPointXBtnAction();
}

void ExportDVDMenuEditCtrl::shadowPointYLabelAction()
{
    typedToSlider(m_shadowPointYLable, m_shadowPointYBtn);
    shadowPointYBtnAction();
}

void ExportDVDMenuEditCtrl::menuItemZoomBtnAction()
{
    if (const auto item = p_item())
        item->frame = DVDMenuCanvasGeometry::zoomFrame(item->frame, m_menuItemZoomBtn->value() / kZoomScale, p_menuHeight());
    loadMenuItemImageSettings();
}

void ExportDVDMenuEditCtrl::menuItemAddBorderBtnAction()
{
    if (const auto item = p_item())
        item->hasBorder = m_menuItemAddBoderBtn->isChecked();
    loadMenuItemImageSettings();
}

void ExportDVDMenuEditCtrl::menuItemImageModeAction()
{
    if (const auto item = p_item())
        item->useLocalImage = m_menuItemImageModeBtn->checkedId() != 0;
    loadMenuItemImageSettings();
}

void ExportDVDMenuEditCtrl::menuItemImageEditAction(const QImage &image)
{
    const auto item = p_item();
    if (item && !image.isNull())
        item->localImage = image;
    loadMenuItemImageSettings();
}

void ExportDVDMenuEditCtrl::menuItemImageTimeBtnAction()
{
    if (const auto item = p_item()) {
        item->videoImageTime = m_menuItemImageTimeBtn->value() / kTimeScale;
        m_menuItemImageTimeLabel->setText(DVDTimeText::hundredthsStrFromSecond(item->videoImageTime));
    }
    m_reloadTimer->start();
}

void ExportDVDMenuEditCtrl::menuItemImageTimeLabelAction()
{
    const auto seconds = DVDTimeText::secondsFromText(m_menuItemImageTimeLabel->text());
    const double value = seconds ? std::round(*seconds * kTimeScale) : -1;
    if (seconds && value >= m_menuItemImageTimeBtn->minimum() && value <= m_menuItemImageTimeBtn->maximum()) {
        setSlider(m_menuItemImageTimeBtn, value);
        menuItemImageTimeBtnAction();
    } else {
        loadMenuItemImageSettings();
    }
}

void ExportDVDMenuEditCtrl::menuItemLocalImageChoose()
{
    const QString path = m_openPanel ? m_openPanel(m_window) : QString();
    if (path.isEmpty())
        return;
    const QImage image(path);
    const auto item = p_item();
    if (image.width() > 0 && item) {
        item->localImage = image;
        loadMenuItemImageSettings();
    }
}

void ExportDVDMenuEditCtrl::loadMenuItemVideoImageForMenuEditHelper()
{
    if (m_reload.valid() && m_reload.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        // One at a time: the one running now is followed by one more for the latest time.
        m_reloadQueued = true;
        return;
    }
    if (!m_dvdDelegate)
        return;
    m_reloadQueued = false;
    const QPointer<ExportDVDMenuEditCtrl> self(this);
    const double time = dvdMenuEdit()->dvdItem->videoImageTime;
    m_reload = std::async(std::launch::async, [self, delegate = m_dvdDelegate, alive = m_alive, time] {
        delegate(time);
        HLDispatch::onMain([self, alive] {
            if (!*alive || !self)
                return;
            self->loadMenuItemImageSettings();
            if (self->m_reloadQueued)
                self->m_reloadTimer->start(0);
        });
    });
}

void ExportDVDMenuEditCtrl::finishPendingReload()
{
    const bool pending = m_reloadTimer->isActive() || m_reloadQueued;
    m_reloadTimer->stop();
    m_reloadQueued = false;
    if (m_reload.valid())
        m_reload.wait();
    if (pending && m_dvdDelegate) {
        m_dvdDelegate(dvdMenuEdit()->dvdItem->videoImageTime);
        loadMenuItemImageSettings();
    }
}

void ExportDVDMenuEditCtrl::itemTextStringChangeAction()
{
    if (const auto item = p_item())
        item->text->textString = m_itemTextStringLabel->text();
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextFontNameChangeAction()
{
    if (const auto item = p_item()) {
        item->text->textFontName = m_itemTextFontNameBtn->currentText();
        item->text->textFontSize = std::max(m_itemTextFontSizeBtn->value(), m_itemTextFontSizeBtn->minimum());
    }
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextFontSizeChangeBtnAction()
{
    itemTextFontNameChangeAction();
}

void ExportDVDMenuEditCtrl::itemTextFontSizeChangeLabelAction()
{
    bool ok = false;
    const int value = m_itemTextFontSizeLabel->text().trimmed().toInt(&ok);
    if (ok && value >= m_itemTextFontSizeBtn->minimum() && value <= m_itemTextFontSizeBtn->maximum())
        setSlider(m_itemTextFontSizeBtn, value);
    itemTextFontSizeChangeBtnAction();
}

void ExportDVDMenuEditCtrl::itemTextFontColorModeChangeAction()
{
    if (const auto item = p_item())
        item->text->textFillType = m_itemTextColorModeBtn->currentIndex() == 0 ? 0 : 1;
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextFontColorBtnAction()
{
    if (const auto item = p_item())
        item->text->textColor = m_itemTextColorBtn->color();
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextFontEndColorBtnAction()
{
    if (const auto item = p_item())
        item->text->textGradientColor = m_itemTextEndColorBtn->color();
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextHasOutlineBtnAction()
{
    if (const auto item = p_item())
        item->text->hasOutline = m_hasTextOutlineBtn->isChecked();
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextOutlineColorBtnAction()
{
    if (const auto item = p_item())
        item->text->textOutlineColor = m_itemTextOutlineColorBtn->color();
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextOutlineWidthBtnAction()
{
    if (const auto item = p_item())
        item->text->outlineWidth = float(m_itemTextOutlineWidthBtn->value());
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextHasBgBtnAction()
{
    if (const auto item = p_item())
        item->text->backgroundType = m_hasTextBgBtn->isChecked() ? 1 : 0;
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextBgColorBtnAction()
{
    if (const auto item = p_item())
        item->text->backgroundColor = m_itemTextBgColorBtn->color();
    loadMenuItemTextSettings();
}

void ExportDVDMenuEditCtrl::itemTextBgRoundBtnAction()
{
    if (const auto item = p_item())
        item->text->backgroundRadius = float(m_itemTextBgRoundBtn->value() / kRoundScale);
    loadMenuItemTextSettings();
}

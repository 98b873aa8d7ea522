#include "SourceHL/Editors/HLTextEditVCtrl.h"

#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/Common/HLTextFieldHelper.h"
#include "widgets/HLColorWell.h"
#include "SourceHL/Editors/HLEditPaneLayout.h"
#include "SourceHL/Editors/HLTitleOverlayGeometry.h"
#include "SourceHL/Editors/HLTypedNumberField.h"
#include "SourceHL/Editors/HLUIEditBackView.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/View/HLDisplayView.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/View/HLTextDisplayView.h"
#include "widgets/HLResourceFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int kPanelWidth = 300;
constexpr int kTextTemplates = 3; // the template pools' kind of text templates
// Slider steps per unit of the style's values.
constexpr float kCenterSteps = 1000;
constexpr float kFractionSteps = 100;
constexpr float kTenthSteps = 10;

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: rgb(200, 200, 200);"));
    return label;
}

QSlider *slider(int minimum, int maximum, QWidget *parent)
{
    auto *control = new QSlider(Qt::Horizontal, parent);
    control->setRange(minimum, maximum);
    return control;
}

float sliderValue(const QSlider *control, float steps)
{
    return float(control->value()) / steps;
}

void showSlider(QSlider *control, float value, float steps)
{
    control->setValue(qRound(value * steps));
}

} // namespace

const QStringList &HLTextEditVCtrl::shadowOffsetTexts()
{
    static const QStringList texts{"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "4.0", "5.0", "6.0", "8.0", "10.0"};
    return texts;
}

HLTextEditVCtrl::HLTextEditVCtrl(HLEditWrite write) : m_write(std::move(write))
{
    m_aryQuartzNames = QStringList{QString::fromLatin1(kStrStatic)};
    if (const auto pool = HLQuartzPool::quartzPoolOf(kTextTemplates))
        m_aryQuartzNames += pool->quartzNames();
    m_aryFontNames = QFontDatabase::families();
    p_build();
    m_vTextDisplay = new HLTextDisplayView;
    m_vTextDisplay->hide();
    m_vTextDisplay->setUp([this](std::optional<float> x, std::optional<float> y) {
        p_writeStyle(
            [&](HLTextEdit &edit) {
                if (x)
                    edit.setDCenterX(*x);
                if (y)
                    edit.setDCenterY(*y);
            },
            false);
        p_setupInterfaceCenter();
    });
    p_setupInterfaceAll();
}

HLTextEditVCtrl::~HLTextEditVCtrl()
{
    if (m_vTextDisplay)
        p_updateTextDisplaySuperview(nullptr);
    delete m_vTextDisplay;
    delete m_view; // a window it was installed in may have taken it already
}

QWidget *HLTextEditVCtrl::view()
{
    return m_view;
}

void HLTextEditVCtrl::setUpSync(SyncBlock sync, std::function<void()> end)
{
    m_blkSync = std::move(sync);
    m_blkEnd = std::move(end);
}

void HLTextEditVCtrl::p_build()
{
    m_view = new HLUIEditBackView;
    m_view->setObjectName(QStringLiteral("HLTextEditVCtrl"));
    QGridLayout *grid = nullptr;
    m_layout = HLEditPaneLayout::withGrid(m_view, kPanelWidth, grid);
    QWidget *base = m_layout->vBase();
    int row = 0;

    grid->addWidget(caption(tr("Text"), base), row++, 0, 1, 3);
    edtText = new QPlainTextEdit(base);
    edtText->setTabChangesFocus(false); // Return and Tab go into the title
    edtText->setFixedHeight(64);
    connect(edtText, &QPlainTextEdit::textChanged, this, &HLTextEditVCtrl::p_textDidChange);
    grid->addWidget(edtText, row++, 0, 1, 3);

    grid->addWidget(caption(tr("Style"), base), row, 0);
    ppBtnQuartzNames = new QComboBox(base);
    ppBtnQuartzNames->addItem(m_aryQuartzNames.first());
    ppBtnQuartzNames->insertSeparator(1);
    ppBtnQuartzNames->addItems(m_aryQuartzNames.mid(1));
    connect(ppBtnQuartzNames, &QComboBox::textActivated, this, &HLTextEditVCtrl::changeQuartzName);
    grid->addWidget(ppBtnQuartzNames, row++, 1, 1, 2);

    vQuartzBack = new QWidget(base);
    vQuartzBack->setFixedSize(130, 98);
    const QRectF tileFrame(0, 0, vQuartzBack->width(), vQuartzBack->height());
    vStaticQuartzPreview = new HLDisplayView(vQuartzBack);
    vStaticQuartzPreview->setGeometry(tileFrame.toRect());
    vStaticQuartzPreview->update(QImage(QDir(HLResourceFolder::path()).filePath(QStringLiteral("StaticText.png"))));
    vDynamicQuartzPreview = HLQuartzPreviewView::simpleQuartzPreviewViewOf(tileFrame, vQuartzBack);
    grid->addWidget(vQuartzBack, row++, 0, 1, 3, Qt::AlignHCenter);

    grid->addWidget(caption(tr("Font"), base), row, 0);
    ppBtnFontNames = new QComboBox(base);
    for (int i = 0; i < m_aryFontNames.size(); ++i) {
        ppBtnFontNames->addItem(m_aryFontNames[i]);
        // The open list shows every name in its own face; the closed button in its own font.
        ppBtnFontNames->setItemData(i, hl_fontWithName(m_aryFontNames[i], 11), Qt::FontRole);
    }
    connect(ppBtnFontNames, &QComboBox::textActivated, this,
            [this](const QString &name) { p_writeStyle([&](HLTextEdit &edit) { edit.setStrFont(name); }); });
    grid->addWidget(ppBtnFontNames, row++, 1, 1, 2);

    grid->addWidget(caption(tr("Size"), base), row, 0);
    sldFontSize = slider(8, 200, base);
    connect(sldFontSize, &QSlider::valueChanged, this, [this](int size) {
        p_writeStyle([&](HLTextEdit &edit) { edit.setDFontSize(float(size)); });
    });
    clwlFontColor = new HLColorWell(base);
    connect(clwlFontColor, &HLColorWell::colorChosen, this,
            [this](const QColor &color) { p_writeStyle([&](HLTextEdit &edit) { edit.setClFont(color); }); });
    grid->addWidget(sldFontSize, row, 1);
    grid->addWidget(clwlFontColor, row++, 2);

    sldCenterX = slider(0, int(kCenterSteps), base);
    sldCenterY = slider(0, int(kCenterSteps), base);
    connect(sldCenterX, &QSlider::valueChanged, this, [this] {
        p_writeStyle([&](HLTextEdit &edit) { edit.setDCenterX(sliderValue(sldCenterX, kCenterSteps)); }, false);
    });
    connect(sldCenterY, &QSlider::valueChanged, this, [this] {
        p_writeStyle([&](HLTextEdit &edit) { edit.setDCenterY(sliderValue(sldCenterY, kCenterSteps)); }, false);
    });
    grid->addWidget(caption(tr("Horizontal"), base), row, 0);
    grid->addWidget(sldCenterX, row++, 1, 1, 2);
    grid->addWidget(caption(tr("Vertical"), base), row, 0);
    grid->addWidget(sldCenterY, row++, 1, 1, 2);

    auto *typeBack = new QWidget(base);
    typeBack->setObjectName(QStringLiteral("vTypeBack"));
    auto *typeLayout = new QVBoxLayout(typeBack);
    typeLayout->setContentsMargins(0, 0, 0, 0);
    vStaticBack = p_buildStaticBack(typeBack);
    vDynamicBack = p_buildDynamicBack(typeBack);
    typeLayout->addWidget(vStaticBack);
    typeLayout->addWidget(vDynamicBack);
    grid->addWidget(typeBack, row++, 0, 1, 3);

    btnDone = new QPushButton(tr("Done"), base);
    connect(btnDone, &QPushButton::clicked, this, [this] {
        if (m_blkEnd)
            m_blkEnd();
    });
    grid->addWidget(btnDone, row++, 0, 1, 3, Qt::AlignRight);
    base->setFixedHeight(base->sizeHint().height());
}

QWidget *HLTextEditVCtrl::p_buildStaticBack(QWidget *parent)
{
    auto *group = new QWidget(parent);
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    btnStaticBack = new QCheckBox(tr("Background"), group);
    clwlStaticBackColor = new HLColorWell(group);
    grid->addWidget(btnStaticBack, row, 0, 1, 2);
    grid->addWidget(clwlStaticBackColor, row++, 2);
    connect(btnStaticBack, &QCheckBox::toggled, this,
            [this](bool on) { p_writeStyle([&](HLTextEdit &edit) { edit.setBStaticBack(on); }); });
    connect(clwlStaticBackColor, &HLColorWell::colorChosen, this,
            [this](const QColor &color) { p_writeStyle([&](HLTextEdit &edit) { edit.setClStaticBack(color); }); });
    sldStaticBackRound = slider(0, int(kFractionSteps), group);
    sldStaticBackAlpha = slider(0, int(kFractionSteps), group);
    connect(sldStaticBackRound, &QSlider::valueChanged, this, [this] {
        p_writeStyle([&](HLTextEdit &edit) {
            edit.setDStaticBackRadius(sliderValue(sldStaticBackRound, kFractionSteps));
        });
    });
    connect(sldStaticBackAlpha, &QSlider::valueChanged, this, [this] {
        p_writeStyle(
            [&](HLTextEdit &edit) { edit.setDStaticBackAlpha(sliderValue(sldStaticBackAlpha, kFractionSteps)); });
    });
    grid->addWidget(caption(tr("Round"), group), row, 0);
    grid->addWidget(sldStaticBackRound, row++, 1, 1, 2);
    grid->addWidget(caption(tr("Opacity"), group), row, 0);
    grid->addWidget(sldStaticBackAlpha, row++, 1, 1, 2);

    btnStaticShadow = new QCheckBox(tr("Shadow"), group);
    clwlStaticShadowColor = new HLColorWell(group);
    grid->addWidget(btnStaticShadow, row, 0, 1, 2);
    grid->addWidget(clwlStaticShadowColor, row++, 2);
    connect(btnStaticShadow, &QCheckBox::toggled, this,
            [this](bool on) { p_writeStyle([&](HLTextEdit &edit) { edit.setBStaticShadow(on); }); });
    connect(clwlStaticShadowColor, &HLColorWell::colorChosen, this, [this](const QColor &color) {
        p_writeStyle([&](HLTextEdit &edit) { edit.setClStaticShadow(color); });
    });
    sldStaticShadowSize = slider(0, 100, group);
    edtStaticShadowSize = new QLineEdit(group);
    edtStaticShadowSize->setFixedWidth(50);
    connect(sldStaticShadowSize, &QSlider::valueChanged, this, [this] {
        p_writeStyle(
            [&](HLTextEdit &edit) { edit.setDStaticShadowRadius(sliderValue(sldStaticShadowSize, kTenthSteps)); });
    });
    m_shadowSizeField = new HLTypedNumberField(edtStaticShadowSize, 1, {true, 0, 100 / kTenthSteps});
    m_shadowSizeField->setupValue(
        [this](float size) { p_writeStyle([&](HLTextEdit &edit) { edit.setDStaticShadowRadius(size); }); });
    grid->addWidget(caption(tr("Size"), group), row, 0);
    grid->addWidget(sldStaticShadowSize, row, 1);
    grid->addWidget(edtStaticShadowSize, row++, 2);

    ppBtnStaticShadowOffsetX = new QComboBox(group);
    ppBtnStaticShadowOffsetY = new QComboBox(group);
    ppBtnStaticShadowOffsetX->addItems(shadowOffsetTexts());
    ppBtnStaticShadowOffsetY->addItems(shadowOffsetTexts());
    // The entry's own text is the offset it stands for.
    connect(ppBtnStaticShadowOffsetX, &QComboBox::textActivated, this, [this](const QString &text) {
        p_writeStyle([&](HLTextEdit &edit) { edit.setDStaticShadowOffsetX(text.toFloat()); });
    });
    connect(ppBtnStaticShadowOffsetY, &QComboBox::textActivated, this, [this](const QString &text) {
        p_writeStyle([&](HLTextEdit &edit) { edit.setDStaticShadowOffsetY(text.toFloat()); });
    });
    grid->addWidget(caption(tr("Offset"), group), row, 0);
    grid->addWidget(ppBtnStaticShadowOffsetX, row, 1);
    grid->addWidget(ppBtnStaticShadowOffsetY, row++, 2);
    return group;
}

QWidget *HLTextEditVCtrl::p_buildDynamicBack(QWidget *parent)
{
    auto *group = new QWidget(parent);
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto addMove = [&](int row, const QString &title, QSlider *&control, QLineEdit *&field,
                             HLTypedNumberField *&typed, void (HLTextEdit::*set)(float)) {
        control = slider(0, 100, group);
        field = new QLineEdit(group);
        field->setFixedWidth(50);
        QSlider *shown = control;
        connect(control, &QSlider::valueChanged, this, [this, shown, set] {
            p_writeStyle([&](HLTextEdit &edit) { (edit.*set)(sliderValue(shown, kTenthSteps)); }, false);
        });
        typed = new HLTypedNumberField(field, 1, {true, 0, 100 / kTenthSteps});
        typed->setupValue([this, set](float value) {
            p_writeStyle([&](HLTextEdit &edit) { (edit.*set)(value); }, false);
        });
        grid->addWidget(caption(title, group), row, 0);
        grid->addWidget(control, row, 1);
        grid->addWidget(field, row, 2);
    };
    addMove(0, tr("Move In"), sldDynamicMoveIn, edtDynamicMoveIn, m_moveInField, &HLTextEdit::setDDynamicMoveIn);
    addMove(1, tr("Move Out"), sldDynamicMoveOut, edtDynamicMoveOut, m_moveOutField, &HLTextEdit::setDDynamicMoveOut);
    return group;
}

void HLTextEditVCtrl::p_writeStyle(const std::function<void(HLTextEdit &edit)> &write, bool display)
{
    if (m_bFilling || !m_oItem || !m_oItem->oTextEdit())
        return;
    HLTextEdit &edit = *m_oItem->oTextEdit();
    const auto before = edit.copy();
    m_write(HLChange::Style, [&] {
        write(edit);
        // The renderers draw the title again; the pane never lowers the mark.
        if (!edit.isEqual(*before))
            edit.makeDirty();
    });
    p_setupInterfaceAll();
    if (display)
        m_vTextDisplay->updateDisplay();
    else
        m_vTextDisplay->update();
}

QString HLTextEditVCtrl::editingID() const
{
    return m_oItem ? m_oItem->strTTID() : QString();
}

void HLTextEditVCtrl::startEditing(const QString &identifier)
{
    if (!m_blkLookup)
        return;
    const Target target = m_blkLookup(identifier);
    startEditing(target.title, target.host, target.ratio);
}

void HLTextEditVCtrl::startEditing(const std::shared_ptr<HLTextItem> &title, QWidget *host, float ratio)
{
    if (title == m_oItem)
        return;
    stopEditing();
    if (!title || !title->oTextEdit())
        return;
    m_oItem = title;
    m_vTextDisplay->setOItem(title);
    m_dRatio = ratio;
    p_setupInterfaceAll();
    p_updateTextDisplaySuperview(host);
    m_layout->sclEdit()->ensureVisible(0, 0);
}

void HLTextEditVCtrl::stopEditing()
{
    if (!m_oItem)
        return;
    m_oItem.reset();
    m_vTextDisplay->setOItem(nullptr);
    p_setupInterfaceAll();
    p_updateTextDisplaySuperview(nullptr);
}

void HLTextEditVCtrl::p_textDidChange()
{
    if (m_bFilling || !m_oItem)
        return;
    QString text = edtText->toPlainText();
    if (text.isEmpty()) {
        text = QString::fromLatin1(kStrTextHere);
        // Setting the text announces a change again: the guard keeps it from coming back here.
        const QScopedValueRollback<bool> filling(m_bFilling, true);
        edtText->setPlainText(text);
        edtText->moveCursor(QTextCursor::End);
    }
    if (text == m_oItem->oTextEdit()->strText())
        return;
    p_writeStyle([&](HLTextEdit &edit) { edit.setStrText(text); });
}

void HLTextEditVCtrl::changeQuartzName(const QString &name)
{
    if (m_bFilling || !m_oItem)
        return;
    const auto pool = HLQuartzPool::quartzPoolOf(kTextTemplates);
    // "Static" names no template: the title becomes static text.
    const QVariantMap info = pool ? pool->infoDicOf(name).value_or(QVariantMap()) : QVariantMap();
    const auto before = m_oItem->copy();
    m_write(HLChange::Style, [&] {
        m_oItem->updateText(info);
        if (!m_oItem->isEqual(*before))
            m_oItem->oTextEdit()->makeDirty();
    });
    p_setupInterfaceAll();
    m_vTextDisplay->updateDisplay();
}

void HLTextEditVCtrl::p_updateTextDisplaySuperview(QWidget *host)
{
    QWidget *old = m_vTextDisplay->parentWidget();
    if (old == host)
        return;
    if (old)
        old->removeEventFilter(this);
    m_vTextDisplay->hide();
    m_vTextDisplay->setParent(host);
    if (!host)
        return;
    host->installEventFilter(this);
    p_textDisplayFrameDidChange();
    m_vTextDisplay->show();
    m_vTextDisplay->raise();
    m_vTextDisplay->updateDisplay();
}

void HLTextEditVCtrl::p_textDisplayFrameDidChange()
{
    QWidget *host = m_vTextDisplay->parentWidget();
    if (!host)
        return;
    const HLTitleOverlayFit fit = hl_titleOverlayFit(float(host->width()), float(host->height()), m_dRatio);
    const HLViewRect &frame = fit.frame;
    m_vTextDisplay->setGeometry(qRound(frame.x), qRound(float(host->height()) - frame.maxY()), qRound(frame.width),
                                qRound(frame.height));
    m_vTextDisplay->setDResize(fit.resize);
    m_vTextDisplay->updateDisplay();
}

bool HLTextEditVCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_vTextDisplay->parentWidget() && event->type() == QEvent::Resize)
        p_textDisplayFrameDidChange();
    return QObject::eventFilter(watched, event);
}

void HLTextEditVCtrl::p_setupInterfaceAll()
{
    const QScopedValueRollback<bool> filling(m_bFilling, true);
    p_setupInterfaceText();
    p_setupInterfaceQuartz();
    p_setupInterfaceFont();
    p_setupInterfaceCenter();
    p_setupInterfaceStaticBack();
    p_setupInterfaceStaticShadow();
    p_setupInterfaceDynamicMove();
}

void HLTextEditVCtrl::p_setupInterfaceText()
{
    const QString text = m_oItem ? m_oItem->oTextEdit()->strText() : QString();
    edtText->setEnabled(m_oItem != nullptr);
    // The same text again would move the cursor and announce a change.
    if (edtText->toPlainText() != text)
        edtText->setPlainText(text);
}

void HLTextEditVCtrl::p_setupInterfaceQuartz()
{
    const bool editing = m_oItem != nullptr;
    const bool dynamic = editing && m_oItem->oTextEdit()->enType() == HLTextEdit::HLTextEditTypeDynamic;
    const QString name = dynamic && m_oItem->oTextInfo() ? m_oItem->oTextInfo()->strName() : m_aryQuartzNames.first();
    ppBtnQuartzNames->setEnabled(editing);
    vDynamicQuartzPreview->setBCanPreview(editing);
    ppBtnQuartzNames->setCurrentIndex(ppBtnQuartzNames->findText(name));
    vStaticQuartzPreview->setHidden(dynamic);
    vStaticBack->setHidden(dynamic);
    vDynamicQuartzPreview->setHidden(!dynamic);
    vDynamicBack->setHidden(!dynamic);
    if (m_blkSync)
        m_blkSync(vDynamicQuartzPreview, kTextTemplates, dynamic ? std::optional<QString>(name) : std::nullopt);
}

void HLTextEditVCtrl::p_setupInterfaceFont()
{
    const bool editing = m_oItem != nullptr;
    for (QWidget *control : {static_cast<QWidget *>(ppBtnFontNames), static_cast<QWidget *>(sldFontSize),
                             static_cast<QWidget *>(clwlFontColor)})
        control->setEnabled(editing);
    const HLTextEdit *edit = editing ? m_oItem->oTextEdit().get() : nullptr;
    const QString font = edit ? edit->strFont() : m_aryFontNames.value(0);
    int shown = ppBtnFontNames->findText(font);
    // A name this system lacks (a title from another machine, or the default "LucidaGrande")
    // shows the family the title is drawn in instead of a blank box; the title keeps its name.
    if (shown < 0)
        shown = ppBtnFontNames->findText(QFontInfo(hl_fontWithName(font, 11)).family());
    ppBtnFontNames->setCurrentIndex(shown);
    sldFontSize->setValue(edit ? qRound(edit->dFontSize()) : 0);
    clwlFontColor->setColor(edit ? edit->clFont() : QColor(Qt::white));
}

void HLTextEditVCtrl::p_setupInterfaceCenter()
{
    const QScopedValueRollback<bool> filling(m_bFilling, true);
    const HLTextEdit *edit = m_oItem ? m_oItem->oTextEdit().get() : nullptr;
    sldCenterX->setEnabled(edit != nullptr);
    sldCenterY->setEnabled(edit != nullptr);
    showSlider(sldCenterX, edit ? edit->dCenterX() : 0.0f, kCenterSteps);
    showSlider(sldCenterY, edit ? edit->dCenterY() : 0.0f, kCenterSteps);
}

void HLTextEditVCtrl::p_setupInterfaceStaticBack()
{
    const HLTextEdit *edit = m_oItem ? m_oItem->oTextEdit().get() : nullptr;
    const bool on = edit && edit->bStaticBack();
    btnStaticBack->setEnabled(edit != nullptr);
    for (QWidget *control : {static_cast<QWidget *>(clwlStaticBackColor), static_cast<QWidget *>(sldStaticBackRound),
                             static_cast<QWidget *>(sldStaticBackAlpha)})
        control->setEnabled(on);
    btnStaticBack->setChecked(on);
    clwlStaticBackColor->setColor(edit ? edit->clStaticBack() : QColor(Qt::transparent));
    showSlider(sldStaticBackRound, edit ? edit->dStaticBackRadius() : 0.0f, kFractionSteps);
    showSlider(sldStaticBackAlpha, edit ? edit->dStaticBackAlpha() : 0.0f, kFractionSteps);
}

void HLTextEditVCtrl::p_setupInterfaceStaticShadow()
{
    const HLTextEdit *edit = m_oItem ? m_oItem->oTextEdit().get() : nullptr;
    const bool on = edit && edit->bStaticShadow();
    btnStaticShadow->setEnabled(edit != nullptr);
    for (QWidget *control :
         {static_cast<QWidget *>(clwlStaticShadowColor), static_cast<QWidget *>(sldStaticShadowSize),
          static_cast<QWidget *>(edtStaticShadowSize), static_cast<QWidget *>(ppBtnStaticShadowOffsetX),
          static_cast<QWidget *>(ppBtnStaticShadowOffsetY)})
        control->setEnabled(on);
    btnStaticShadow->setChecked(on);
    clwlStaticShadowColor->setColor(edit ? edit->clStaticShadow() : QColor(Qt::black));
    const float size = edit ? edit->dStaticShadowRadius() : 0.0f;
    showSlider(sldStaticShadowSize, size, kTenthSteps);
    m_shadowSizeField->setValue(size);
    ppBtnStaticShadowOffsetX->setCurrentIndex(
        ppBtnStaticShadowOffsetX->findText(hlStringOf(edit ? edit->dStaticShadowOffsetX() : 0.0f, 1)));
    ppBtnStaticShadowOffsetY->setCurrentIndex(
        ppBtnStaticShadowOffsetY->findText(hlStringOf(edit ? edit->dStaticShadowOffsetY() : 0.0f, 1)));
}

void HLTextEditVCtrl::p_setupInterfaceDynamicMove()
{
    const HLTextEdit *edit = m_oItem ? m_oItem->oTextEdit().get() : nullptr;
    for (QWidget *control : {static_cast<QWidget *>(sldDynamicMoveIn), static_cast<QWidget *>(edtDynamicMoveIn),
                             static_cast<QWidget *>(sldDynamicMoveOut), static_cast<QWidget *>(edtDynamicMoveOut)})
        control->setEnabled(edit != nullptr);
    const float moveIn = edit ? edit->dDynamicMoveIn() : 0.0f;
    const float moveOut = edit ? edit->dDynamicMoveOut() : 0.0f;
    showSlider(sldDynamicMoveIn, moveIn, kTenthSteps);
    showSlider(sldDynamicMoveOut, moveOut, kTenthSteps);
    m_moveInField->setValue(moveIn);
    m_moveOutField->setValue(moveOut);
}

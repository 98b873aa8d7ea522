#pragma once

#include "SourceHL/Editors/HLEditWrite.h"
#include "SourceHL/Editors/HLEditorPane.h"
#include "SourceHL/View/HLTextDisplayView.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class HLColorWell;
class HLDisplayView;
class HLEditPaneLayout;
class HLQuartzPreviewView;
class HLTextEdit;
class HLTextItem;
class HLTypedNumberField;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;

// The edit pane of one title: its text, kind (static or a text template), font, size and
// colour, centre, and for static text the back plate and shadow, for template text the move
// in and out. While a title is edited its live overlay lies over the host (the main window's
// preview), fitted to the project's shape; the user drags the text there or moves it with the
// arrow keys. Every write goes through the owner's hook and raises the style's dirty mark.
class HLTextEditVCtrl : public QObject, public HLEditorPane
{
    Q_OBJECT
public:
    // The title of an identifier, the overlay's host and the project's width over height.
    struct Target
    {
        std::shared_ptr<HLTextItem> title;
        QWidget *host = nullptr;
        float ratio = 0;
    };
    using Lookup = std::function<Target(const QString &identifier)>;
    // The editor's template tile, the template kind (3, text) and the chosen template's name,
    // none for static text.
    using SyncBlock = std::function<void(HLQuartzPreviewView *tile, int kind, const std::optional<QString> &name)>;

    // The first entry of the kind list: static text, which names no template.
    static constexpr const char *kStrStatic = "Static";
    // A title is never empty: this stands in for deleted text.
    static constexpr const char *kStrTextHere = "Text Here";
    // The shadow offset choices of both offset lists.
    static const QStringList &shadowOffsetTexts();

    explicit HLTextEditVCtrl(HLEditWrite write);
    ~HLTextEditVCtrl() override;

    void setUpSync(SyncBlock sync, std::function<void()> end);
    void setUpLookup(Lookup lookup) { m_blkLookup = std::move(lookup); }
    // Nothing when the title is the one being edited.
    void startEditing(const std::shared_ptr<HLTextItem> &title, QWidget *host, float ratio);

    QWidget *view() override;
    bool isNowEditing() const override { return m_oItem != nullptr; }
    QString editingID() const override;
    void startEditing(const QString &identifier) override;
    void stopEditing() override;

    const std::shared_ptr<HLTextItem> &oItem() const { return m_oItem; }
    HLTextDisplayView *vTextDisplay() const { return m_vTextDisplay; }
    const QStringList &aryQuartzNames() const { return m_aryQuartzNames; }

    QPlainTextEdit *edtText = nullptr;
    QComboBox *ppBtnQuartzNames = nullptr;
    QWidget *vQuartzBack = nullptr;
    HLDisplayView *vStaticQuartzPreview = nullptr;
    HLQuartzPreviewView *vDynamicQuartzPreview = nullptr;
    QComboBox *ppBtnFontNames = nullptr;
    QSlider *sldFontSize = nullptr;
    HLColorWell *clwlFontColor = nullptr;
    QSlider *sldCenterX = nullptr;
    QSlider *sldCenterY = nullptr;
    QWidget *vStaticBack = nullptr;
    QCheckBox *btnStaticBack = nullptr;
    HLColorWell *clwlStaticBackColor = nullptr;
    QSlider *sldStaticBackRound = nullptr;
    QSlider *sldStaticBackAlpha = nullptr;
    QCheckBox *btnStaticShadow = nullptr;
    HLColorWell *clwlStaticShadowColor = nullptr;
    QSlider *sldStaticShadowSize = nullptr;
    QLineEdit *edtStaticShadowSize = nullptr;
    QComboBox *ppBtnStaticShadowOffsetX = nullptr;
    QComboBox *ppBtnStaticShadowOffsetY = nullptr;
    QWidget *vDynamicBack = nullptr;
    QSlider *sldDynamicMoveIn = nullptr;
    QLineEdit *edtDynamicMoveIn = nullptr;
    QSlider *sldDynamicMoveOut = nullptr;
    QLineEdit *edtDynamicMoveOut = nullptr;
    QPushButton *btnDone = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void p_build();
    QWidget *p_buildStaticBack(QWidget *parent);
    QWidget *p_buildDynamicBack(QWidget *parent);
    // Writes the style through the hook, raises its dirty mark, and redraws the overlay when asked.
    void p_writeStyle(const std::function<void(HLTextEdit &edit)> &write, bool display = true);
    void p_textDidChange();
    void changeQuartzName(const QString &name);
    void p_updateTextDisplaySuperview(QWidget *host);
    void p_textDisplayFrameDidChange();
    void p_setupInterfaceAll();
    void p_setupInterfaceText();
    void p_setupInterfaceQuartz();
    void p_setupInterfaceFont();
    void p_setupInterfaceCenter();
    void p_setupInterfaceStaticBack();
    void p_setupInterfaceStaticShadow();
    void p_setupInterfaceDynamicMove();

    HLEditWrite m_write;
    QPointer<QWidget> m_view;
    HLEditPaneLayout *m_layout = nullptr;
    QPointer<HLTextDisplayView> m_vTextDisplay; // the pane's; lent to the host while editing
    HLTypedNumberField *m_shadowSizeField = nullptr;
    HLTypedNumberField *m_moveInField = nullptr;
    HLTypedNumberField *m_moveOutField = nullptr;
    QStringList m_aryQuartzNames;
    QStringList m_aryFontNames;
    std::shared_ptr<HLTextItem> m_oItem;
    float m_dRatio = 0;
    bool m_bFilling = false; // the controls are being filled from the model: no writes
    SyncBlock m_blkSync;
    std::function<void()> m_blkEnd;
    Lookup m_blkLookup;
};

#include "SourceHL/Windows/HLSizeWndCtrl.h"

#include "SourceHL/Windows/HLDialogFrame.h"
#include "SourceHL/Windows/HLSizeRules.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

HLSizeWndCtrl::HLSizeWndCtrl(QObject *parent) : QObject(parent)
{
}

HLSizeWndCtrl::~HLSizeWndCtrl()
{
    delete m_window;
}

QDialog *HLSizeWndCtrl::window()
{
    if (!m_window)
        p_loadWindow();
    return m_window;
}

int HLSizeWndCtrl::customIndex() const
{
    return int(HLSizeRules::presets().size());
}

void HLSizeWndCtrl::p_loadWindow()
{
    const HLDialogFrame frame = hl_makeDialogFrame(tr("Output Size"));
    m_window = frame.window;
    QWidget *back = frame.back;
    QVBoxLayout *inner = frame.rows;
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    m_ppBtnSize = new QComboBox(back);
    for (const HLSizeRules::Size &preset : HLSizeRules::presets())
        m_ppBtnSize->addItem(QStringLiteral("%1 × %2").arg(preset.width).arg(preset.height));
    m_ppBtnSize->addItem(tr("Custom"));
    grid->addWidget(new QLabel(tr("Size:"), back), 0, 0, Qt::AlignRight);
    grid->addWidget(m_ppBtnSize, 0, 1, 1, 4);
    m_edtWidth = new QLineEdit(back);
    m_edtHeight = new QLineEdit(back);
    for (QLineEdit *field : {m_edtWidth, m_edtHeight}) {
        field->setFixedWidth(70);
        field->setAlignment(Qt::AlignRight);
        field->installEventFilter(this);
        connect(field, &QLineEdit::editingFinished, this, [this, field] { p_endEditing(field); });
        connect(field, &QLineEdit::textEdited, this, [this, field] {
            if (m_editing != field) { // an edit that began without focus (typed by a test)
                m_editing = field;
                m_strTempStringValue = field == m_edtWidth ? m_strAcceptedWidth : m_strAcceptedHeight;
            }
        });
    }
    grid->addWidget(new QLabel(tr("Width:"), back), 1, 0, Qt::AlignRight);
    grid->addWidget(m_edtWidth, 1, 1);
    grid->addWidget(new QLabel(tr("Height:"), back), 1, 2, Qt::AlignRight);
    grid->addWidget(m_edtHeight, 1, 3);
    grid->addWidget(new QLabel(tr("pixels"), back), 1, 4);
    inner->addLayout(grid);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *cancel = new QPushButton(tr("Cancel"), back);
    auto *apply = new QPushButton(tr("Apply"), back);
    // Return ends a field's editing; it does not also apply.
    for (QPushButton *button : {cancel, apply})
        button->setAutoDefault(false);
    buttons->addWidget(cancel);
    buttons->addWidget(apply);
    inner->addLayout(buttons);
    connect(m_ppBtnSize, &QComboBox::activated, this, &HLSizeWndCtrl::size);
    connect(cancel, &QPushButton::clicked, this, &HLSizeWndCtrl::cancel);
    connect(apply, &QPushButton::clicked, this, &HLSizeWndCtrl::apply);
}

bool HLSizeWndCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && (watched == m_edtWidth || watched == m_edtHeight)) {
        auto *field = static_cast<QLineEdit *>(watched);
        m_editing = field;
        m_strTempStringValue = field->text();
    }
    return QObject::eventFilter(watched, event);
}

void HLSizeWndCtrl::open(QSizeF size)
{
    window();
    m_editing = nullptr;
    m_strTempStringValue.clear();
    p_updateUITextField(size);
    p_updateUIPopupButton(size);
    m_window->adjustSize();
    m_window->show();
}

void HLSizeWndCtrl::editSize(QSizeF size)
{
    open(size);
    m_window->exec();
}

void HLSizeWndCtrl::p_updateUITextField(QSizeF size)
{
    m_edtWidth->setText(QString::number(qint64(size.width())));
    m_edtHeight->setText(QString::number(qint64(size.height())));
    m_strAcceptedWidth = m_edtWidth->text();
    m_strAcceptedHeight = m_edtHeight->text();
}

void HLSizeWndCtrl::p_updateUIPopupButton(QSizeF size)
{
    const auto index = HLSizeRules::presetIndexOf(size.width(), size.height());
    m_ppBtnSize->setCurrentIndex(index ? int(*index) : customIndex());
}

void HLSizeWndCtrl::size(int index)
{
    if (index < 0 || index >= customIndex())
        return;
    const HLSizeRules::Size preset = HLSizeRules::presets()[size_t(index)];
    p_updateUITextField(QSizeF(double(preset.width), double(preset.height)));
}

bool HLSizeWndCtrl::p_endEditing(QLineEdit *field)
{
    if (m_editing != field)
        return true;
    const QString before = m_strTempStringValue;
    m_editing = nullptr;
    m_strTempStringValue.clear();
    const HLSizeRules::Side side = HLSizeRules::sideOf(field->text().toStdString());
    m_ppBtnSize->setCurrentIndex(customIndex());
    QString &accepted = field == m_edtWidth ? m_strAcceptedWidth : m_strAcceptedHeight;
    if (side.verdict == HLSizeRules::Verdict::Valid) {
        field->setText(QString::number(side.value));
        accepted = field->text();
        return true;
    }
    field->setText(before);
    accepted = before;
    if (side.verdict == HLSizeRules::Verdict::Invalid)
        p_alert(QStringLiteral("The value is invalid, please provide a valid value."));
    else
        p_alert(QStringLiteral("The value is too %1.")
                    .arg(side.verdict == HLSizeRules::Verdict::TooSmall ? QStringLiteral("small") : QStringLiteral("large")));
    return false;
}

void HLSizeWndCtrl::apply()
{
    // An editing still under way ends here, and neither side goes out unchecked.
    if (m_editing && !p_endEditing(m_editing))
        return;
    for (QLineEdit *field : {m_edtWidth, m_edtHeight}) {
        m_editing = field;
        m_strTempStringValue = field == m_edtWidth ? m_strAcceptedWidth : m_strAcceptedHeight;
        if (!p_endEditing(field))
            return;
    }
    const QSizeF chosen(double(HLSizeRules::sideOf(m_edtWidth->text().toStdString()).value),
                        double(HLSizeRules::sideOf(m_edtHeight->text().toStdString()).value));
    p_updateUIPopupButton(chosen);
    m_window->done(QDialog::Accepted);
    if (m_blkFeedback)
        m_blkFeedback(chosen);
}

void HLSizeWndCtrl::cancel()
{
    m_window->done(QDialog::Rejected);
}

void HLSizeWndCtrl::p_alert(const QString &text)
{
    QMessageBox alert(QMessageBox::Warning, QStringLiteral("Oops!"), QStringLiteral("Oops!"), QMessageBox::Ok);
    alert.setWindowModality(Qt::ApplicationModal);
    alert.setInformativeText(text);
    alert.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 260px; }")); // the reason on one line
    alert.exec();
}

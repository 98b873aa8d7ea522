#include "SourceHL/Windows/HLSettingWndCtrl.h"

#include "SourceHL/Windows/HLDialogFrame.h"
#include "SourceHL/Windows/HLSettingRules.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HLSettingWndCtrl::HLSettingWndCtrl(QObject *parent) : QObject(parent)
{
}

HLSettingWndCtrl::~HLSettingWndCtrl()
{
    delete m_window;
}

QDialog *HLSettingWndCtrl::window()
{
    if (!m_window)
        p_loadWindow();
    return m_window;
}

void HLSettingWndCtrl::p_loadWindow()
{
    const HLDialogFrame frame = hl_makeDialogFrame(tr("Settings"));
    m_window = frame.window;
    QWidget *back = frame.back;
    QVBoxLayout *inner = frame.rows;
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(12);
    m_ppBtnMode = new QComboBox(back);
    m_ppBtnType = new QComboBox(back);
    m_ppBtnType->addItem(QString::fromStdString(HLSettingRules::titleOfType(0)));
    m_ppBtnType->addItem(QString::fromStdString(HLSettingRules::titleOfType(1)));
    m_ppBtnMode->setMinimumWidth(190);
    m_ppBtnType->setMinimumWidth(190);
    form->addRow(tr("Photos per slideshow item:"), m_ppBtnMode);
    form->addRow(tr("Music:"), m_ppBtnType);
    inner->addLayout(form);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *cancel = new QPushButton(tr("Cancel"), back);
    m_btnApply = new QPushButton(tr("Apply"), back);
    m_btnApply->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(m_btnApply);
    inner->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &HLSettingWndCtrl::cancel);
    connect(m_btnApply, &QPushButton::clicked, this, &HLSettingWndCtrl::apply);
}

void HLSettingWndCtrl::open(quint64 mode, qint64 type)
{
    window();
    // The project's own mode is an entry even where the list lacks it, so Apply keeps it.
    m_ppBtnMode->clear();
    for (const std::uint64_t each : HLSettingRules::modesShownFor(mode))
        m_ppBtnMode->addItem(QString::fromStdString(HLSettingRules::titleOfMode(each)));
    m_ppBtnMode->setCurrentText(QString::fromStdString(HLSettingRules::titleOfMode(mode)));
    m_ppBtnType->setCurrentText(QString::fromStdString(HLSettingRules::titleOfType(type)));
    m_window->adjustSize();
    m_window->show();
}

void HLSettingWndCtrl::editMode(quint64 mode, qint64 type)
{
    open(mode, type);
    m_window->exec();
}

void HLSettingWndCtrl::apply()
{
    const quint64 mode = HLSettingRules::modeOfTitle(m_ppBtnMode->currentText().toStdString());
    const qint64 type = HLSettingRules::typeOfTitle(m_ppBtnType->currentText().toStdString());
    m_window->done(QDialog::Accepted);
    if (m_blkFeedback)
        m_blkFeedback(mode, type);
}

void HLSettingWndCtrl::cancel()
{
    m_window->done(QDialog::Rejected);
}

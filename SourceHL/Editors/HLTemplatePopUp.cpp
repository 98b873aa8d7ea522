#include "SourceHL/Editors/HLTemplatePopUp.h"

#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/View/HLQuartzPreviewView.h"

#include <QComboBox>

HLTemplatePopUp::HLTemplatePopUp(qint64 type, QWidget *parent)
    : QObject(parent)
    , m_type(type)
    , m_aryNames(HLQuartzPool::quartzPoolOf(type)->quartzNames())
    , m_ppBtnQuartzNames(new QComboBox(parent))
    , m_vQuartzPreview(HLQuartzPreviewView::simpleQuartzPreviewViewOf(QRectF(0, 0, 120, 90), parent))
{
    m_ppBtnQuartzNames->setObjectName(QStringLiteral("ppBtnQuartzNames"));
    m_ppBtnQuartzNames->addItems(m_aryNames);
    m_vQuartzPreview->setObjectName(QStringLiteral("vQuartzPreview"));
    m_vQuartzPreview->setFixedSize(120, 90);
    connect(m_ppBtnQuartzNames, &QComboBox::activated, this, [this](int index) {
        if (m_blkChoose && index >= 0)
            m_blkChoose(m_ppBtnQuartzNames->itemText(index));
    });
}

void HLTemplatePopUp::refresh(bool editing, const QString &name)
{
    const QString shown = editing ? name : m_aryNames.value(0);
    m_ppBtnQuartzNames->setEnabled(editing);
    m_vQuartzPreview->setBCanPreview(editing);
    // An item whose template the catalogue doesn't list shows no entry, not the last item's.
    m_ppBtnQuartzNames->setCurrentIndex(m_ppBtnQuartzNames->findText(shown, Qt::MatchExactly));
    if (m_blkSync)
        m_blkSync(m_vQuartzPreview, m_type, shown);
}

QString HLTemplatePopUp::selectedName() const
{
    return m_ppBtnQuartzNames->currentIndex() < 0 ? QString() : m_ppBtnQuartzNames->currentText();
}

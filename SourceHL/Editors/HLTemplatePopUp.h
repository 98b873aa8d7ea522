#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class HLQuartzPreviewView;
class QComboBox;
class QWidget;

// An editor's template section: the pop-up of one pool's template names (read once) and the
// live preview tile, whose picture, title and hover preview the owner's sync callback
// borrows from the chooser's tile of the same template.
class HLTemplatePopUp : public QObject
{
    Q_OBJECT
public:
    using SyncBlock = std::function<void(HLQuartzPreviewView *tile, qint64 type, const QString &name)>;

    HLTemplatePopUp(qint64 type, QWidget *parent);

    void setupSync(SyncBlock sync) { m_blkSync = std::move(sync); }
    // The user picked a name.
    void setupChoose(std::function<void(const QString &name)> choose) { m_blkChoose = std::move(choose); }
    // Shows the template of the edited item (an empty name: the first of the pool while nothing
    // is edited); a name the pool doesn't list shows no entry. Syncs the tile.
    void refresh(bool editing, const QString &name);

    QStringList aryNames() const { return m_aryNames; }
    QComboBox *ppBtnQuartzNames() const { return m_ppBtnQuartzNames; }
    HLQuartzPreviewView *vQuartzPreview() const { return m_vQuartzPreview; }
    QString selectedName() const;

private:
    qint64 m_type;
    QStringList m_aryNames;
    QComboBox *m_ppBtnQuartzNames;
    HLQuartzPreviewView *m_vQuartzPreview;
    SyncBlock m_blkSync;
    std::function<void(const QString &)> m_blkChoose;
};

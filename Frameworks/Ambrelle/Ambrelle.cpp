#include "Frameworks/Ambrelle/Ambrelle.h"

#include "Frameworks/Ambrelle/AmbrelleMediaModel.h"
#include "Frameworks/Ambrelle/AmbrelleThumbnailer.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

Ambrelle::Ambrelle(QObject *parent)
    : QObject(parent), m_thumbnailer(new AmbrelleThumbnailer(this)), m_model(new AmbrelleMediaModel(*m_thumbnailer, this)),
      m_view(new QWidget)
{
    m_view->setObjectName(QStringLiteral("Ambrelle"));
    auto *column = new QVBoxLayout(m_view);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(6);
    auto *top = new QHBoxLayout;
    m_ppBtnSource = new QComboBox(m_view);
    m_ppBtnSource->setObjectName(QStringLiteral("ppBtnSource"));
    m_btnAdd = new QPushButton(tr("Add"), m_view);
    m_btnAdd->setObjectName(QStringLiteral("btnAdd"));
    top->addWidget(m_ppBtnSource, 1);
    top->addWidget(m_btnAdd);
    column->addLayout(top);

    m_vList = new QListView(m_view);
    m_vList->setObjectName(QStringLiteral("vList"));
    m_vList->setModel(m_model);
    m_vList->setViewMode(QListView::IconMode);
    m_vList->setIconSize(QSize(AmbrelleThumbnailer::kThumbnailWidth, AmbrelleThumbnailer::kThumbnailHeight));
    m_vList->setGridSize(QSize(AmbrelleThumbnailer::kThumbnailWidth + 16, AmbrelleThumbnailer::kThumbnailHeight + 30));
    m_vList->setResizeMode(QListView::Adjust);
    m_vList->setMovement(QListView::Static);
    m_vList->setUniformItemSizes(true);
    m_vList->setWordWrap(false);
    m_vList->setTextElideMode(Qt::ElideMiddle);
    m_vList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_vList->setDragEnabled(true);
    m_vList->setDragDropMode(QAbstractItemView::DragOnly);
    m_vList->setFrameShape(QFrame::NoFrame);
    column->addWidget(m_vList, 1);
    m_lblEmpty = new QLabel(m_view);
    m_lblEmpty->setAlignment(Qt::AlignCenter);
    m_lblEmpty->setWordWrap(true);
    column->addWidget(m_lblEmpty, 1);

    connect(m_ppBtnSource, &QComboBox::currentIndexChanged, this, &Ambrelle::chooseSource);
    connect(m_btnAdd, &QPushButton::clicked, this, &Ambrelle::p_feedbackChosen);
    connect(m_vList, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        if (m_blkFeedback && index.isValid())
            m_blkFeedback({index.data(AmbrelleMediaModel::PathRole).toString()});
    });
    connect(m_vList->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Ambrelle::p_updateState);
    connect(m_model, &AmbrelleMediaModel::listed, this, &Ambrelle::p_updateState);
    connect(m_model, &QAbstractItemModel::modelReset, this, &Ambrelle::p_updateState);
    setSources(defaultSources());
}

Ambrelle::~Ambrelle()
{
    m_thumbnailer->cancelPending();
    m_thumbnailer->waitForDone();
    delete m_view.data();
}

QList<Ambrelle::Source> Ambrelle::defaultSources()
{
    QList<Source> sources;
    const struct
    {
        QStandardPaths::StandardLocation location;
        const char *name;
    } kinds[] = {{QStandardPaths::PicturesLocation, QT_TR_NOOP("Pictures")},
                 {QStandardPaths::MoviesLocation, QT_TR_NOOP("Videos")}};
    for (const auto &kind : kinds) {
        const QString folder = QStandardPaths::writableLocation(kind.location);
        // Without a folder of its own the location is the home folder: not offered.
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && QDir(folder) != QDir::home())
            sources.append({tr(kind.name), folder});
    }
    return sources;
}

void Ambrelle::setSources(const QList<Source> &sources)
{
    m_sources = sources;
    const QSignalBlocker quiet(m_ppBtnSource);
    m_ppBtnSource->clear();
    for (const Source &source : sources)
        m_ppBtnSource->addItem(source.first, source.second);
    chooseSource(sources.isEmpty() ? -1 : 0);
}

void Ambrelle::chooseSource(int index)
{
    if (index >= 0 && index < m_sources.size()) {
        const QSignalBlocker quiet(m_ppBtnSource);
        m_ppBtnSource->setCurrentIndex(index);
        m_model->setFolder(m_sources[index].second);
    } else {
        m_model->setFolder(QString());
    }
    p_updateState();
}

void Ambrelle::p_feedbackChosen()
{
    QModelIndexList chosen = m_vList->selectionModel()->selectedIndexes();
    std::sort(chosen.begin(), chosen.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList paths;
    for (const QModelIndex &index : chosen)
        paths.append(index.data(AmbrelleMediaModel::PathRole).toString());
    if (m_blkFeedback && !paths.isEmpty())
        m_blkFeedback(paths);
}

void Ambrelle::p_updateState()
{
    const bool empty = m_model->rowCount() == 0;
    m_vList->setVisible(!empty);
    m_lblEmpty->setVisible(empty);
    if (m_model->isListing())
        m_lblEmpty->setText(tr("Reading %1…").arg(QDir::toNativeSeparators(m_model->folder())));
    else if (m_sources.isEmpty())
        m_lblEmpty->setText(tr("There is no Pictures or Videos folder."));
    else
        m_lblEmpty->setText(tr("No photos or videos in %1.").arg(QDir::toNativeSeparators(m_model->folder())));
    m_btnAdd->setEnabled(m_vList->selectionModel()->hasSelection());
}

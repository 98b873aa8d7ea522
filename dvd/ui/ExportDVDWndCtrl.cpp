#include "dvd/ui/ExportDVDWndCtrl.h"

#include "dvd/ui/ExportBottomView.h"
#include "widgets/PlayModeBgView.h"

#include "dvd/DVDDiscName.h"
#include "dvd/DVDExportTabRules.h"
#include "dvd/DVDFuncLib.h"
#include "dvd/DVDMenuEditObject.h"
#include "dvd/DVDMenuItemEditObject.h"
#include "dvd/DVDOutputJob.h"
#include "dvd/DVDProjectAssembly.h"
#include "dvd/EffectTextImage.h"
#include "dvd/ui/BackgroundMusicWindowController.h"
#include "dvd/ui/DVDBurnFlow.h"
#include "dvd/ui/DVDBurnQuestionDialogs.h"
#include "dvd/ui/DVDFileOutputFlow.h"
#include "dvd/ui/ExportDVDMenuEditCtrl.h"
#include "export/VETimelineExportMovie.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "export/ui/FileManagerReveal.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/DVDBurnDevice.h"
#include "Frameworks/Trevanel/DVDBurnNotification.h"
#include "widgets/HLNamedImage.h"
#include "Platform/Foundation/HLLog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <utility>

namespace {

const QString kChooseItem = QStringLiteral("Choose…");
const QString kShowItem = QStringLiteral("Show in File Manager");
// The file a pop-up item stands for.
constexpr int kPathRole = Qt::UserRole;
const QSize kPreviewSize(320, 240);

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// A pop-up of files: item 0 none, then the files, then the chooser and the reveal items.
QComboBox *filePopUp(const QString &none, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->addItem(none);
    box->addItem(kChooseItem);
    box->addItem(kShowItem);
    box->setMinimumWidth(190);
    return box;
}

QString outputSuffix(ExportDVDWndCtrl::OutputType type)
{
    return type == ExportDVDWndCtrl::BurnToISO ? QStringLiteral("iso") : QStringLiteral("dvdmedia");
}

QString defaultOutputPanel(QWidget *window, ExportDVDWndCtrl::OutputType type, const QString &fileName)
{
    QFileDialog panel(window, QStringLiteral("Export DVD"));
    panel.setLabelText(QFileDialog::Accept, QStringLiteral("Export"));
    if (type == ExportDVDWndCtrl::BurnToFolder) {
        panel.setFileMode(QFileDialog::Directory);
        panel.setOption(QFileDialog::ShowDirsOnly);
    } else {
        const QString suffix = outputSuffix(type);
        panel.setAcceptMode(QFileDialog::AcceptSave);
        panel.setNameFilter(QStringLiteral("*.%1").arg(suffix));
        panel.setDefaultSuffix(suffix);
        panel.selectFile(fileName);
    }
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return {};
    return panel.selectedFiles().first();
}

} // namespace

ExportDVDWndCtrl::ExportDVDWndCtrl(ExportWndCtrl &exportWindow, DeviceList devices)
    : m_exportWindow(&exportWindow), m_progressCtrl(&exportWindow.progressCtrl()), m_devices(std::move(devices)), m_outputPanel(&defaultOutputPanel),
      m_openPanel([](QWidget *window, const QString &title) { return QFileDialog::getOpenFileName(window, title); }),
      m_revealer(&FileManagerReveal::reveal)
{
    m_dvdDeviceNotification = std::make_unique<DVDBurnNotification>();
    m_dvdDeviceNotification->setDelegate([this] { devicesDidChanged(); });
    m_dvdBurn = std::make_shared<DVDBurn>();
    if (!m_devices)
        m_devices = [burn = m_dvdBurn] { return burn->devices(); };

    p_makeView();
    loadDVDDevices();
    loadDefaultDVDStandard();

    m_exportDVDMenuEditCtrl = std::make_unique<ExportDVDMenuEditCtrl>(m_dvdExportView);
    m_exportDVDMenuEditCtrl->setDvdDelegate([this](double time) { loadMenuItemVideoImageForMenuEdit(time); });
    m_dvdMenuEdit = m_exportDVDMenuEditCtrl->dvdMenuEdit();
    m_dvdMenuEdit->setTitleText(dvdNameString());
    connect(m_dvdNameLabel, &QLineEdit::textChanged, this, [this] { dvdNameChangeAction(); });
    m_backgroundMusicWindowCtrl = std::make_unique<BackgroundMusicWindowController>(m_dvdExportView);

    loadDVDMenuEditView();
    loadDVDMenuBgImage();
    loadDVDMenuEditState();
    exportWindow.setDvdExportView(m_dvdExportView, [this](const std::shared_ptr<VETimelineExportMovie> &movie) {
        exportMovie(movie);
    });
}

ExportDVDWndCtrl::~ExportDVDWndCtrl()
{
    // The editor's background reload calls back into this tab.
    m_exportDVDMenuEditCtrl.reset();
    // The export window no longer tells this tab of exports, nor shows its page.
    if (m_exportWindow)
        m_exportWindow->setDvdExportView(nullptr);
}

void ExportDVDWndCtrl::p_makeView()
{
    m_dvdExportView = new QWidget;
    m_dvdExportView->setObjectName(QStringLiteral("ExportDVDWndCtrl"));
    auto *panes = new QHBoxLayout;
    panes->setContentsMargins(24, 20, 24, 16);
    panes->setSpacing(24);
    panes->addWidget(p_makeDiscPane(), 0, Qt::AlignTop);
    panes->addWidget(p_makeMenuPane(), 1, Qt::AlignTop);

    auto *bottom = new ExportBottomView(m_dvdExportView);
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(16, 10, 16, 10);
    bottomLayout->addStretch(1);
    m_dvdStartBurnBtn = new QPushButton(QStringLiteral("Start"), bottom);
    m_dvdStartBurnBtn->setAutoDefault(false);
    bottomLayout->addWidget(m_dvdStartBurnBtn);
    connect(m_dvdStartBurnBtn, &QPushButton::clicked, this, [this] { dvdStartBurn(); });

    auto *layout = new QVBoxLayout(m_dvdExportView);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panes, 1);
    layout->addWidget(bottom);
    // The names the controls are found by (tests, screenshots).
    const std::pair<QWidget *, const char *> named[] = {
        {m_dvdNameLabel, "dvdNameLabel"},
        {m_aspectWide, "dvdAspectWideBtn"},
        {m_aspectStandard, "dvdAspectStandardBtn"},
        {m_ntsc, "dvdNTSCBtn"},
        {m_pal, "dvdPALBtn"},
        {m_dvdBitrateBtn, "dvdBitrateBtn"},
        {m_dvdSizeLabel, "dvdSizeLabel"},
        {m_dvdAutoPlayBtn, "dvdAutoPlayBtn"},
        {m_dvdLoopMovieBtn, "dvdLoopMovieBtn"},
        {m_exportDvdTypeBtn, "exportDvdTypeBtn"},
        {m_exportDvdBurnDeviceBtn, "exportDvdBurnDeviceBtn"},
        {m_dvdAddMenuBtn, "dvdAddMenuBtn"},
        {m_dvdMenuLengthBtn, "dvdMenuLengthBtn"},
        {m_dvdMenuMusicBtn, "dvdMenuMusicBtn"},
        {m_dvdMenuMusicEditBtn, "dvdMenuMusicEditBtn"},
        {m_dvdMenuImageBtn, "dvdMenuImageBtn"},
        {m_dvdAddMenuTextBtn, "dvdAddMenuTextBtn"},
        {m_titlePicture, "dvdMenuPictureModeBtn"},
        {m_titleText, "dvdMenuTextModeBtn"},
        {m_dvdMenuEditPreviewBtn, "dvdMenuEditPreviewBtn"},
        {m_dvdMenuEditPreviewView, "dvdMenuEditPreviewView"},
        {m_dvdStartBurnBtn, "dvdStartBurnBtn"},
    };
    for (const auto &[widget, name] : named)
        widget->setObjectName(QLatin1String(name));
}

QWidget *ExportDVDWndCtrl::p_makeDiscPane()
{
    auto *pane = new QGroupBox(QStringLiteral("Disc"), m_dvdExportView);
    auto *grid = new QGridLayout(pane);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    m_dvdNameLabel = new QLineEdit(QStringLiteral("My DVD"), pane);
    m_aspectWide = new QRadioButton(QStringLiteral("16:9"), pane);
    m_aspectStandard = new QRadioButton(QStringLiteral("4:3"), pane);
    m_dvdAspectBtn = new QButtonGroup(pane);
    m_dvdAspectBtn->addButton(m_aspectWide, 0);
    m_dvdAspectBtn->addButton(m_aspectStandard, 1);
    m_aspectWide->setChecked(true);
    m_ntsc = new QRadioButton(QStringLiteral("NTSC"), pane);
    m_pal = new QRadioButton(QStringLiteral("PAL"), pane);
    m_dvdStandardBtn = new QButtonGroup(pane);
    m_dvdStandardBtn->addButton(m_ntsc, 0);
    m_dvdStandardBtn->addButton(m_pal, 1);
    m_dvdBitrateBtn = new QSlider(Qt::Horizontal, pane);
    m_dvdBitrateBtn->setRange(500, 8000);
    m_dvdBitrateBtn->setValue(6000);
    m_dvdBitrateBtn->setMinimumWidth(180);
    m_dvdBitrateLabel = new QLabel(pane);
    m_dvdBitrateLabel->setMinimumWidth(80);
    m_dvdSizeLabel = new QLabel(pane);
    m_dvdAutoPlayBtn = new QCheckBox(QStringLiteral("Play at once when inserted"), pane);
    m_dvdLoopMovieBtn = new QCheckBox(QStringLiteral("Loop the slideshow"), pane);
    m_exportDvdTypeBtn = new QComboBox(pane);
    m_exportDvdTypeBtn->addItem(QStringLiteral("Burn to Disc"));
    m_exportDvdTypeBtn->insertSeparator(1);
    m_exportDvdTypeBtn->addItem(QStringLiteral("ISO Image"));
    m_exportDvdTypeBtn->addItem(QStringLiteral("DVD Package (.dvdmedia)"));
    m_exportDvdTypeBtn->addItem(QStringLiteral("DVD-Video Folder"));
    m_burnerRow = new QWidget(pane);
    auto *burner = new QHBoxLayout(m_burnerRow);
    burner->setContentsMargins(0, 0, 0, 0);
    m_exportDvdBurnDeviceBtn = new QComboBox(m_burnerRow);
    m_exportDvdBurnDeviceBtn->setMinimumWidth(200);
    burner->addWidget(m_exportDvdBurnDeviceBtn);
    burner->addStretch(1);

    int row = 0;
    grid->addWidget(caption(QStringLiteral("Name:"), pane), row, 0);
    grid->addWidget(m_dvdNameLabel, row++, 1);
    grid->addWidget(caption(QStringLiteral("Aspect:"), pane), row, 0);
    auto *aspect = new QHBoxLayout;
    aspect->addWidget(m_aspectWide);
    aspect->addWidget(m_aspectStandard);
    aspect->addStretch(1);
    grid->addLayout(aspect, row++, 1);
    grid->addWidget(caption(QStringLiteral("Standard:"), pane), row, 0);
    auto *standard = new QHBoxLayout;
    standard->addWidget(m_ntsc);
    standard->addWidget(m_pal);
    standard->addStretch(1);
    grid->addLayout(standard, row++, 1);
    grid->addWidget(caption(QStringLiteral("Bit rate:"), pane), row, 0);
    auto *bitrate = new QHBoxLayout;
    bitrate->addWidget(m_dvdBitrateBtn, 1);
    bitrate->addWidget(m_dvdBitrateLabel);
    grid->addLayout(bitrate, row++, 1);
    grid->addWidget(caption(QStringLiteral("Estimated size:"), pane), row, 0);
    grid->addWidget(m_dvdSizeLabel, row++, 1);
    grid->addWidget(m_dvdAutoPlayBtn, row++, 1);
    grid->addWidget(m_dvdLoopMovieBtn, row++, 1);
    grid->addWidget(caption(QStringLiteral("Output:"), pane), row, 0);
    grid->addWidget(m_exportDvdTypeBtn, row++, 1, Qt::AlignLeft);
    auto *burnerCaption = caption(QStringLiteral("Burner:"), pane);
    grid->addWidget(burnerCaption, row, 0);
    grid->addWidget(m_burnerRow, row++, 1);
    grid->setRowStretch(row, 1);
    // The burner's row goes with its caption.
    connect(m_exportDvdTypeBtn, &QComboBox::currentIndexChanged, burnerCaption,
            [this, burnerCaption] { burnerCaption->setVisible(isBurnToDevice()); });

    connect(m_dvdAspectBtn, &QButtonGroup::idClicked, this, [this] { dvdAspectBtnAction(); });
    connect(m_dvdBitrateBtn, &QSlider::valueChanged, this, [this] { dvdBirtateBtnAction(); });
    connect(m_exportDvdTypeBtn, &QComboBox::currentIndexChanged, this, [this] { exportDvdTypeBtnAction(); });
    connect(m_exportDvdBurnDeviceBtn, &QComboBox::activated, this, [this] { dvdDeviceAction(); });
    m_dvdBitrateLabel->setText(QStringLiteral("%1 kbps").arg(m_dvdBitrateBtn->value()));
    return pane;
}

QWidget *ExportDVDWndCtrl::p_makeMenuPane()
{
    auto *pane = new QGroupBox(QStringLiteral("Menu"), m_dvdExportView);
    auto *grid = new QGridLayout(pane);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    m_dvdAddMenuBtn = new QCheckBox(QStringLiteral("Make a menu"), pane);
    m_dvdAddMenuBtn->setChecked(true);
    m_dvdMenuLengthBtn = new QComboBox(pane);
    m_dvdMenuLengthBtn->addItem(QStringLiteral("As long as the music"), 0);
    for (int seconds : {5, 10, 15, 20, 30, 60})
        m_dvdMenuLengthBtn->addItem(QStringLiteral("%1 s").arg(seconds), seconds);
    m_dvdMenuLengthBtn->setCurrentIndex(2);
    m_dvdMenuMusicBtn = filePopUp(QStringLiteral("No music"), pane);
    m_dvdMenuMusicEditBtn = new QPushButton(QStringLiteral("Edit…"), pane);
    m_dvdMenuImageBtn = filePopUp(QStringLiteral("Built-in picture"), pane);
    m_dvdAddMenuTextBtn = new QCheckBox(QStringLiteral("Show the disc name"), pane);
    m_titlePicture = new QRadioButton(QStringLiteral("Picture"), pane);
    m_titleText = new QRadioButton(QStringLiteral("Text"), pane);
    m_dvdMenuTitleModeBtn = new QButtonGroup(pane);
    m_dvdMenuTitleModeBtn->addButton(m_titlePicture, 0);
    m_dvdMenuTitleModeBtn->addButton(m_titleText, 1);
    m_titlePicture->setChecked(true);
    m_dvdMenuEditPreviewBtn = new QPushButton(QStringLiteral("Edit Menu…"), pane);
    // The menu as a player would show it, on the player's dark ground.
    auto *previewGround = new PlayModeBgView(pane);
    previewGround->setFixedSize(kPreviewSize);
    m_dvdMenuEditPreviewView = new QLabel(previewGround);
    m_dvdMenuEditPreviewView->setFixedSize(kPreviewSize);
    m_dvdMenuEditPreviewView->setAlignment(Qt::AlignCenter);
    m_dvdMenuEditPreviewView->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (QPushButton *button : {m_dvdMenuMusicEditBtn, m_dvdMenuEditPreviewBtn})
        button->setAutoDefault(false);

    int row = 0;
    grid->addWidget(m_dvdAddMenuBtn, row++, 1);
    grid->addWidget(caption(QStringLiteral("Length:"), pane), row, 0);
    grid->addWidget(m_dvdMenuLengthBtn, row++, 1, Qt::AlignLeft);
    grid->addWidget(caption(QStringLiteral("Music:"), pane), row, 0);
    auto *music = new QHBoxLayout;
    music->addWidget(m_dvdMenuMusicBtn);
    music->addWidget(m_dvdMenuMusicEditBtn);
    music->addStretch(1);
    grid->addLayout(music, row++, 1);
    grid->addWidget(caption(QStringLiteral("Background:"), pane), row, 0);
    grid->addWidget(m_dvdMenuImageBtn, row++, 1, Qt::AlignLeft);
    grid->addWidget(m_dvdAddMenuTextBtn, row++, 1);
    grid->addWidget(caption(QStringLiteral("Play button:"), pane), row, 0);
    auto *mode = new QHBoxLayout;
    mode->addWidget(m_titlePicture);
    mode->addWidget(m_titleText);
    mode->addStretch(1);
    mode->addWidget(m_dvdMenuEditPreviewBtn);
    grid->addLayout(mode, row++, 1);
    grid->addWidget(previewGround, row++, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    connect(m_dvdAddMenuBtn, &QCheckBox::clicked, this, [this] { dvdAddMenuBtnAction(); });
    connect(m_dvdMenuLengthBtn, &QComboBox::activated, this, [this] { dvdMenuLengthChangeAction(); });
    connect(m_dvdMenuMusicBtn, &QComboBox::activated, this, [this] { dvdMenuMusicChangeAction(); });
    connect(m_dvdMenuMusicEditBtn, &QPushButton::clicked, this, [this] { dvdMenuMusicEditAction(); });
    connect(m_dvdMenuImageBtn, &QComboBox::activated, this, [this] { dvdMenuBgChangeAction(); });
    connect(m_dvdAddMenuTextBtn, &QCheckBox::clicked, this, [this] { dvdMenuAddTextAction(); });
    connect(m_dvdMenuTitleModeBtn, &QButtonGroup::idClicked, this, [this] { dvdMenuTitleModeChangeAction(); });
    connect(m_dvdMenuEditPreviewBtn, &QPushButton::clicked, this, [this] { dvdMenuFrameTitleEditAction(); });
    return pane;
}

QString ExportDVDWndCtrl::dvdNameString() const
{
    QString name = m_dvdNameLabel->text();
    name.remove(QLatin1Char('/'));
    name.remove(QLatin1Char('\\'));
    return name.isEmpty() ? QStringLiteral("My DVD") : name;
}

int ExportDVDWndCtrl::outputType() const
{
    return m_exportDvdTypeBtn->currentIndex();
}

bool ExportDVDWndCtrl::isExportDVD16_9() const
{
    return m_dvdAspectBtn->checkedId() == 0;
}

bool ExportDVDWndCtrl::isExportDVDNTSC() const
{
    return m_dvdStandardBtn->checkedId() == 0;
}

bool ExportDVDWndCtrl::isExportDVDAutoPlay() const
{
    return m_dvdAutoPlayBtn->isChecked();
}

bool ExportDVDWndCtrl::isExportDVDLoopPlay() const
{
    return m_dvdLoopMovieBtn->isChecked();
}

bool ExportDVDWndCtrl::isExportDVDAddMenu() const
{
    return m_dvdAddMenuBtn->isChecked();
}

bool ExportDVDWndCtrl::isExportDVDMenuAddText() const
{
    return m_dvdAddMenuTextBtn->isChecked();
}

bool ExportDVDWndCtrl::isExportDVDMenuFrame() const
{
    return m_dvdMenuTitleModeBtn->checkedId() == 0;
}

int ExportDVDWndCtrl::exportDVDBitrate() const
{
    return m_dvdBitrateBtn->value();
}

double ExportDVDWndCtrl::exportDVDMenuLength() const
{
    return DVDExportTabRules::exportDVDMenuLength(isExportDVDAddMenu(),
                                                  m_dvdMenuLengthBtn->currentData().toInt(),
                                                  m_menuAudio ? m_menuAudio->duration() : 0);
}

void ExportDVDWndCtrl::exportMovie(const std::shared_ptr<VETimelineExportMovie> &movie)
{
    {
        std::lock_guard lock(m_videoImageLock);
        m_timeline_movie = movie;
    }
    if (!movie)
        return;
    const auto &button = m_dvdMenuEdit->dvdItem;
    button->videoImageTime = DVDExportTabRules::menuItemPictureTime(movie->duration());
    button->videoImageMaxTime = zk_ff_time_to_double(movie->duration());
    (DVDExportTabRules::prefersWideAspect(movie->videoSize()) ? m_aspectWide : m_aspectStandard)->setChecked(true);
    loadMenuItemVideoImage(button->videoImageTime);
    loadExportDVDFileSize();
    loadDefaultDVDStandard();
    loadDVDMenuEditView();
    loadDVDMenuBgImage();
    loadDvdMenuEditPreviewView();
    loadDVDMenuEditState();
}

void ExportDVDWndCtrl::loadDefaultDVDStandard()
{
    (DVDFuncLib::isDefaultUseDVDNTSC() ? m_ntsc : m_pal)->setChecked(true);
}

void ExportDVDWndCtrl::loadExportDVDFileSize()
{
    const qint64 ticks = m_timeline_movie ? m_timeline_movie->duration() : 0;
    m_dvdSizeLabel->setText(DVDExportTabRules::sizeText(exportDVDBitrate(), ticks, exportDVDMenuLength()));
}

void ExportDVDWndCtrl::loadDVDMenuEditView()
{
    m_dvdMenuEdit->aspectType = isExportDVD16_9() ? 1 : 0;
    const QSizeF size = DVDFuncLib::menuSizeForAspectType(m_dvdMenuEdit->aspectType);
    const bool reshaped = std::abs(size.width() - m_dvdMenuEdit->menuSize.width()) > 1.0;
    m_dvdMenuEdit->menuSize = size;
    if (reshaped)
        m_dvdMenuEdit->adjustItemsPosition();
}

void ExportDVDWndCtrl::loadMenuItemVideoImage(double time)
{
    std::lock_guard lock(m_videoImageLock);
    const auto getImage = m_timeline_movie ? m_timeline_movie->getImage() : VETimelineExportMovie::GetImage();
    if (!getImage)
        return;
    m_dvdMenuEdit->dvdItem->setVideoImage(getImage(qint64(time * zk_default_time_base())));
}

void ExportDVDWndCtrl::loadMenuItemVideoImageForMenuEdit(double time)
{
    loadMenuItemVideoImage(time);
}

void ExportDVDWndCtrl::loadDVDMenuBgImage()
{
    QImage picture;
    if (!m_dvdMenuBgImagePath.isEmpty())
        picture = QImage(m_dvdMenuBgImagePath);
    if (picture.isNull() || picture.width() < 1)
        picture = HLNamedImage::pixmap(QStringLiteral("DefaultMenu001"), 1.0).toImage();
    m_dvdMenuEdit->bgImage = picture;
}

void ExportDVDWndCtrl::loadDvdMenuEditPreviewView()
{
    const QImage picture = m_dvdMenuEdit->getMenuEditDisplayImage();
    if (picture.isNull())
        return;
    m_dvdMenuEditPreviewView->setPixmap(QPixmap::fromImage(
        picture.scaled(kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void ExportDVDWndCtrl::loadDVDMenuEditState()
{
    const bool menu = isExportDVDAddMenu();
    for (QWidget *control : std::initializer_list<QWidget *>{m_dvdMenuLengthBtn, m_dvdMenuMusicBtn, m_dvdMenuImageBtn,
                                                             m_titlePicture, m_titleText, m_dvdMenuEditPreviewBtn,
                                                             m_dvdAddMenuTextBtn})
        control->setEnabled(menu);
    m_dvdMenuMusicEditBtn->setEnabled(menu && m_menuAudio);
}

void ExportDVDWndCtrl::p_selectPath(QComboBox *box, const QString &path, const QString &fallbackTitle)
{
    const QSignalBlocker quiet(box);
    if (path.isEmpty()) {
        box->setCurrentIndex(0);
        return;
    }
    int index = box->findData(path, kPathRole);
    if (index < 0) {
        QString title = QFileInfo(path).fileName();
        box->insertItem(1, title.isEmpty() ? fallbackTitle : title, path);
        index = 1;
    }
    box->setCurrentIndex(index);
}

void ExportDVDWndCtrl::loadDVDMenuBgImageBtnSelection()
{
    p_selectPath(m_dvdMenuImageBtn, m_dvdMenuBgImagePath, QStringLiteral("image name"));
}

void ExportDVDWndCtrl::loadDVDMenuBgMusicBtnSelection()
{
    p_selectPath(m_dvdMenuMusicBtn, m_menuAudio ? m_menuAudioPath : QString(), QStringLiteral("music name"));
}

void ExportDVDWndCtrl::showFileInFinder(const QString &path)
{
    if (!path.isEmpty() && QFileInfo::exists(path) && m_revealer)
        m_revealer(path);
}

void ExportDVDWndCtrl::dvdMenuBgChangeAction()
{
    const int index = m_dvdMenuImageBtn->currentIndex();
    const int last = m_dvdMenuImageBtn->count() - 1;
    if (index == last) {
        loadDVDMenuBgImageBtnSelection();
        showFileInFinder(m_dvdMenuBgImagePath);
        return;
    }
    if (index == last - 1) {
        loadDVDMenuBgImageBtnSelection();
        const QString path = m_openPanel ? m_openPanel(m_dvdExportView->window(), QStringLiteral("Choose a Picture"))
                                         : QString();
        if (path.isEmpty())
            return;
        if (QImage(path).width() <= 1) {
            custom_run_alert_panel(QStringLiteral("“%1” cannot be the menu's background: it is not a picture that "
                                                  "can be read.")
                                       .arg(QFileInfo(path).fileName()),
                                   {QStringLiteral("OK")});
            return;
        }
        m_dvdMenuBgImagePath = path;
        loadDVDMenuBgImageBtnSelection();
    } else {
        m_dvdMenuBgImagePath = index == 0 ? QString() : m_dvdMenuImageBtn->itemData(index, kPathRole).toString();
    }
    loadDVDMenuBgImage();
    loadDvdMenuEditPreviewView();
}

namespace {

// The file as menu music, when it can be read, has sound and is long enough; otherwise
// nothing, and why.
std::shared_ptr<ZKSegmentMovie> openMusic(const QString &path, QString *why)
{
    auto segment = ZKSegmentMovie::movieWithPath(path);
    if (!segment || !segment->ffmovie())
        *why = QStringLiteral("it cannot be read");
    else if (!segment->ffmovie()->hasAudio())
        *why = QStringLiteral("it has no sound");
    else if (!DVDExportTabRules::isAcceptedMusic(segment->duration(), true))
        *why = QStringLiteral("it is too short");
    else
        return segment;
    return nullptr;
}

} // namespace

void ExportDVDWndCtrl::dvdMenuMusicChangeAction()
{
    const int index = m_dvdMenuMusicBtn->currentIndex();
    const int last = m_dvdMenuMusicBtn->count() - 1;
    const auto take = [this](const QString &path) {
        QString why;
        if (auto music = openMusic(path, &why)) {
            m_menuAudio = music;
            m_menuAudioPath = path;
        } else {
            custom_run_alert_panel(
                QStringLiteral("“%1” cannot be the menu's music: %2.").arg(QFileInfo(path).fileName(), why),
                {QStringLiteral("OK")});
        }
    };
    if (index == last) {
        loadDVDMenuBgMusicBtnSelection();
        if (m_menuAudio)
            showFileInFinder(m_menuAudioPath);
    } else if (index == last - 1) {
        loadDVDMenuBgMusicBtnSelection();
        const QString path = m_openPanel ? m_openPanel(m_dvdExportView->window(), QStringLiteral("Choose Music"))
                                         : QString();
        if (!path.isEmpty())
            take(path);
        loadDVDMenuBgMusicBtnSelection();
    } else if (index == 0) {
        m_menuAudio.reset();
    } else {
        take(m_dvdMenuMusicBtn->itemData(index, kPathRole).toString());
        loadDVDMenuBgMusicBtnSelection();
    }
    loadDVDMenuEditState();
    loadExportDVDFileSize();
}

void ExportDVDWndCtrl::dvdMenuMusicEditAction()
{
    if (m_menuAudio)
        m_backgroundMusicWindowCtrl->showWindowWithMovie(m_menuAudio);
    loadExportDVDFileSize();
}

void ExportDVDWndCtrl::dvdAspectBtnAction()
{
    loadDVDMenuEditView();
    loadDvdMenuEditPreviewView();
}

void ExportDVDWndCtrl::dvdBirtateBtnAction()
{
    m_dvdBitrateLabel->setText(QStringLiteral("%1 kbps").arg(exportDVDBitrate()));
    loadExportDVDFileSize();
}

void ExportDVDWndCtrl::dvdAddMenuBtnAction()
{
    loadDVDMenuEditState();
    // The menu's length counts in the estimate only while there is a menu.
    loadExportDVDFileSize();
}

void ExportDVDWndCtrl::dvdNameChangeAction()
{
    m_dvdMenuEdit->setTitleText(dvdNameString());
    loadDvdMenuEditPreviewView();
}

void ExportDVDWndCtrl::dvdMenuAddTextAction()
{
    m_dvdMenuEdit->addText = isExportDVDMenuAddText();
    loadDvdMenuEditPreviewView();
}

void ExportDVDWndCtrl::dvdMenuTitleModeChangeAction()
{
    m_dvdMenuEdit->dvdItem->useText = !isExportDVDMenuFrame();
    loadDvdMenuEditPreviewView();
}

void ExportDVDWndCtrl::dvdMenuFrameTitleEditAction()
{
    m_exportDVDMenuEditCtrl->showEditWindowModal();
    loadDvdMenuEditPreviewView();
}

void ExportDVDWndCtrl::dvdMenuLengthChangeAction()
{
    loadExportDVDFileSize();
}

void ExportDVDWndCtrl::exportDvdTypeBtnAction()
{
    m_burnerRow->setVisible(isBurnToDevice());
}

void ExportDVDWndCtrl::loadDVDDevices()
{
    const QString remembered = m_exportDvdBurnDeviceBtn->currentText();
    m_deviceList = m_devices ? m_devices() : std::vector<std::shared_ptr<DVDBurnDevice>>();
    const QSignalBlocker quiet(m_exportDvdBurnDeviceBtn);
    m_exportDvdBurnDeviceBtn->clear();
    for (const auto &device : m_deviceList)
        m_exportDvdBurnDeviceBtn->addItem(device ? device->displayName() : QString());
    const int again = m_exportDvdBurnDeviceBtn->findText(remembered);
    m_exportDvdBurnDeviceBtn->setCurrentIndex(again >= 0 ? again : 0);
    // The burner object always holds the drive now listed under the selection.
    dvdDeviceAction();
}

void ExportDVDWndCtrl::dvdDeviceAction()
{
    const int index = m_exportDvdBurnDeviceBtn->currentIndex();
    std::shared_ptr<DVDBurnDevice> device;
    if (index >= 0 && index < int(m_deviceList.size()))
        device = m_deviceList[size_t(index)];
    else if (!m_deviceList.empty())
        device = m_deviceList.front();
    m_dvdBurn->setDevice(device);
}

void ExportDVDWndCtrl::devicesDidChanged()
{
    loadDVDDevices();
}

std::shared_ptr<Trevanel> ExportDVDWndCtrl::getDVDObj()
{
    DVDDiscSettings settings;
    settings.addMenu = isExportDVDAddMenu();
    settings.aspectType = m_dvdMenuEdit->aspectType;
    settings.bitrate = exportDVDBitrate();
    settings.autoPlay = isExportDVDAutoPlay();
    settings.loop = isExportDVDLoopPlay();
    settings.standard = isExportDVDNTSC() ? 0 : 1;
    settings.menuLength = exportDVDMenuLength();
    settings.menuSize = m_dvdMenuEdit->menuSize;
    settings.menuImage = m_dvdMenuEdit->getMenuEditDisplayImage();
    settings.menuAudio = m_menuAudio;
    const auto &button = m_dvdMenuEdit->dvdItem;
    settings.buttonUseText = button->useText;
    settings.buttonBackgroundRadius = button->text ? double(button->text->backgroundRadius) : 0.0;
    settings.buttonFrame = button->getRealDisplayRect();
    return DVDProjectAssembly::getDVDObj(settings, m_timeline_movie);
}

int ExportDVDWndCtrl::custom_run_alert_panel(const QString &text, const QStringList &buttons)
{
    QMessageBox alert(QMessageBox::Warning, QStringLiteral("Export to DVD"), text, QMessageBox::NoButton,
                      m_dvdExportView->window());
    QList<QAbstractButton *> added;
    for (const QString &title : buttons)
        added << alert.addButton(title, added.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    alert.exec();
    int index = int(added.indexOf(alert.clickedButton()));
    if (index < 0) // closed without a button: the last one's answer
        index = int(std::max<qsizetype>(added.size() - 1, 0));
    return 1000 + index;
}

bool ExportDVDWndCtrl::alertDVDVideoSizeAspectContinue()
{
    const QString message =
        DVDProjectAssembly::aspectMismatchMessage(m_timeline_movie->videoSize(), m_dvdMenuEdit->aspectType);
    if (message.isEmpty())
        return true;
    return custom_run_alert_panel(message, {QStringLiteral("Continue"), QStringLiteral("Cancel")}) != 1001;
}

void ExportDVDWndCtrl::dvdStartBurn()
{
    if (!m_timeline_movie)
        return;
    loadDVDMenuEditView();
    if (!alertDVDVideoSizeAspectContinue())
        return;
    // The button's picture comes from the slideshow's frame block, which the export is
    // about to use from its own threads.
    m_exportDVDMenuEditCtrl->finishPendingReload();
    loadDvdMenuEditPreviewView();
    m_progressCtrl->setCustomProgressText(QStringLiteral("Exporting to DVD …"));
    const auto dvd = getDVDObj();
    const QString name = dvdNameString();
    if (isBurnToDevice()) {
        // Only the drive and its disc here: the estimate is an upper bound, and the burn
        // checks the room against the image once it is built.
        const QString problem = DVDProjectAssembly::burnerProblem(*m_dvdBurn, 0);
        if (!problem.isEmpty()) {
            custom_run_alert_panel(problem, {QStringLiteral("OK")});
            return;
        }
        // The flow's own handle on the drive: a drive event in this tab meanwhile does not
        // change the burner it polls.
        auto burner = std::make_shared<DVDBurn>();
        burner->setDevice(m_dvdBurn->device());
        auto questions = std::make_shared<DVDBurnQuestionDialogs>(m_progressCtrl->window());
        qCInfo(hlLog) << "start burn";
        p_handOver(std::make_shared<DVDBurnFlow>(dvd, burner, name, questions));
        return;
    }
    const auto type = OutputType(outputType());
    // A package or image is proposed under the disc's name.
    const QString proposed =
        type == BurnToFolder ? QString() : DVDDiscName::folderName(name) + QLatin1Char('.') + outputSuffix(type);
    const QString path = m_outputPanel ? m_outputPanel(m_dvdExportView->window(), type, proposed) : QString();
    if (path.isEmpty())
        return;
    // The image and package panels asked before returning a name that is taken: that file is
    // replaced. A folder gets the disc's name inside the chosen one, or a free one beside it.
    qCInfo(hlLog) << "start burn file";
    if (type == BurnToISO)
        p_handOver(std::make_shared<DVDFileOutputFlow>(DVDOutputJob::iso(dvd, path, name, true)));
    else if (type == BurnToFolder)
        p_handOver(std::make_shared<DVDFileOutputFlow>(
            DVDOutputJob::media(dvd, QDir(path).filePath(DVDDiscName::folderName(name)))));
    else
        p_handOver(std::make_shared<DVDFileOutputFlow>(DVDOutputJob::media(dvd, path, true)));
}

void ExportDVDWndCtrl::p_handOver(std::shared_ptr<ConvertProgressFlow> flow)
{
    if (m_flowMade)
        m_flowMade(flow);
    qCInfo(hlLog) << "close setting";
    if (m_exportWindow)
        m_exportWindow->handOverFlow(std::move(flow));
}

#include "export/ui/ExportWndCtrl.h"

#include "export/VETimelineExportMovie.h"
#include "export/VETimelineExportMovieConverter.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/MenuBottomAreaView.h"
#include "export/ui/TemplateViewItem.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Platform/Foundation/HLLog.h"
#include "widgets/HLWindowBar.h"

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <bit>
#include <utility>

using namespace ExportFormatSettings;

namespace {

const QString kVideoTab = QStringLiteral("Export to Video");
const QString kDVDTab = QStringLiteral("Export to DVD");

// The number a pop-up title begins with ("48000 Hz" is 48000).
int leadingNumber(const QString &title)
{
    return title.section(QLatin1Char(' '), 0, 0).toInt();
}

QLabel *nameLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

ExportWndCtrl::ExportWndCtrl(QWidget *parent) : m_savePanel(&ExportWndCtrl::p_defaultSavePanel)
{
    p_makeWindow(parent);
    m_progressCtrl = std::make_unique<ConvertProgressWindowController>(parent);
}

ExportWndCtrl::~ExportWndCtrl()
{
    m_progressCtrl.reset();
    delete m_window;
}

void ExportWndCtrl::p_makeWindow(QWidget *parent)
{
    m_window = new QDialog(parent);
    m_window->setObjectName(QStringLiteral("ExportWndCtrl"));
    m_window->setWindowTitle(QStringLiteral("Export"));
    m_window->setWindowModality(Qt::ApplicationModal);

    auto *tabs = new QHBoxLayout;
    tabs->setSpacing(0);
    m_templateCtrV1 = new TemplateViewItem(m_window);
    m_templateCtrV1->setObjectName(QStringLiteral("templateCtrV1"));
    m_templateCtrV1->setStrTitle(kVideoTab);
    m_templateCtrV1->setIsSelect(true);
    m_templateCtrV2 = new TemplateViewItem(m_window);
    m_templateCtrV2->setObjectName(QStringLiteral("templateCtrV2"));
    m_templateCtrV2->setStrTitle(kDVDTab);
    m_templateCtrV2->hide();
    for (TemplateViewItem *tab : {m_templateCtrV1, m_templateCtrV2}) {
        tab->setFixedSize(tab->sizeHint());
        tab->setDelegate([this](const QString &title) { typeClickAction(title); });
        tabs->addWidget(tab);
    }
    tabs->addStretch(1);

    m_vBackView = new QWidget(m_window);
    m_pages = new QStackedLayout(m_vBackView);
    m_vExportVideo = p_makeVideoPage();
    m_vExportVideo->setObjectName(QStringLiteral("vExportVideo"));
    m_pages->addWidget(m_vExportVideo);

    auto *bottom = new MenuBottomAreaView(m_window);
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(16, 10, 16, 10);
    bottomLayout->addStretch(1);
    m_exportButton = new QPushButton(QStringLiteral("Export"), bottom);
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    // Return in a field ends its editing; it must not start an export.
    m_exportButton->setAutoDefault(false);
    bottomLayout->addWidget(m_exportButton);
    connect(m_exportButton, &QPushButton::clicked, this, [this] { exportToVideoFile(); });

    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(0);
    auto *tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(16, 0, 16, 0);
    tabRow->addLayout(tabs);
    layout->addLayout(tabRow);
    layout->addWidget(m_vBackView, 1);
    layout->addWidget(bottom);
    changeWindowBarToBlack(m_window);

    changeVideoFormatAction();
    m_videoBitrateBtn->setRange(int(kMinVideoBitrate), int(kMaxVideoBitrate));
    m_videoBitrateBtn->setValue(int(kDefaultVideoBitrate));
    loadVideoBitrateSettings();
}

QWidget *ExportWndCtrl::p_makeVideoPage()
{
    auto *page = new QWidget(m_vBackView);
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(24, 20, 24, 20);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);

    m_formatBtn = new QComboBox(page);
    m_formatBtn->setObjectName(QStringLiteral("formatBtn"));
    for (const QString &format : allowVideoFormats())
        m_formatBtn->addItem(format.toUpper());
    m_codecBtn = new QComboBox(page);
    m_codecBtn->setObjectName(QStringLiteral("codecBtn"));
    m_resolutionLabel = new QLabel(page);
    m_resolutionLabel->setObjectName(QStringLiteral("resolutionLabel"));
    m_videoFramerateLabel = new QLineEdit(QStringLiteral("30"), page);
    m_videoFramerateLabel->setObjectName(QStringLiteral("videoFramerateLabel"));
    m_videoFramerateLabel->setFixedWidth(70);
    m_videoBitrateBtn = new QSlider(Qt::Horizontal, page);
    m_videoBitrateBtn->setObjectName(QStringLiteral("videoBitrateBtn"));
    m_videoBitrateLabel = new QLineEdit(page);
    m_videoBitrateLabel->setObjectName(QStringLiteral("videoBitrateLabel"));
    m_videoBitrateLabel->setFixedWidth(70);
    m_audioCodecBtn = new QComboBox(page);
    m_audioCodecBtn->setObjectName(QStringLiteral("audioCodecBtn"));
    m_audioSampleBtn = new QComboBox(page);
    m_audioSampleBtn->setObjectName(QStringLiteral("audioSampleBtn"));
    m_audioSampleBtn->addItems({QStringLiteral("44100 Hz"), QStringLiteral("48000 Hz"), QStringLiteral("32000 Hz"),
                                QStringLiteral("22050 Hz")});
    m_audioChannelBtn = new QComboBox(page);
    m_audioChannelBtn->setObjectName(QStringLiteral("audioChannelBtn"));
    m_audioChannelBtn->addItems({QStringLiteral("2 Channels"), QStringLiteral("1 Channel")});
    m_audioBitrateBtn = new QComboBox(page);
    m_audioBitrateBtn->setObjectName(QStringLiteral("audioBitrateBtn"));
    m_audioBitrateBtn->addItems({QStringLiteral("128 kbps"), QStringLiteral("192 kbps"), QStringLiteral("256 kbps"),
                                 QStringLiteral("320 kbps"), QStringLiteral("96 kbps"), QStringLiteral("64 kbps")});
    m_exportVideoLengthLabel = new QLabel(page);
    m_exportVideoLengthLabel->setObjectName(QStringLiteral("exportVideoLengthLabel"));
    m_exportVideoSizeLabel = new QLabel(page);
    m_exportVideoSizeLabel->setObjectName(QStringLiteral("exportVideoSizeLabel"));
    for (QComboBox *box : {m_formatBtn, m_codecBtn, m_audioCodecBtn, m_audioSampleBtn, m_audioChannelBtn, m_audioBitrateBtn})
        box->setMinimumWidth(150);

    int row = 0;
    auto addRow = [&](const QString &name, QWidget *field, const QString &unit = QString()) {
        grid->addWidget(nameLabel(name, page), row, 0);
        auto *line = new QHBoxLayout;
        line->addWidget(field);
        if (!unit.isEmpty())
            line->addWidget(new QLabel(unit, page));
        line->addStretch(1);
        grid->addLayout(line, row++, 1);
    };
    addRow(QStringLiteral("Format:"), m_formatBtn);
    addRow(QStringLiteral("Video codec:"), m_codecBtn);
    addRow(QStringLiteral("Resolution:"), m_resolutionLabel);
    addRow(QStringLiteral("Frame rate:"), m_videoFramerateLabel, QStringLiteral("fps"));
    grid->addWidget(nameLabel(QStringLiteral("Video bit rate:"), page), row, 0);
    auto *bitrate = new QHBoxLayout;
    bitrate->addWidget(m_videoBitrateBtn, 1);
    bitrate->addWidget(m_videoBitrateLabel);
    bitrate->addWidget(new QLabel(QStringLiteral("kbps"), page));
    grid->addLayout(bitrate, row++, 1);
    addRow(QStringLiteral("Audio codec:"), m_audioCodecBtn);
    addRow(QStringLiteral("Sample rate:"), m_audioSampleBtn);
    addRow(QStringLiteral("Channels:"), m_audioChannelBtn);
    addRow(QStringLiteral("Audio bit rate:"), m_audioBitrateBtn);
    addRow(QStringLiteral("Length:"), m_exportVideoLengthLabel);
    addRow(QStringLiteral("Estimated size:"), m_exportVideoSizeLabel);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    m_videoBitrateBtn->setMinimumWidth(240);

    connect(m_formatBtn, &QComboBox::activated, this, [this] { changeVideoFormatAction(); });
    connect(m_codecBtn, &QComboBox::activated, this, [this] { p_showUsedSettings(); });
    connect(m_audioCodecBtn, &QComboBox::activated, this, [this] { p_showUsedSettings(); });
    connect(m_videoBitrateBtn, &QSlider::valueChanged, this, [this] { changeVideoBitrateBtn(); });
    connect(m_videoBitrateLabel, &QLineEdit::editingFinished, this, [this] { changeVideoBitrateLabel(); });
    connect(m_videoFramerateLabel, &QLineEdit::editingFinished, this, [this] { changeVideoFramerateLabel(); });
    return page;
}

void ExportWndCtrl::setDvdExportView(QWidget *view, MovieHandler exportMovie)
{
    if (m_vExportDVD) {
        m_pages->removeWidget(m_vExportDVD);
        m_vExportDVD->deleteLater();
    }
    m_vExportDVD = view;
    m_dvdExportMovie = view ? std::move(exportMovie) : MovieHandler();
    if (view) {
        view->setParent(m_vBackView);
        m_pages->addWidget(view);
    }
    m_templateCtrV2->setVisible(view != nullptr);
    typeClickAction(kVideoTab);
}

void ExportWndCtrl::typeClickAction(const QString &title)
{
    m_templateCtrV1->setIsSelect(false);
    m_templateCtrV2->setIsSelect(false);
    if (title == kVideoTab) {
        m_templateCtrV1->setIsSelect(true);
        m_pages->setCurrentWidget(m_vExportVideo);
        m_exportButton->parentWidget()->setVisible(true);
    } else if (title == kDVDTab && m_vExportDVD) {
        m_templateCtrV2->setIsSelect(true);
        m_pages->setCurrentWidget(m_vExportDVD);
        // The DVD page has its own bottom bar and buttons.
        m_exportButton->parentWidget()->setVisible(false);
    }
}

QString ExportWndCtrl::formatName() const
{
    return ExportFormatSettings::formatName(m_formatBtn->currentText());
}

void ExportWndCtrl::changeVideoFormatAction()
{
    const QString container = formatName();
    m_codecBtn->clear();
    m_codecBtn->addItems(videoCodecsOf(container));
    m_audioCodecBtn->clear();
    m_audioCodecBtn->addItems(audioCodecsOf(container));
    p_showUsedSettings();
}

namespace {

// The user's choice in a sound pop-up, also while it shows a value a codec imposes.
QString chosenText(const QComboBox *box)
{
    const QVariant kept = box->property("chosenIndex");
    return kept.isValid() ? box->itemText(kept.toInt()) : box->currentText();
}

// Shows imposed (what the codec writes whatever is chosen) in place of the user's choice,
// disabled; an empty imposed gives the choice back.
void showImposed(QComboBox *box, const QString &imposed)
{
    const QSignalBlocker quiet(box);
    const QVariant kept = box->property("chosenIndex");
    if (imposed.isEmpty()) {
        if (kept.isValid())
            box->setCurrentIndex(kept.toInt());
        box->setProperty("chosenIndex", QVariant());
        box->setEnabled(true);
        return;
    }
    if (!kept.isValid())
        box->setProperty("chosenIndex", box->currentIndex());
    box->setPlaceholderText(imposed);
    box->setCurrentIndex(-1);
    box->setEnabled(false);
}

int channelCount(qint64 layout)
{
    return std::popcount(quint64(layout));
}

} // namespace

ExportFormatSettings::Choice ExportWndCtrl::choice() const
{
    Choice c;
    c.container = formatName();
    c.videoCodec = m_codecBtn->currentText();
    c.audioCodec = m_audioCodecBtn->currentText();
    c.framerate = m_framerate;
    c.videoBitrate = m_videoBitrateBtn->value();
    c.videoSize = m_timeline_movie ? m_timeline_movie->videoSize() : QSizeF();
    c.sampleRate = leadingNumber(chosenText(m_audioSampleBtn));
    c.channels = leadingNumber(chosenText(m_audioChannelBtn));
    c.audioKbits = leadingNumber(chosenText(m_audioBitrateBtn));
    return c;
}

ZKFFMovieFileOutputFormat ExportWndCtrl::exportOutputVideoFormat() const
{
    return ExportFormatSettings::exportOutputVideoFormat(choice());
}

void ExportWndCtrl::changeVideoBitrateBtn()
{
    loadVideoBitrateSettings();
}

void ExportWndCtrl::changeVideoBitrateLabel()
{
    const double value = videoBitrateFromText(m_videoBitrateLabel->text(), m_videoBitrateBtn->value());
    m_videoBitrateBtn->setValue(int(value));
    loadVideoBitrateSettings();
}

void ExportWndCtrl::changeVideoFramerateLabel()
{
    m_framerate = framerateFromText(m_videoFramerateLabel->text(), m_framerate);
    p_showUsedSettings();
}

void ExportWndCtrl::loadVideoBitrateSettings()
{
    p_showUsedSettings();
}

void ExportWndCtrl::changeVideoResolutionLabel()
{
    p_showUsedSettings();
}

void ExportWndCtrl::changeVideoDurationLabel()
{
    const double seconds = m_timeline_movie ? zk_ff_time_to_double(m_timeline_movie->duration()) : 0;
    m_exportVideoLengthLabel->setText(durationText(seconds));
    loadVideoBitrateSettings();
}

void ExportWndCtrl::p_showUsedSettings()
{
    const Choice c = choice();
    const ZKFFMovieFileOutputFormat asked = ExportFormatSettings::exportOutputVideoFormat(c);
    const ZKFFMovieFileOutputFormat used = usedOutputFormat(c);
    m_videoBitrateLabel->setText(QString::asprintf("%.0f", used.video_bitrate / 1000.0));
    // A codec with a fixed bit rate (DV) makes the slider meaningless.
    const bool ownRate = used.video_bitrate == asked.video_bitrate;
    m_videoBitrateBtn->setEnabled(ownRate);
    m_videoBitrateLabel->setEnabled(ownRate);
    m_videoFramerateLabel->setText(framerateText(double(used.framerate) / std::max(1, used.frameTime)));
    m_resolutionLabel->setText(m_timeline_movie ? resolutionText(QSizeF(used.width, used.height)) : QString());
    const double seconds = m_timeline_movie ? zk_ff_time_to_double(m_timeline_movie->duration()) : 0;
    m_exportVideoSizeLabel->setText(spaceDisplayStringWithSize(estimatedBytes(seconds, used.video_bitrate)));
    // A codec with fixed sound settings (DV) shows what it writes.
    showImposed(m_audioSampleBtn,
                used.sample_rate != asked.sample_rate ? QStringLiteral("%1 Hz").arg(used.sample_rate) : QString());
    const int channels = channelCount(used.channel_layout);
    showImposed(m_audioChannelBtn, channels != channelCount(asked.channel_layout)
                                       ? (channels == 1 ? QStringLiteral("1 Channel") : QStringLiteral("%1 Channels").arg(channels))
                                       : QString());
}

void ExportWndCtrl::exportMovie(const std::shared_ptr<VETimelineExportMovie> &movie)
{
    m_timeline_movie = movie;
    m_pendingPath.clear();
    m_pendingFlow.reset();
    if (m_dvdExportMovie)
        m_dvdExportMovie(movie);
    changeVideoResolutionLabel();
    changeVideoDurationLabel();
    m_window->exec();
    if (!m_pendingPath.isEmpty()) {
        auto converter = std::make_shared<VETimelineExportMovieConverter>();
        converter->setTimeline(m_timeline_movie);
        converter->setMovieOutputFormat(m_pendingFormat);
        converter->setPath(m_pendingPath);
        m_pendingPath.clear();
        qCInfo(hlLog) << "start";
        m_progressCtrl->setCustomProgressText(QStringLiteral("Exporting to Video …"));
        m_progressCtrl->convertVideoWithConverter(converter);
    }
    if (const auto flow = std::exchange(m_pendingFlow, nullptr))
        m_progressCtrl->runFlow(flow);
    m_timeline_movie.reset();
}

void ExportWndCtrl::handOverFlow(std::shared_ptr<ConvertProgressFlow> flow)
{
    m_pendingFlow = std::move(flow);
    m_window->done(QDialog::Accepted);
}

void ExportWndCtrl::exportToVideoFile()
{
    // Takes a value still being typed.
    if (m_videoFramerateLabel->hasFocus())
        changeVideoFramerateLabel();
    if (m_videoBitrateLabel->hasFocus())
        changeVideoBitrateLabel();
    const QString container = formatName();
    const QString project = m_strProjectName.isEmpty() ? QStringLiteral("Untitled") : m_strProjectName;
    const QString proposed = project + QLatin1Char('.') + container;
    QString path = m_savePanel ? m_savePanel(m_window, container, proposed) : QString();
    if (path.isEmpty())
        return;
    // The converter picks the container from the extension: it must be the chosen one.
    if (QFileInfo(path).suffix().toLower() != container)
        path += QLatin1Char('.') + container;
    m_pendingFormat = exportOutputVideoFormat();
    m_pendingPath = path;
    m_window->done(QDialog::Accepted);
    qCInfo(hlLog) << "close setting";
}

QString ExportWndCtrl::p_defaultSavePanel(QWidget *window, const QString &container, const QString &fileName)
{
    QFileDialog panel(window, QStringLiteral("Export to Video"));
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setNameFilter(QStringLiteral("%1 movie (*.%2)").arg(container.toUpper(), container));
    panel.setDefaultSuffix(container);
    panel.selectFile(fileName);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return {};
    return panel.selectedFiles().first();
}

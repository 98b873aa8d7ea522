#include "Frameworks/Trevanel/DVDMenuMake.h"

#include "Platform/Foundation/HLJob.h"

#include "Frameworks/Trevanel/DVDMenuElement.h"
#include "Frameworks/Trevanel/DVDMenuImageGenerator.h"
#include "Frameworks/Trevanel/DVDMenuPage.h"
#include "Frameworks/Trevanel/DVDToolFiles.h"
#include "Frameworks/Trevanel/Trevanel.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QXmlStreamWriter>

#include <functional>

namespace {

const QString imageFile = QStringLiteral("menu-image.png");
const QString highlightFile = QStringLiteral("menu-highlight.png");
const QString selectFile = QStringLiteral("menu-select.png");
const QString descriptionFile = QStringLiteral("menu.xml");
const QString spumuxOutput = QStringLiteral("menu-spumux.mpg");
// A 16:9 menu's second subpicture stream, for 4:3 sets that letterbox it.
const QString letterboxPrefix = QStringLiteral("letterbox-");
const QString letterboxOutput = QStringLiteral("menu-spumux-letterbox.mpg");

// A layer picture of a 16:9 frame as a 4:3 set shows it letterboxed. Unsmoothed, so the
// subpicture keeps its few colours.
QImage letterboxed(const QImage &layer)
{
    QImage result(layer.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.drawImage(QRect(0, layer.height() / 8, layer.width(), layer.height() * 3 / 4), layer);
    return result;
}

QByteArray spumuxDescription(const std::vector<DVDFrameButton> &buttons, const QString &prefix)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartElement(QStringLiteral("subpictures"));
    w.writeStartElement(QStringLiteral("stream"));
    w.writeStartElement(QStringLiteral("spu"));
    w.writeAttribute(QStringLiteral("start"), QStringLiteral("00:00:00.00"));
    w.writeAttribute(QStringLiteral("force"), QStringLiteral("yes"));
    w.writeAttribute(QStringLiteral("image"), prefix + imageFile);
    w.writeAttribute(QStringLiteral("highlight"), prefix + highlightFile);
    w.writeAttribute(QStringLiteral("select"), prefix + selectFile);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const DVDFrameButton &b = buttons[i];
        w.writeStartElement(QStringLiteral("button"));
        w.writeAttribute(QStringLiteral("name"), QStringLiteral("b%1").arg(i));
        w.writeAttribute(QStringLiteral("x0"), QString::number(b.x0));
        w.writeAttribute(QStringLiteral("y0"), QString::number(b.y0));
        w.writeAttribute(QStringLiteral("x1"), QString::number(b.x1));
        w.writeAttribute(QStringLiteral("y1"), QString::number(b.y1));
        w.writeEndElement();
    }
    w.writeEndDocument();
    return xml;
}

} // namespace

void DVDMenuMake::makeMenu(std::shared_ptr<DVDMenuPage> menu, std::shared_ptr<Trevanel> dvd, const QString &path,
                           const QString &video, const QString &work,
                           std::shared_ptr<DVDMenuImageGenerator> generator)
{
    m_menu = std::move(menu);
    m_dvd = std::move(dvd);
    m_path = path;
    m_video = video;
    m_work = work;
    m_generator = std::move(generator);
}

QString DVDMenuMake::errorString() const
{
    return m_error.isEmpty() ? m_tool.errorString() : m_error;
}

bool DVDMenuMake::p_fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    return false;
}

QRectF DVDMenuMake::scaleRect(const QRectF &rect, QSizeF menuSize, QSizeF fitSize)
{
    const DVDMenuRect r = DVDMenuGeometry::scaleRect({rect.x(), rect.y(), rect.width(), rect.height()},
                                                     menuSize.width(), menuSize.height(), fitSize.width(),
                                                     fitSize.height());
    return QRectF(r.x, r.y, r.width, r.height);
}

bool DVDMenuMake::buttonsOf(const DVDMenuPage &menu, QSizeF frameSize, std::vector<DVDFrameButton> *buttons,
                            QString *error)
{
    buttons->clear();
    for (const auto &item : menu.items()) {
        if (!item || !item->isValid() || item->isStaticItem())
            continue;
        const QRectF r = scaleRect(item->frame(), menu.menuSize(), frameSize);
        const auto button = DVDMenuGeometry::buttonInFrame({r.x(), r.y(), r.width(), r.height()},
                                                           int(frameSize.width()), int(frameSize.height()));
        if (!button) {
            *error = QStringLiteral("A menu button lies outside the menu.");
            return false;
        }
        buttons->push_back(*button);
    }
    return true;
}

bool DVDMenuMake::start(HLJobState &state)
{
    if (!m_menu || !m_dvd || !m_generator)
        return p_fail(QStringLiteral("No menu to make"));
    if (!DVDToolFiles::isNonEmptyFile(m_video))
        return p_fail(QStringLiteral("The menu video %1 is missing").arg(m_video));
    std::vector<DVDFrameButton> buttons;
    QString error;
    if (!buttonsOf(*m_menu, m_dvd->dvdVideoSize(), &buttons, &error))
        return p_fail(error);

    const QDir work(m_work);
    const std::pair<QString, QString> layers[] = {{imageFile, QStringLiteral("menu_image")},
                                                  {highlightFile, QStringLiteral("menu_highlight")},
                                                  {selectFile, QStringLiteral("menu_select")}};
    const bool wide = m_dvd->aspectType() == 1;
    const QString output = work.filePath(spumuxOutput);
    const QString letterboxMenu = work.filePath(letterboxOutput);
    // The scratch files go whatever happens; only the menu file stays.
    const std::unique_ptr<const QDir, std::function<void(const QDir *)>> scratch(&work, [&](const QDir *folder) {
        for (const auto &layer : layers) {
            QFile::remove(folder->filePath(layer.first));
            QFile::remove(folder->filePath(letterboxPrefix + layer.first));
        }
        QFile::remove(folder->filePath(descriptionFile));
        QFile::remove(output);
        QFile::remove(letterboxMenu);
    });
    for (const auto &[file, name] : layers) {
        const QImage layer = m_generator->layerImage(name);
        if (!layer.save(work.filePath(file), "PNG")
            || (wide && !letterboxed(layer).save(work.filePath(letterboxPrefix + file), "PNG")))
            return p_fail(QStringLiteral("Cannot write %1").arg(work.filePath(file)));
    }
    if (!p_spumux(state, spumuxDescription(buttons, QString()), 0, m_video, output))
        return false;
    QString made = output;
    if (wide) {
        // The same buttons again where a 4:3 set shows them, as stream 1.
        std::vector<DVDFrameButton> letterbox;
        for (const DVDFrameButton &b : buttons)
            letterbox.push_back(DVDMenuGeometry::letterboxButton(b, int(m_dvd->dvdVideoSize().height())));
        if (!p_spumux(state, spumuxDescription(letterbox, letterboxPrefix), 1, output, letterboxMenu))
            return false;
        made = letterboxMenu;
    }
    bool ok = true;
    if (!DVDToolFiles::replaceFile(made, m_path, &error))
        ok = p_fail(error);
    if (ok)
        state.setProgress(1.0);
    return ok;
}

bool DVDMenuMake::p_spumux(HLJobState &state, const QByteArray &description, int stream, const QString &input, const QString &output)
{
    QString error;
    if (!DVDToolFiles::writeFile(QDir(m_work).filePath(descriptionFile), description, &error))
        return p_fail(error);
    QFile::remove(output);
    DVDToolProcess::Request request;
    request.program = QStringLiteral("spumux");
    request.arguments = {QStringLiteral("-m"), QStringLiteral("dvd"), QStringLiteral("-s"), QString::number(stream),
                         descriptionFile};
    request.workFolder = m_work;
    request.environment = DVDToolFiles::toolEnvironment(m_dvd->format());
    request.inputFile = input;
    request.outputFile = output;
    if (!m_tool.run(request, {}, &state.cancelToken()))
        return false;
    if (!DVDToolFiles::isNonEmptyFile(output))
        return p_fail(QStringLiteral("spumux wrote no menu"));
    return true;
}

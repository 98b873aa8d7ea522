#include "Frameworks/Trevanel/DVDMenuMake.h"

#include "Frameworks/Trevanel/DVDMenuElement.h"
#include "Frameworks/Trevanel/DVDMenuImageGenerator.h"
#include "Frameworks/Trevanel/DVDMenuPage.h"
#include "Frameworks/Trevanel/DVDToolFiles.h"
#include "Frameworks/Trevanel/Trevanel.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamWriter>

#include <functional>

namespace {

const QString imageFile = QStringLiteral("menu-image.png");
const QString highlightFile = QStringLiteral("menu-highlight.png");
const QString selectFile = QStringLiteral("menu-select.png");
const QString descriptionFile = QStringLiteral("menu.xml");
const QString spumuxOutput = QStringLiteral("menu-spumux.mpg");

QByteArray spumuxDescription(const std::vector<DVDFrameButton> &buttons)
{
    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartElement(QStringLiteral("subpictures"));
    w.writeStartElement(QStringLiteral("stream"));
    w.writeStartElement(QStringLiteral("spu"));
    w.writeAttribute(QStringLiteral("start"), QStringLiteral("00:00:00.00"));
    w.writeAttribute(QStringLiteral("force"), QStringLiteral("yes"));
    w.writeAttribute(QStringLiteral("image"), imageFile);
    w.writeAttribute(QStringLiteral("highlight"), highlightFile);
    w.writeAttribute(QStringLiteral("select"), selectFile);
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

bool DVDMenuMake::start()
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
    const QString output = work.filePath(spumuxOutput);
    // The scratch files go whatever happens; only the menu file stays.
    const std::unique_ptr<const QDir, std::function<void(const QDir *)>> scratch(&work, [&](const QDir *folder) {
        for (const auto &layer : layers)
            QFile::remove(folder->filePath(layer.first));
        QFile::remove(folder->filePath(descriptionFile));
        QFile::remove(output);
    });
    for (const auto &[file, name] : layers) {
        if (!m_generator->layerImage(name).save(work.filePath(file), "PNG"))
            return p_fail(QStringLiteral("Cannot write %1").arg(work.filePath(file)));
    }
    if (!DVDToolFiles::writeFile(work.filePath(descriptionFile), spumuxDescription(buttons), &error))
        return p_fail(error);

    QFile::remove(output);
    DVDToolProcess::Request request;
    request.program = QStringLiteral("spumux");
    request.arguments = {QStringLiteral("-m"), QStringLiteral("dvd"), QStringLiteral("-s"), QStringLiteral("0"),
                         descriptionFile};
    request.workFolder = m_work;
    request.environment = DVDToolFiles::toolEnvironment(m_dvd->format());
    request.inputFile = m_video;
    request.outputFile = output;
    const bool ran = m_tool.run(request);
    bool ok = ran && DVDToolFiles::isNonEmptyFile(output);
    if (ran && !ok)
        p_fail(QStringLiteral("spumux wrote no menu"));
    if (ok && !DVDToolFiles::replaceFile(output, m_path, &error))
        ok = p_fail(error);
    m_finished = ok;
    return ok;
}

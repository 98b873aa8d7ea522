#include "Frameworks/Trevanel/DVDFSMake.h"

#include "Platform/Foundation/HLJob.h"

#include "Frameworks/Trevanel/DVDAuthorProgress.h"
#include "Frameworks/Trevanel/DVDChapterStarts.h"
#include "Frameworks/Trevanel/DVDChapterVideoProtocol.h"
#include "Frameworks/Trevanel/DVDMenuElement.h"
#include "Frameworks/Trevanel/DVDMenuPage.h"
#include "Frameworks/Trevanel/DVDTitleVideoProtocol.h"
#include "Frameworks/Trevanel/DVDToolFiles.h"
#include "Frameworks/Trevanel/Trevanel.h"

#include <QDir>
#include <QFileInfo>
#include <QXmlStreamWriter>

#include <cmath>
#include <utility>

namespace {

const QString descriptionFile = QStringLiteral("dvd.xml");

QString titleFile(size_t i)
{
    return QStringLiteral("title%1.dvd").arg(i);
}

QString menuFile(size_t i)
{
    return QStringLiteral("menu%1.dvd").arg(i);
}

QString timeText(double seconds)
{
    const qint64 ms = qint64(std::llround(seconds * 1000));
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000)
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

// The chapter marks of a title as the authoring tool reads them.
QString marksText(const DVDChapterStarts &starts)
{
    QStringList marks;
    for (size_t i = 0; i < starts.frames.size(); ++i)
        marks << timeText(i == 0 ? 0.0 : starts.markSeconds(i));
    return marks.join(QLatin1Char(','));
}

void writeVideo(QXmlStreamWriter &w, const Trevanel &dvd)
{
    w.writeStartElement(QStringLiteral("video"));
    w.writeAttribute(QStringLiteral("format"), dvd.format() == Trevanel::PAL ? QStringLiteral("pal") : QStringLiteral("ntsc"));
    if (dvd.aspectType() == 1) {
        w.writeAttribute(QStringLiteral("aspect"), QStringLiteral("16:9"));
        w.writeAttribute(QStringLiteral("widescreen"), QStringLiteral("nopanscan"));
    } else {
        w.writeAttribute(QStringLiteral("aspect"), QStringLiteral("4:3"));
    }
    w.writeEndElement();
}

} // namespace

void DVDFSMake::dvd(std::shared_ptr<Trevanel> dvd, const QString &work)
{
    m_dvd = std::move(dvd);
    m_work = work;
}

QString DVDFSMake::errorString() const
{
    return m_error.isEmpty() ? m_tool.errorString() : m_error;
}

bool DVDFSMake::p_fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    return false;
}

QByteArray DVDFSMake::authorDescription(const Trevanel &dvd, QString *error)
{
    const auto titles = dvd.titles();
    const auto menus = dvd.noMenu() ? std::vector<std::shared_ptr<DVDMenuPage>>() : dvd.menus();
    if (titles.empty()) {
        *error = QStringLiteral("The disc has no titles.");
        return {};
    }
    const auto [frameTime, frameRate] = dvd.dvdVideoTimebase();
    std::vector<DVDChapterStarts> marks;
    for (const auto &title : titles)
        marks.push_back(DVDChapterStarts::of(title ? title->chapters() : std::vector<std::shared_ptr<DVDChapterVideoProtocol>>(),
                                             qint64(frameTime), qint64(frameRate)));

    // "jump title t chapter c" for the chapter a button plays.
    auto jumpOf = [&](const std::shared_ptr<DVDMenuElement> &item) {
        const auto target = item ? item->jump() : nullptr;
        for (size_t t = 0; target && t < titles.size(); ++t) {
            const auto chapters = titles[t] ? titles[t]->chapters() : std::vector<std::shared_ptr<DVDChapterVideoProtocol>>();
            for (size_t c = 0; c < chapters.size(); ++c) {
                if (chapters[c] == target)
                    return QStringLiteral("jump title %1 chapter %2;").arg(t + 1).arg(marks[t].numberOf[c]);
            }
        }
        return QStringLiteral("jump title 1;");
    };

    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartElement(QStringLiteral("dvdauthor"));
    w.writeAttribute(QStringLiteral("dest"), folderName());
    w.writeStartElement(QStringLiteral("vmgm"));
    w.writeTextElement(QStringLiteral("fpc"), !menus.empty() && !dvd.playFirstTitle() ? QStringLiteral("jump titleset 1 menu;")
                                                                                    : QStringLiteral("jump title 1;"));
    w.writeEndElement();

    w.writeStartElement(QStringLiteral("titleset"));
    if (!menus.empty()) {
        w.writeStartElement(QStringLiteral("menus"));
        writeVideo(w, dvd);
        if (dvd.aspectType() == 1) {
            // The menu file carries the buttons for 16:9 sets as stream 0 and letterboxed for
            // 4:3 sets as stream 1.
            w.writeStartElement(QStringLiteral("subpicture"));
            for (const auto &[id, mode] : {std::pair{"0", "widescreen"}, std::pair{"1", "letterbox"}}) {
                w.writeStartElement(QStringLiteral("stream"));
                w.writeAttribute(QStringLiteral("id"), QString::fromLatin1(id));
                w.writeAttribute(QStringLiteral("mode"), QString::fromLatin1(mode));
                w.writeEndElement();
            }
            w.writeEndElement();
        }
        for (size_t m = 0; m < menus.size(); ++m) {
            w.writeStartElement(QStringLiteral("pgc"));
            if (m == 0)
                w.writeAttribute(QStringLiteral("entry"), QStringLiteral("root"));
            int index = 0;
            for (const auto &item : menus[m] ? menus[m]->items() : std::vector<std::shared_ptr<DVDMenuElement>>()) {
                if (!item || !item->isValid() || item->isStaticItem())
                    continue;
                w.writeStartElement(QStringLiteral("button"));
                w.writeAttribute(QStringLiteral("name"), QStringLiteral("b%1").arg(index++));
                w.writeCharacters(jumpOf(item));
                w.writeEndElement();
            }
            w.writeStartElement(QStringLiteral("vob"));
            w.writeAttribute(QStringLiteral("file"), menuFile(m));
            if (!dvd.menuLoop())
                w.writeAttribute(QStringLiteral("pause"), QStringLiteral("inf"));
            w.writeEndElement();
            if (dvd.menuLoop())
                w.writeTextElement(QStringLiteral("post"), QStringLiteral("jump cell 1;"));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeStartElement(QStringLiteral("titles"));
    writeVideo(w, dvd);
    for (size_t t = 0; t < titles.size(); ++t) {
        const bool last = t + 1 == titles.size();
        QString post;
        if (dvd.loopVideo())
            post = QStringLiteral("jump title %1;").arg(last ? 1 : t + 2);
        else if (!menus.empty())
            post = QStringLiteral("call menu;");
        else if (dvd.playTitleSequence() && !last)
            post = QStringLiteral("jump title %1;").arg(t + 2);
        else
            post = QStringLiteral("exit;");
        w.writeStartElement(QStringLiteral("pgc"));
        w.writeStartElement(QStringLiteral("vob"));
        w.writeAttribute(QStringLiteral("file"), titleFile(t));
        w.writeAttribute(QStringLiteral("chapters"), marksText(marks[t]));
        w.writeEndElement();
        w.writeTextElement(QStringLiteral("post"), post);
        w.writeEndElement();
    }
    w.writeEndDocument();
    return xml;
}

bool DVDFSMake::start(HLJobState &state)
{
    if (!m_dvd)
        return p_fail(QStringLiteral("No disc to write"));
    const QDir work(m_work);
    // dvdauthor would write over whatever is there, mixing an old disc into the new one.
    if (QFileInfo::exists(work.filePath(folderName())))
        return p_fail(QStringLiteral("%1 is already there").arg(work.filePath(folderName())));
    QString error;
    const QByteArray description = authorDescription(*m_dvd, &error);
    if (description.isEmpty())
        return p_fail(error);
    double totalMB = 0;
    const size_t menuCount = m_dvd->noMenu() ? 0 : m_dvd->menus().size();
    for (size_t i = 0; i < m_dvd->titles().size() + menuCount; ++i) {
        const QString file = work.filePath(i < m_dvd->titles().size() ? titleFile(i) : menuFile(i - m_dvd->titles().size()));
        if (!DVDToolFiles::isNonEmptyFile(file))
            return p_fail(QStringLiteral("%1 is missing").arg(file));
        totalMB += QFileInfo(file).size() / 1048576.0;
    }
    if (!DVDToolFiles::writeFile(work.filePath(descriptionFile), description, &error))
        return p_fail(error);

    DVDToolProcess::Request request;
    request.program = QStringLiteral("dvdauthor");
    request.arguments = {QStringLiteral("-x"), descriptionFile};
    request.workFolder = m_work;
    request.environment = DVDToolFiles::toolEnvironment(m_dvd->format());
    DVDAuthorProgress reading(totalMB);
    const bool ran = m_tool.run(request, [&](const QString &line) {
        if (const auto p = reading.read(line))
            state.setProgress(*p);
    }, &state.cancelToken());
    QFile::remove(work.filePath(descriptionFile));
    if (!ran)
        return false;
    if (!DVDToolFiles::isNonEmptyFile(work.filePath(folderName() + QStringLiteral("/VIDEO_TS/VIDEO_TS.IFO"))))
        return p_fail(QStringLiteral("dvdauthor wrote no DVD folder"));
    state.setProgress(1.0);
    return true;
}

#include "tests/dvd/DVDReadSummary.h"

#include <QFile>

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/nav_read.h>

#include <algorithm>
#include <cmath>

namespace {

// Bits start..start−count+1 of a command, bit 63 the first bit of its first byte.
int bitsOf(const vm_cmd_t &cmd, int start, int count)
{
    quint64 value = 0;
    for (int i = 0; i < 8; ++i)
        value = (value << 8) | cmd.bytes[i];
    return int((value >> (start - count + 1)) & ((1ull << count) - 1));
}

// Link and jump commands (group 3, or 2 for links): which title or chapter they play.
QString kindOf(const vm_cmd_t &cmd, DVDReadSummary::Button *button)
{
    const int group = cmd.bytes[0] >> 5;
    if (group != 1)
        return QStringLiteral("other %1").arg(cmd.bytes[0], 2, 16, QLatin1Char('0'));
    switch (cmd.bytes[1] & 0x0f) {
    case 2: // JumpTT
        *button = {bitsOf(cmd, 22, 7), 1};
        return QStringLiteral("title");
    case 3: // JumpVTS_TT
        *button = {bitsOf(cmd, 22, 7), 1};
        return QStringLiteral("title");
    case 5: // JumpVTS_PTT
        *button = {bitsOf(cmd, 22, 7), bitsOf(cmd, 41, 10)};
        return QStringLiteral("title");
    case 6: // JumpSS
    case 8: // CallSS
        return QStringLiteral("menu");
    default:
        return QStringLiteral("jump %1").arg(cmd.bytes[1] & 0x0f);
    }
}

QColor colorOf(quint32 ycrcb, int contrast)
{
    const double y = (ycrcb >> 16) & 0xff;
    const double cr = ((ycrcb >> 8) & 0xff) - 128.0;
    const double cb = (ycrcb & 0xff) - 128.0;
    auto clamp = [](double v) { return std::clamp(int(std::lround(v)), 0, 255); };
    QColor c(clamp(1.164 * (y - 16) + 1.596 * cr), clamp(1.164 * (y - 16) - 0.813 * cr - 0.391 * cb),
             clamp(1.164 * (y - 16) + 2.018 * cb));
    c.setAlphaF(contrast / 15.0f);
    return c;
}

// The pattern pixels' colour of one button colour entry: four colour numbers (emphasis 2,
// emphasis 1, pattern, background), then their four contrasts.
QColor entryColor(quint32 coli, const pgc_t &pgc)
{
    const int index = (coli >> 20) & 0x0f;
    const int contrast = (coli >> 4) & 0x0f;
    return colorOf(pgc.palette[index], contrast);
}

void readMenu(dvd_reader_t *dvd, ifo_handle_t *vts, DVDReadSummary &summary)
{
    if (!vts->pgci_ut || vts->pgci_ut->nr_of_lus == 0)
        return;
    const pgcit_t *pgcit = vts->pgci_ut->lu[0].pgcit;
    if (!pgcit || pgcit->nr_of_pgci_srp == 0)
        return;
    summary.hasMenu = true;
    summary.menuAspect = vts->vtsi_mat->vtsm_video_attr.display_aspect_ratio;
    const pgc_t *pgc = pgcit->pgci_srp[0].pgc;
    summary.menuSubpictureControl = pgc->subp_control[0];
    dvd_file_t *file = DVDOpenFile(dvd, 1, DVD_READ_MENU_VOBS);
    if (!file)
        return;
    unsigned char block[DVD_VIDEO_LB_LEN];
    for (int sector = 0; sector < 64; ++sector) {
        if (DVDReadBlocks(file, sector, 1, block) != 1)
            break;
        // A navigation pack: the PCI packet follows the system header.
        if (block[0x26] != 0 || block[0x27] != 0 || block[0x28] != 1 || block[0x29] != 0xbf)
            continue;
        pci_t pci;
        navRead_PCI(&pci, block + 0x2d);
        const int count = pci.hli.hl_gi.btn_ns;
        summary.buttonGroups = pci.hli.hl_gi.btngr_ns;
        if (count == 0)
            continue;
        for (int i = 0; i < count; ++i) {
            DVDReadSummary::Button button;
            kindOf(pci.hli.btnit[i].cmd, &button);
            summary.buttons.push_back(button);
        }
        const int group = std::max(1, int(pci.hli.btnit[0].btn_coln)) - 1;
        summary.highlightColor = entryColor(pci.hli.btn_colit.btn_coli[group][0], *pgc);
        summary.selectColor = entryColor(pci.hli.btn_colit.btn_coli[group][1], *pgc);
        break;
    }
    DVDCloseFile(file);
}

int fromBcd(uint8_t value)
{
    return (value >> 4) * 10 + (value & 0x0f);
}

// The cell's length in seconds, and the frame rate its time code counts in.
double secondsOf(const dvd_time_t &time, double *rate)
{
    *rate = (time.frame_u >> 6) == 1 ? 25.0 : 30000.0 / 1001.0;
    const double frames = fromBcd(time.frame_u & 0x3f);
    return fromBcd(time.hour) * 3600.0 + fromBcd(time.minute) * 60.0 + fromBcd(time.second) + frames / std::round(*rate);
}

void readTitle(ifo_handle_t *vts, DVDReadSummary &summary)
{
    const video_attr_t &video = vts->vtsi_mat->vts_video_attr;
    summary.pictureHeight = video.video_format == 0 ? 480 : 576;
    const int widths[] = {720, 704, 352, 352};
    summary.pictureWidth = widths[video.picture_size & 3];
    if (!vts->vts_ptt_srpt || vts->vts_ptt_srpt->nr_of_srpts < 1 || !vts->vts_pgcit)
        return;
    const ttu_t &title = vts->vts_ptt_srpt->title[0];
    for (int i = 0; i < title.nr_of_ptts; ++i) {
        const int pgcn = title.ptt[i].pgcn;
        if (pgcn < 1 || pgcn > vts->vts_pgcit->nr_of_pgci_srp)
            return;
        const pgc_t *pgc = vts->vts_pgcit->pgci_srp[pgcn - 1].pgc;
        const int entryCell = pgc->program_map[title.ptt[i].pgn - 1];
        double start = 0;
        for (int cell = 1; cell < entryCell; ++cell)
            start += secondsOf(pgc->cell_playback[cell - 1].playback_time, &summary.frameRate);
        if (pgc->nr_of_cells > 0)
            secondsOf(pgc->cell_playback[0].playback_time, &summary.frameRate);
        summary.chapterStarts.push_back(start);
    }
}

} // namespace

DVDReadSummary DVDReadSummary::of(const QString &path)
{
    DVDReadSummary summary;
    dvd_reader_t *dvd = DVDOpen(QFile::encodeName(path).constData());
    if (!dvd)
        return summary;
    ifo_handle_t *vmg = ifoOpen(dvd, 0);
    if (vmg && vmg->tt_srpt) {
        summary.opened = true;
        summary.titleCount = vmg->tt_srpt->nr_of_srpts;
        for (int i = 0; i < summary.titleCount; ++i)
            summary.chapters.push_back(vmg->tt_srpt->title[i].nr_of_ptts);
        if (vmg->first_play_pgc && vmg->first_play_pgc->command_tbl) {
            const pgc_command_tbl_t *commands = vmg->first_play_pgc->command_tbl;
            for (int i = 0; i < commands->nr_of_pre; ++i) {
                DVDReadSummary::Button ignored;
                const QString kind = kindOf(commands->pre_cmds[i], &ignored);
                if (kind == QLatin1String("title") || kind == QLatin1String("menu"))
                    summary.firstPlay = kind;
            }
        }
        ifo_handle_t *vts = ifoOpen(dvd, 1);
        if (vts) {
            summary.aspect = vts->vtsi_mat->vts_video_attr.display_aspect_ratio;
            summary.videoFormat = vts->vtsi_mat->vts_video_attr.video_format;
            readMenu(dvd, vts, summary);
            readTitle(vts, summary);
            ifoClose(vts);
        }
    }
    if (vmg)
        ifoClose(vmg);
    DVDClose(dvd);
    return summary;
}

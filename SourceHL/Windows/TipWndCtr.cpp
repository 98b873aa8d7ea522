#include "SourceHL/Windows/TipWndCtr.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// Where the program is rated: its page in the desktop's software centre.
const char *const kStoreLink = "appstream://slideshow.desktop";
} // namespace

TipWndCtr::TipWndCtr(QObject *parent) : QObject(parent)
{
}

TipWndCtr::~TipWndCtr()
{
    delete m_window;
}

void TipWndCtr::showRateApplicationWindow()
{
    // Deliberately nothing: the prompt is never opened and its values are left alone.
}

qint32 TipWndCtr::usedCount()
{
    return preferenceValueForKey(kUsedCountKey, 0).toInt();
}

void TipWndCtr::setUsedCount(qint32 count)
{
    setPreferenceValue(count, kUsedCountKey);
}

qint32 TipWndCtr::nonotShowRate()
{
    return preferenceValueForKey(kDonotShowKey, 0).toInt();
}

QVariant TipWndCtr::preferenceValueForKey(const QString &key, const QVariant &fallback)
{
    return QSettings().value(key, fallback);
}

void TipWndCtr::setPreferenceValue(const QVariant &value, const QString &key)
{
    QSettings().setValue(key, value);
}

QDialog *TipWndCtr::window()
{
    if (!m_window)
        p_loadWindow();
    return m_window;
}

void TipWndCtr::p_loadWindow()
{
    m_window = new QDialog;
    m_window->setWindowTitle(tr("Rate Slideshow"));
    m_window->setWindowFlag(Qt::WindowStaysOnTopHint);
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(0.7, 0.7, 0.7, 1));
    palette.setColor(QPalette::WindowText, Qt::black);
    m_window->setPalette(palette);
    m_window->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(14);
    auto *headline = new QLabel(tr("Enjoying Slideshow?"), m_window);
    QFont bold = headline->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    headline->setFont(bold);
    layout->addWidget(headline);
    auto *text = new QLabel(tr("If you like making movies with it, please take a moment to rate it. Thank you for your "
                               "support!"),
                            m_window);
    text->setWordWrap(true);
    text->setMinimumWidth(340);
    layout->addWidget(text);
    m_chkDonotShow = new QCheckBox(tr("Don't ask me again"), m_window);
    m_chkDonotShow->setChecked(nonotShowRate() != 0);
    layout->addWidget(m_chkDonotShow);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *no = new QPushButton(tr("No, Thanks"), m_window);
    auto *yes = new QPushButton(tr("Rate It Now"), m_window);
    yes->setDefault(true);
    buttons->addWidget(no);
    buttons->addWidget(yes);
    layout->addLayout(buttons);
    connect(no, &QPushButton::clicked, this, &TipWndCtr::noThanks);
    connect(yes, &QPushButton::clicked, this, &TipWndCtr::yesRateIt);
    connect(m_chkDonotShow, &QCheckBox::stateChanged, this, &TipWndCtr::donotShowRateWindow);
}

void TipWndCtr::yesRateIt()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kStoreLink)));
    window()->close();
}

void TipWndCtr::noThanks()
{
    window()->close();
}

void TipWndCtr::donotShowRateWindow(int state)
{
    setPreferenceValue(state == Qt::Unchecked ? 0 : 1, kDonotShowKey);
}

#include "SourceHL/Windows/TipWndCtr.h"

#include "SourceHL/Windows/HLUISortBottomView.h"

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
    m_window->setPalette(palette);
    m_window->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *body = new QWidget(m_window);
    QPalette dark = body->palette();
    dark.setColor(QPalette::WindowText, Qt::black);
    body->setPalette(dark);
    auto *text = new QVBoxLayout(body);
    text->setContentsMargins(24, 20, 24, 18);
    text->setSpacing(10);
    auto *headline = new QLabel(tr("Enjoying Slideshow?"), body);
    QFont bold = headline->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    headline->setFont(bold);
    text->addWidget(headline);
    auto *invitation = new QLabel(
        tr("If you like making movies with it, please take a moment to rate it. Thank you for your support!"), body);
    invitation->setWordWrap(true);
    invitation->setMinimumWidth(360);
    text->addWidget(invitation);
    layout->addWidget(body);
    // The controls sit on the program's dark bar, where its white titles read.
    auto *bar = new HLUISortBottomView(m_window);
    auto *controls = new QHBoxLayout(bar);
    controls->setContentsMargins(16, 10, 16, 10);
    m_chkDonotShow = new QCheckBox(tr("Don't ask me again"), bar);
    m_chkDonotShow->setChecked(nonotShowRate() != 0);
    controls->addWidget(m_chkDonotShow);
    controls->addStretch();
    auto *no = new QPushButton(tr("No, Thanks"), bar);
    auto *yes = new QPushButton(tr("Rate It Now"), bar);
    yes->setDefault(true);
    controls->addWidget(no);
    controls->addWidget(yes);
    layout->addWidget(bar);
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

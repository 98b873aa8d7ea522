#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class QCheckBox;
class QDialog;

// The invitation to rate the program, with its two stored values: the use counter and the
// do-not-show flag. The export side calls showRateApplicationWindow after a burned disc and
// after a revealed movie; it shows nothing and leaves both values as they are.
class TipWndCtr : public QObject
{
    Q_OBJECT
public:
    static inline const QString kUsedCountKey = QStringLiteral("UsedTheAppCount5");
    static inline const QString kDonotShowKey = QStringLiteral("DonotShowRateApp5");

    explicit TipWndCtr(QObject *parent = nullptr);
    ~TipWndCtr() override;

    static void showRateApplicationWindow();
    static qint32 usedCount();
    static void setUsedCount(qint32 count);
    static qint32 nonotShowRate();
    static QVariant preferenceValueForKey(const QString &key, const QVariant &fallback);
    static void setPreferenceValue(const QVariant &value, const QString &key);

    // The window, made on first use.
    QDialog *window();
    QCheckBox *chkDonotShow() const { return m_chkDonotShow; }
    void yesRateIt();
    void noThanks();
    void donotShowRateWindow(int state);

private:
    void p_loadWindow();

    QDialog *m_window = nullptr;
    QCheckBox *m_chkDonotShow = nullptr;
};

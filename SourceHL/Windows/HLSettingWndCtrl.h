#pragma once

#include <QObject>

#include <functional>

class QComboBox;
class QDialog;
class QPushButton;

// The settings dialog: how many photos and videos a new slideshow item takes (0: no limit)
// and how the music line plays. It changes nothing itself; Apply reports the chosen values.
class HLSettingWndCtrl : public QObject
{
    Q_OBJECT
public:
    using Feedback = std::function<void(quint64 mode, qint64 type)>;

    explicit HLSettingWndCtrl(QObject *parent = nullptr);
    ~HLSettingWndCtrl() override;

    void setup(Feedback feedback) { m_blkFeedback = std::move(feedback); }
    // Shows the values and runs the dialog modally; returns when it has closed.
    void editMode(quint64 mode, qint64 type);
    // editMode's first half: the values shown, the dialog up without a loop of its own.
    void open(quint64 mode, qint64 type);
    // Closes, then reports the chosen values.
    void apply();
    void cancel();

    QDialog *window();
    QComboBox *ppBtnMode() const { return m_ppBtnMode; }
    QComboBox *ppBtnType() const { return m_ppBtnType; }
    QPushButton *btnApply() const { return m_btnApply; }

private:
    void p_loadWindow();

    QDialog *m_window = nullptr;
    QComboBox *m_ppBtnMode = nullptr;
    QComboBox *m_ppBtnType = nullptr;
    QPushButton *m_btnApply = nullptr;
    Feedback m_blkFeedback;
};

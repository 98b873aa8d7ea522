#pragma once

#include <QObject>
#include <QSizeF>
#include <QString>

#include <functional>

class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;

// The output-size dialog: nine preset sizes and a custom entry, and the width and height in
// pixels, each held to 30 … 4000. A typed side is checked when its editing ends and again on
// Apply: a refused one goes back to what it was, an alert says why, and the dialog stays open.
// It changes nothing itself; Apply reports the size.
class HLSizeWndCtrl : public QObject
{
    Q_OBJECT
public:
    using Feedback = std::function<void(QSizeF size)>;

    explicit HLSizeWndCtrl(QObject *parent = nullptr);
    ~HLSizeWndCtrl() override;

    void setup(Feedback feedback) { m_blkFeedback = std::move(feedback); }
    // Shows the size and runs the dialog modally; returns when it has closed.
    void editSize(QSizeF size);
    // editSize's first half: the size shown, the dialog up without a loop of its own.
    void open(QSizeF size);
    // The pop-up: a preset fills the fields; the custom entry leaves them.
    void size(int index);
    // Closes and reports the fields' size, once both sides pass.
    void apply();
    void cancel();

    QDialog *window();
    QLineEdit *edtWidth() const { return m_edtWidth; }
    QLineEdit *edtHeight() const { return m_edtHeight; }
    QComboBox *ppBtnSize() const { return m_ppBtnSize; }
    // The pop-up's index of the custom entry.
    int customIndex() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void p_loadWindow();
    void p_updateUITextField(QSizeF size);
    void p_updateUIPopupButton(QSizeF size);
    // The end of a field's editing; false when its text was refused.
    bool p_endEditing(QLineEdit *field);
    static void p_alert(const QString &text);

    QDialog *m_window = nullptr;
    QLineEdit *m_edtWidth = nullptr;
    QLineEdit *m_edtHeight = nullptr;
    QComboBox *m_ppBtnSize = nullptr;
    Feedback m_blkFeedback;
    QLineEdit *m_editing = nullptr;
    QString m_strTempStringValue;
    // The last accepted text of each field, for a refusal on Apply with no editing under way.
    QString m_strAcceptedWidth;
    QString m_strAcceptedHeight;
};

#pragma once

// What the end-to-end tests do in the program's own windows: answer a file panel, choose in
// a menu button, type into a field, and read back the movie made.
#include "tests/support/ChildProcess.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// Answers the next file panel that comes up: the files typed into its name field (quoted
// when there are several), then its accept button. Keeps the panel's accept label.
class PanelAnswer
{
public:
    explicit PanelAnswer(const QStringList &files)
    {
        QStringList typed;
        for (const QString &file : files)
            typed << (files.size() > 1 ? QLatin1Char('"') + file + QLatin1Char('"') : file);
        m_typed = typed.join(QLatin1Char(' '));
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { p_answer(); });
        m_timer.start();
    }

    bool answered() const { return !m_acceptLabel.isNull(); }
    QString acceptLabel() const { return m_acceptLabel; }

private:
    void p_answer()
    {
        auto *panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!panel || !panel->isVisible())
            return;
        m_timer.stop();
        m_acceptLabel = panel->labelText(QFileDialog::Accept);
        panel->findChild<QLineEdit *>()->setText(m_typed);
        static_cast<QDialog *>(panel)->accept(); // QFileDialog::accept, which checks the typed name
    }

    QString m_typed;
    QString m_acceptLabel;
    QTimer m_timer;
};

inline void choose(QComboBox *box, const QString &title)
{
    const int index = box->findText(title);
    ASSERT_GE(index, 0) << title.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

inline void typeInto(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// What ffprobe says of the movie: one line per stream, "codec,type,duration,frames".
inline QStringList probe(const QString &path)
{
    const ChildProcess run = ChildProcess::run(
        QStringLiteral("ffprobe"),
        {"-v", "error", "-count_frames", "-show_entries", "stream=codec_type,codec_name,nb_read_frames,duration", "-of",
         "csv=p=0", path},
        true);
    return QString::fromUtf8(run.output).split('\n', Qt::SkipEmptyParts);
}


#pragma once

#include <QFileDialog>
#include <QFileIconProvider>
#include <QString>

// The open and save panels of projects. A package is a folder, but to the user it is one
// document: it shows as a file and is picked, never entered. Naming an existing package in
// the save panel asks to replace it; a place inside a package is never chosen.
class HLPackagePanel : public QFileDialog
{
    Q_OBJECT
public:
    enum Mode { Open, Save };

    HLPackagePanel(QWidget *parent, Mode mode);
    // The package to open or the path to save to once accepted; empty before.
    QString chosenPath() const { return m_chosen; }

    // Runs a window-modal panel; the chosen path, or empty when the user cancels.
    static QString run(QWidget *window, Mode mode);

public slots:
    void accept() override;

private:
    class Icons : public QFileIconProvider
    {
    public:
        using QFileIconProvider::icon;
        QIcon icon(const QFileInfo &info) const override;
        QString type(const QFileInfo &info) const override;
    };

    // A package entered by a double-click or a jump is picked instead.
    void p_entered(const QString &directory);
    bool p_mayReplace(const QString &package);
    void p_choose(const QString &path);

    Mode m_mode;
    QString m_chosen;
    Icons m_icons;
};

#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class AmbrelleMediaModel;
class AmbrelleThumbnailer;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;

// The media browser pane: the photos and clips of the user's Pictures and Videos folders as
// thumbnails. The user picks files with a double click or Add, or drags them into the
// program; picks are reported through the feedback block on the main thread, in the order
// the pane shows them.
class Ambrelle : public QObject
{
    Q_OBJECT
public:
    using Feedback = std::function<void(const QStringList &paths)>;
    // A source the pane offers: its name and its folder.
    using Source = std::pair<QString, QString>;

    explicit Ambrelle(QObject *parent = nullptr);
    ~Ambrelle() override;

    // The pane; the owner places it.
    QWidget *view() const { return m_view; }
    void setupFeedback(Feedback feedback) { m_blkFeedback = std::move(feedback); }

    // The user's Pictures and Videos folders (XDG), where they exist.
    static QList<Source> defaultSources();
    void setSources(const QList<Source> &sources);
    // Shows the source at index.
    void chooseSource(int index);

    AmbrelleMediaModel &model() const { return *m_model; }
    AmbrelleThumbnailer &thumbnailer() const { return *m_thumbnailer; }
    QListView *vList() const { return m_vList; }
    QPushButton *btnAdd() const { return m_btnAdd; }

    // Reports the chosen files.
    void p_feedbackChosen();

private:
    void p_updateState();

    AmbrelleThumbnailer *m_thumbnailer = nullptr;
    AmbrelleMediaModel *m_model = nullptr;
    QPointer<QWidget> m_view;
    QComboBox *m_ppBtnSource = nullptr;
    QListView *m_vList = nullptr;
    QLabel *m_lblEmpty = nullptr;
    QPushButton *m_btnAdd = nullptr;
    QList<Source> m_sources;
    Feedback m_blkFeedback;
};

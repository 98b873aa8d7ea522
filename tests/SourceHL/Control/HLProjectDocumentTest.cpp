#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLPackagePanel.h"
#include "SourceHL/Control/HLProjectDocument.h"
#include "SourceHL/Model/Package/HLPackageError.h"
#include "SourceHL/Model/Package/HLProjectPackage.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/AlertAnswers.h"
#include "tests/support/SampleProject.h"
#include "tests/support/TestProject.h"
#include "widgets/HLUIWindowTitleView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

constexpr int kHangGuardMs = 60000;

QMap<QString, QByteArray> treeOf(const QString &folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            tree.insert(path, file.readAll());
        else
            tree.insert(path + "/", {});
    }
    return tree;
}

// Answers the project panels as a user would: the first panel gets name typed into its field
// and accepted; a panel still up after that (it walked into a folder) is cancelled and
// counted; each alert is answered with its button of that title.
class PanelUser
{
public:
    PanelUser(QString name, QString button) : m_name(std::move(name)), m_button(std::move(button))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { p_answer(); });
        m_timer.start(1);
    }
    int panelsLeftOpen() const { return m_leftOpen; }
    const QStringList &alerts() const { return m_alerts; }

private:
    void p_answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *alert = qobject_cast<QMessageBox *>(modal); alert && alert->isVisible()) {
            m_alerts << alert->text();
            for (QAbstractButton *button : alert->buttons()) {
                if (button->text() == m_button) {
                    button->click();
                    return;
                }
            }
            alert->reject();
        } else if (auto *panel = qobject_cast<QFileDialog *>(modal); panel && panel->isVisible()) {
            if (m_typed) {
                ++m_leftOpen;
                panel->reject();
                return;
            }
            m_typed = true;
            panel->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(m_name);
            // From the event loop: the replace question runs inside accept, and this timer
            // does not fire again while its own handler runs.
            QMetaObject::invokeMethod(panel, [panel] { static_cast<QDialog *>(panel)->accept(); },
                                      Qt::QueuedConnection);
        }
    }

    QString m_name;
    QString m_button;
    bool m_typed = false;
    int m_leftOpen = 0;
    QStringList m_alerts;
    QTimer m_timer;
};

// Folders inside the package whose names are packages' names: nested projects.
QStringList nestedPackages(const QString &package)
{
    QStringList nested;
    QDirIterator it(package, {QStringLiteral("*.qlbyprj")}, QDir::AllEntries | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        nested << it.next();
    return nested;
}

class HLProjectDocumentTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-document"));
    }
    void SetUp() override
    {
        TestProject::setUpPools(media);
        original = SampleProject::make(media, QStringLiteral("Dissolve"));
        ASSERT_TRUE(original.timeline) << "fixtures could not be made";
        ctrl.replaceProject(original);
        ctrl.setEdited(true);
        document().setTerminate([this] { ++terminated; });
    }
    HLProjectDocument &document() { return ctrl.document(); }
    QString title() const { return ctrl.window()->vWindowTitle->strTitle(); }
    QStringList identifiers() const
    {
        QStringList list;
        for (const auto &item : ctrl.contents().resourceItems())
            list << item->strResourceID();
        return list;
    }
    bool save(const QString &path)
    {
        QSignalSpy finished(&document(), &HLProjectDocument::saveFinished);
        document().p_saveProjectTo(path);
        return finished.wait(kHangGuardMs) && finished.first().first().toBool();
    }
    bool open(const QString &path)
    {
        QSignalSpy finished(&document(), &HLProjectDocument::openFinished);
        document().p_openProjectFrom(path);
        return finished.wait(kHangGuardMs) && finished.first().first().toBool();
    }
    static HLProjectPackage::WriteHooks failingSwap()
    {
        HLProjectPackage::WriteHooks hooks;
        hooks.beforeStep = [](HLProjectPackage::Step step) {
            if (step == HLProjectPackage::Step::Swap)
                throw HLPackageError(QStringLiteral("The disk is full."));
        };
        return hooks;
    }

    TestFolder media;
    TestFolder out;
    HLMainWndCtrl ctrl;
    HLProjectContents original;
    int terminated = 0;
};

TEST_F(HLProjectDocumentTest, SaveNewOpenBringBackTheSameProject)
{
    EXPECT_EQ(title(), "Untitled");
    EXPECT_TRUE(ctrl.window()->isWindowModified());
    const HLProjectContents saved = SampleProject::persistentCopy(original);

    const QString package = out.file("Trip.qlbyprj");
    ASSERT_TRUE(save(package));
    EXPECT_EQ(title(), "Trip");
    EXPECT_EQ(ctrl.window()->windowTitle(), "Trip[*]");
    EXPECT_FALSE(ctrl.window()->isWindowModified());
    EXPECT_EQ(ctrl.strWorkDirectory(), package);
    // The live project now names its media in the package, where they are.
    for (const auto &item : ctrl.contents().resourceItems()) {
        EXPECT_TRUE(item->strResourceID().startsWith(SourceTypeKeyProj));
        EXPECT_TRUE(QFileInfo(item->sourcePath()).isFile()) << item->sourcePath().toStdString();
        EXPECT_TRUE(item->sourcePath().startsWith(package));
    }

    // The preview limit in use carries over into new and opened projects.
    ctrl.oSizer()->setDPreviewLimit(800);
    QSignalSpy replaced(&ctrl, &HLMainWndCtrl::projectReplaced);
    document().p_new();
    EXPECT_EQ(ctrl.oSizer()->dPreviewLimit(), 800);
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(title(), "Untitled");
    EXPECT_TRUE(ctrl.strWorkDirectory().isEmpty());
    EXPECT_TRUE(ctrl.oTimeline()->mtAryItems().isEmpty());
    EXPECT_EQ(ctrl.oSizer()->szRender(), QSizeF(1280, 720));

    ASSERT_TRUE(open(package));
    EXPECT_EQ(replaced.count(), 2);
    EXPECT_EQ(ctrl.oSizer()->dPreviewLimit(), 800);
    EXPECT_TRUE(SampleProject::sameProject(ctrl.contents(), saved));
    EXPECT_EQ(title(), "Trip");
    EXPECT_FALSE(ctrl.window()->isWindowModified());

    // Saved onto itself, then saved as another package.
    ctrl.setEdited(true);
    QSignalSpy finished(&document(), &HLProjectDocument::saveFinished);
    document().p_save();
    ASSERT_TRUE(finished.wait(kHangGuardMs));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_TRUE(SampleProject::sameProject(HLProjectPackage::read(package), saved));
    document().setSavePanel([this](QWidget *) { return out.file("Trip copy"); });
    document().p_saveAs();
    ASSERT_TRUE(finished.wait(kHangGuardMs));
    EXPECT_EQ(ctrl.strWorkDirectory(), out.file("Trip copy.qlbyprj"));
    EXPECT_EQ(title(), "Trip copy");
    EXPECT_TRUE(SampleProject::sameProject(HLProjectPackage::read(out.file("Trip copy.qlbyprj")), saved));
}

// An edit that comes while a save runs is not in the package: the mark stays, and a photo
// added then keeps its session identifier until a save puts its file in the package.
TEST_F(HLProjectDocumentTest, EditsMadeWhileASaveRunsStayMarkedAndUnsaved)
{
    const QString package = out.file("During.qlbyprj");
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString photo = media.file("late.png");
    ASSERT_TRUE(image.save(photo));
    QSignalSpy finished(&document(), &HLProjectDocument::saveFinished);
    document().p_saveProjectTo(package);
    // The save's end is delivered on the main thread, so this edit lands before it.
    QString reason;
    const auto late = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeImage)
                          ->addResourceFrom(photo, HLResourceItem::itemOf, &reason);
    ASSERT_TRUE(late) << reason.toStdString();
    ctrl.gate().perform(HLChange::Structure, [&] { ctrl.oTimeline()->addOutTo({late}, QString()); });
    ASSERT_TRUE(finished.wait(kHangGuardMs));
    ASSERT_TRUE(finished.first().first().toBool());
    EXPECT_TRUE(ctrl.window()->isWindowModified());
    EXPECT_FALSE(late->strResourceID().startsWith(SourceTypeKeyProj));

    // The next save takes the photo in.
    ASSERT_TRUE(save(package));
    EXPECT_FALSE(ctrl.window()->isWindowModified());
    EXPECT_TRUE(late->strResourceID().startsWith(SourceTypeKeyProj));
    EXPECT_TRUE(late->sourcePath().startsWith(package));
}

TEST_F(HLProjectDocumentTest, AFailedSaveChangesNothingAndSaysWhy)
{
    const QString package = out.file("Trip.qlbyprj");
    ASSERT_TRUE(save(package));
    const auto before = treeOf(package);
    ctrl.setEdited(true);
    const auto liveBefore = SampleProject::persistentCopy(ctrl.contents());

    document().setWriteHooks(failingSwap());
    AlertAnswers answers({"OK"});
    EXPECT_FALSE(save(out.file("Other.qlbyprj")));
    ASSERT_EQ(answers.seen().size(), 1);
    EXPECT_EQ(answers.seen()[0].text, "The project could not be saved.");
    EXPECT_EQ(answers.seen()[0].informativeText, "The disk is full.");
    EXPECT_TRUE(ctrl.window()->isWindowModified());
    EXPECT_EQ(ctrl.strWorkDirectory(), package);
    EXPECT_EQ(title(), "Trip");
    EXPECT_FALSE(QFileInfo::exists(out.file("Other.qlbyprj")));
    EXPECT_EQ(treeOf(package), before);
    EXPECT_TRUE(SampleProject::sameProject(ctrl.contents(), liveBefore));

    // A media file gone from an unsaved project: its identifiers stay temporary.
    document().setWriteHooks({});
    AlertAnswers discard({"Don't Save"});
    document().p_new();
    TestProject::setUpPools(media);
    const HLProjectContents fresh = SampleProject::make(media, QStringLiteral("Dissolve"));
    ctrl.replaceProject(fresh);
    ctrl.setEdited(true);
    const QStringList ids = identifiers();
    ASSERT_TRUE(QDir(HLResourcePool::resourceDirOf(ids.first())).removeRecursively());
    AlertAnswers missing({"OK"});
    EXPECT_FALSE(save(out.file("Broken.qlbyprj")));
    ASSERT_EQ(missing.seen().size(), 1);
    EXPECT_TRUE(missing.seen()[0].informativeText.contains("missing")) << missing.seen()[0].informativeText.toStdString();
    EXPECT_EQ(identifiers(), ids);
    EXPECT_FALSE(QFileInfo::exists(out.file("Broken.qlbyprj")));
}

TEST_F(HLProjectDocumentTest, ADamagedPackageIsRefusedAndTheProjectStays)
{
    const QString package = out.file("Trip.qlbyprj");
    ASSERT_TRUE(save(package));
    QFile data(package + "/ProjectData");
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    ASSERT_TRUE(data.resize(data.size() / 2));
    data.close();

    ctrl.setEdited(true);
    const auto timeline = ctrl.oTimeline();
    AlertAnswers answers({"OK"});
    EXPECT_FALSE(open(package));
    ASSERT_EQ(answers.seen().size(), 1);
    EXPECT_EQ(answers.seen()[0].text, "The project could not be opened.");
    EXPECT_TRUE(answers.seen()[0].informativeText.contains("Trip"));
    EXPECT_EQ(ctrl.oTimeline(), timeline);
    EXPECT_EQ(ctrl.strWorkDirectory(), package);
    EXPECT_TRUE(ctrl.window()->isWindowModified());
    for (const auto &item : ctrl.contents().resourceItems())
        EXPECT_TRUE(QFileInfo(item->sourcePath()).isFile());
}

TEST_F(HLProjectDocumentTest, TheQuestionAboutUnsavedChanges)
{
    AlertAnswers answers({"Escape"});
    EXPECT_FALSE(document().p_closeDirtyProject({}, {}, {}));
    ASSERT_EQ(answers.seen().size(), 1);
    EXPECT_EQ(answers.seen()[0].text, "Warning");
    EXPECT_EQ(answers.seen()[0].informativeText, "Do you want to save changes to this project before closing? If you "
                                                 "don’t save, your changes will be lost.");
    QStringList buttons = answers.seen()[0].buttons;
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Cancel", "Don't Save", "Save"}));

    // A clean project goes without a question.
    ctrl.window()->setWindowModified(false);
    EXPECT_TRUE(document().p_closeDirtyProject({}, {}, {}));
}

// New, open, close, a project from the command line and logout, each answered with Save
// (which succeeds or fails), Don't Save and Cancel.
TEST_F(HLProjectDocumentTest, UnsavedChangesBehaveAsExpectedForEveryCommand)
{
    const QString other = out.file("Other.qlbyprj");
    ASSERT_TRUE(save(other));
    const QString package = out.file("Trip.qlbyprj");
    document().setOpenPanel([other](QWidget *) { return other; });

    enum class Command { New, Open, Close, CommandLine, Logout };
    enum class Answer { Save, SaveFails, DontSave, Cancel };
    const char *commandNames[] = {"new", "open", "close", "command line", "logout"};
    const char *answerNames[] = {"save", "failed save", "don't save", "cancel"};
    for (Command command : {Command::New, Command::Open, Command::Close, Command::CommandLine, Command::Logout}) {
        for (Answer answer : {Answer::Save, Answer::SaveFails, Answer::DontSave, Answer::Cancel}) {
            SCOPED_TRACE(std::string(commandNames[int(command)]) + ", " + answerNames[int(answer)]);
            // An edited project saved at package before.
            document().setWriteHooks({});
            ctrl.replaceProject(SampleProject::make(media, QStringLiteral("Dissolve")));
            ASSERT_TRUE(save(package));
            ctrl.setEdited(true);
            ctrl.window()->show(); // closed by an earlier round
            terminated = 0;
            const auto timeline = ctrl.oTimeline();
            const auto packageBefore = treeOf(package);
            if (answer == Answer::SaveFails)
                document().setWriteHooks(failingSwap());

            QStringList replies{answer == Answer::Cancel      ? "Cancel"
                                : answer == Answer::DontSave ? "Don't Save"
                                                             : "Save"};
            if (answer == Answer::SaveFails)
                replies << "OK";
            AlertAnswers answers(replies);
            QSignalSpy saved(&document(), &HLProjectDocument::saveFinished);
            QSignalSpy opened(&document(), &HLProjectDocument::openFinished);
            bool logoutMayEnd = false;
            switch (command) {
            case Command::New: document().p_new(); break;
            case Command::Open: document().p_open(); break;
            case Command::Close: ctrl.window()->close(); break;
            case Command::CommandLine: document().tryToOpen(other); break;
            case Command::Logout: logoutMayEnd = document().sessionMayEnd(true); break;
            }
            const bool saving = answer == Answer::Save || answer == Answer::SaveFails;
            if (saving && saved.isEmpty()) {
                ASSERT_TRUE(saved.wait(kHangGuardMs));
            }
            const bool goesOn = answer == Answer::Save || answer == Answer::DontSave;
            const bool opens = goesOn && (command == Command::Open || command == Command::CommandLine);
            if (opens && opened.isEmpty()) {
                ASSERT_TRUE(opened.wait(kHangGuardMs));
            }
            EXPECT_TRUE(answers.allAnswered());

            if (saving) {
                EXPECT_EQ(saved.first().first().toBool(), answer == Answer::Save);
            }
            if (answer != Answer::Save) {
                EXPECT_EQ(treeOf(package), packageBefore);
            }
            EXPECT_EQ(terminated, goesOn && command == Command::Close ? 1 : 0);
            if (command == Command::Logout) {
                EXPECT_EQ(logoutMayEnd, goesOn);
            }
            const bool replaced = goesOn && command != Command::Close && command != Command::Logout;
            EXPECT_EQ(ctrl.oTimeline() != timeline, replaced);
            if (!goesOn) {
                EXPECT_TRUE(ctrl.window()->isWindowModified());
                EXPECT_EQ(ctrl.strWorkDirectory(), package);
            } else if (command == Command::New) {
                EXPECT_EQ(title(), "Untitled");
            } else if (opens) {
                EXPECT_EQ(ctrl.strWorkDirectory(), other);
                EXPECT_EQ(title(), "Other");
            }
        }
    }
}

TEST_F(HLProjectDocumentTest, ProjectsFromOutsideAreCheckedFirst)
{
    // Not a package: refused before any question.
    AlertAnswers answers({"OK"});
    EXPECT_FALSE(document().tryToOpen(out.file("notes.txt")));
    ASSERT_EQ(answers.seen().size(), 1);
    EXPECT_EQ(answers.seen()[0].text, "“notes.txt” is not a project.");
    EXPECT_TRUE(ctrl.window()->isWindowModified());

    // Refused without a question while the busy sheet is up.
    const QString package = out.file("Trip.qlbyprj");
    QSignalSpy saved(&document(), &HLProjectDocument::saveFinished);
    document().p_saveProjectTo(package);
    EXPECT_TRUE(document().isBusy());
    EXPECT_FALSE(document().tryToOpen(package));
    EXPECT_FALSE(ctrl.window()->close());
    ASSERT_TRUE(saved.wait(kHangGuardMs));

    // A clean project opens at once.
    const auto timeline = ctrl.oTimeline();
    QSignalSpy opened(&document(), &HLProjectDocument::openFinished);
    EXPECT_TRUE(document().tryToOpen(package + "/"));
    ASSERT_TRUE(opened.wait(kHangGuardMs));
    EXPECT_NE(ctrl.oTimeline(), timeline);
    EXPECT_EQ(ctrl.strWorkDirectory(), package);
}

// Save As onto an existing project's name replaces that project through the safe swap; it
// never walks into the package and saves a project inside it.
TEST_F(HLProjectDocumentTest, SaveAsOntoAnExistingProjectReplacesItInsteadOfNestingInIt)
{
    const QString package = out.file("MyShow.qlbyprj");
    ASSERT_TRUE(save(package));
    document().p_new(); // another project, empty, saved as the first one's name
    ASSERT_TRUE(ctrl.strWorkDirectory().isEmpty());

    // Declined: the old package stays as it was and nothing is saved.
    const auto before = treeOf(package);
    {
        PanelUser user(out.file("MyShow"), QStringLiteral("Cancel"));
        QSignalSpy finished(&document(), &HLProjectDocument::saveFinished);
        document().p_saveAs();
        EXPECT_EQ(user.alerts(), QStringList{"“MyShow.qlbyprj” already exists. Do you want to replace it?"});
        EXPECT_EQ(user.panelsLeftOpen(), 1);
        EXPECT_EQ(finished.count(), 0);
        EXPECT_EQ(treeOf(package), before);
    }

    // Replaced.
    PanelUser user(out.file("MyShow"), QStringLiteral("Replace"));
    QSignalSpy finished(&document(), &HLProjectDocument::saveFinished);
    document().p_saveAs();
    ASSERT_TRUE(finished.count() > 0 || finished.wait(kHangGuardMs));
    EXPECT_EQ(user.panelsLeftOpen(), 0);
    EXPECT_EQ(user.alerts(), QStringList{"“MyShow.qlbyprj” already exists. Do you want to replace it?"});
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_EQ(ctrl.strWorkDirectory(), package);
    EXPECT_TRUE(nestedPackages(package).isEmpty()) << qPrintable(nestedPackages(package).join('|'));
    EXPECT_TRUE(HLProjectPackage::read(package).timeline->mtAryItems().isEmpty());
}

// A package is picked, never entered: a double-click on it in the open panel opens it, in
// the save panel names it; a place inside a package is never where a project is saved.
TEST_F(HLProjectDocumentTest, PackagesArePickedAsDocumentsNeverEntered)
{
    const QString package = out.file("MyShow.qlbyprj");
    ASSERT_TRUE(save(package));

    HLPackagePanel opening(ctrl.window(), HLPackagePanel::Open);
    opening.setDirectory(out.path());
    emit opening.directoryEntered(package + "/Images");
    EXPECT_EQ(opening.result(), QDialog::Accepted);
    EXPECT_EQ(opening.chosenPath(), package);

    HLPackagePanel saving(ctrl.window(), HLPackagePanel::Save);
    saving.setDirectory(out.path());
    emit saving.directoryEntered(package);
    EXPECT_EQ(QDir::cleanPath(saving.directory().absolutePath()), QDir::cleanPath(out.path()));
    EXPECT_EQ(saving.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(), "MyShow.qlbyprj");
    EXPECT_NE(saving.result(), QDialog::Accepted);

    // A panel that hands back a place inside a package is refused with the reason.
    document().setSavePanel([package](QWidget *) { return package + "/Untitled"; });
    AlertAnswers answers({"OK"});
    QSignalSpy finished(&document(), &HLProjectDocument::saveFinished);
    document().p_saveAs();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(finished.first().first().toBool());
    ASSERT_EQ(answers.seen().size(), 1);
    EXPECT_EQ(answers.seen()[0].informativeText, "A project cannot be saved inside the project “MyShow”.");
    EXPECT_TRUE(nestedPackages(package).isEmpty());
    EXPECT_EQ(ctrl.strWorkDirectory(), package);
}

} // namespace

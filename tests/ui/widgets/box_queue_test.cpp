// The window's boxes and file dialogs: asked for without waiting, shown one at a time in the order
// asked, each answer handed to its own caller; the program's end answers whatever still waits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/qt_dialogs.h"
#include "ui/widgets/test_application.h"

namespace celes::platform {
namespace {

std::string Text(MessageResult r) {
    switch (r) {
        case MessageResult::Ok:
            return "Ok";
        case MessageResult::Cancel:
            return "Cancel";
        case MessageResult::Yes:
            return "Yes";
        case MessageResult::No:
            return "No";
    }
    return "?";
}

// Records every answer as "name=answer", in the order the answers came.
struct Answers {
    std::vector<std::string> got;
    MessageAnswer box(const std::string& name) {
        return [this, name](MessageResult r) { got.push_back(name + "=" + Text(r)); };
    }
    ChosenPath file(const std::string& name) {
        return [this, name](std::optional<std::string> p) { got.push_back(name + "=" + (p ? *p : "none")); };
    }
};

QMessageBox* ShownBox(QtDialogs& d) {
    return qobject_cast<QMessageBox*>(d.shown());
}

TEST(BoxQueue, BoxesWaitTheirTurnAndEachCallerHearsItsOwnAnswerInOrder) {
    test::EnsureApplication();
    QWidget window;
    QtDialogs dialogs(&window);
    Answers a;
    dialogs.messageBox("first?", "Celes", MessageButtons::YesNo, MessageIcon::Question, a.box("first"));
    dialogs.messageBox("second", "Celes", MessageButtons::Ok, MessageIcon::Warning, a.box("second"));
    dialogs.openFile("celes.dat", "データ(*.dat)|*.dat||", a.file("open"));
    dialogs.messageBox("fourth?", "", MessageButtons::YesNoCancel, MessageIcon::None, a.box("fourth"));
    // Nothing was answered by asking: every call returned with its box waiting.
    EXPECT_TRUE(a.got.empty());
    ASSERT_NE(ShownBox(dialogs), nullptr);
    EXPECT_EQ(ShownBox(dialogs)->text(), QString("first?"));
    EXPECT_TRUE(ShownBox(dialogs)->isVisible());
    EXPECT_EQ(ShownBox(dialogs)->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialogs.waiting(), 3u);

    // An answer may ask again: that box goes to the end of the queue.
    Answers later;
    dialogs.messageBox("asked by yes", "Celes", MessageButtons::OkCancel, MessageIcon::None,
                       later.box("fifth"));
    ShownBox(dialogs)->button(QMessageBox::Yes)->click();
    EXPECT_EQ(a.got, (std::vector<std::string>{"first=Yes"}));
    ASSERT_NE(ShownBox(dialogs), nullptr);
    EXPECT_EQ(ShownBox(dialogs)->text(), QString("second"));

    ShownBox(dialogs)->button(QMessageBox::Ok)->click();
    auto* file = qobject_cast<QFileDialog*>(dialogs.shown());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(file->acceptMode(), QFileDialog::AcceptOpen);
    file->reject();  // cancelled: nothing chosen
    EXPECT_EQ(a.got, (std::vector<std::string>{"first=Yes", "second=Ok", "open=none"}));

    // Closed without a button (the window's close button, Escape): the safe answer.
    ASSERT_NE(ShownBox(dialogs), nullptr);
    EXPECT_EQ(ShownBox(dialogs)->windowTitle(), QString("Celes"));  // an empty caption gets the program's
    ShownBox(dialogs)->button(QMessageBox::No)->click();
    ASSERT_NE(ShownBox(dialogs), nullptr);
    ShownBox(dialogs)->reject();
    EXPECT_EQ(a.got.back(), "fourth=No");
    EXPECT_EQ(later.got, (std::vector<std::string>{"fifth=Cancel"}));
    EXPECT_EQ(dialogs.shown(), nullptr);
    EXPECT_EQ(dialogs.waiting(), 0u);
}

TEST(BoxQueue, SaveDialogProposesTheNameAndHandsBackThePathChosen) {
    test::EnsureApplication();
    QWidget window;
    QtDialogs dialogs(&window);
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "celes_box_queue";
    std::filesystem::create_directories(dir);
    const std::string proposed = (dir / "CelesSCR_1210_2106_5.jpg").string();
    Answers a;
    dialogs.saveFile(proposed, "JPEG (*.jpg)|*.jpg||", a.file("save"));
    auto* file = qobject_cast<QFileDialog*>(dialogs.shown());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(file->directory().absolutePath().toStdString(), dir.string());
    ASSERT_FALSE(file->selectedFiles().isEmpty());
    EXPECT_EQ(file->selectedFiles().first().toStdString(), proposed);
    EXPECT_TRUE(a.got.empty());
    QMetaObject::invokeMethod(file, "accept");  // as the dialog's own Save button does
    EXPECT_EQ(a.got, (std::vector<std::string>{"save=" + proposed}));
    std::filesystem::remove_all(dir);
}

TEST(BoxQueue, EndingAnswersTheShownAndEveryQueuedRequestSafelyAndLaterOnesAtOnce) {
    test::EnsureApplication();
    QWidget window;
    QtDialogs dialogs(&window);
    Answers a;
    dialogs.messageBox("shown?", "Celes", MessageButtons::YesNo, MessageIcon::Question, a.box("shown"));
    dialogs.messageBox("ok?", "Celes", MessageButtons::OkCancel, MessageIcon::None, a.box("okcancel"));
    dialogs.messageBox("note", "Celes", MessageButtons::Ok, MessageIcon::None, a.box("plain"));
    dialogs.saveFile("x.ptx", "Taps|*.ptx||", a.file("save"));
    dialogs.messageBox("three?", "Celes", MessageButtons::YesNoCancel, MessageIcon::None, a.box("three"));
    QPointer<QDialog> box = dialogs.shown();
    ASSERT_TRUE(box);

    dialogs.endAll();
    EXPECT_EQ(a.got, (std::vector<std::string>{"shown=No", "okcancel=Cancel", "plain=Ok", "save=none",
                                               "three=Cancel"}));
    EXPECT_EQ(dialogs.shown(), nullptr);
    EXPECT_EQ(dialogs.waiting(), 0u);
    EXPECT_FALSE(box && box->isVisible());

    // From now on nothing is shown; the safe answer comes before the call returns.
    a.got.clear();
    dialogs.messageBox("after?", "Celes", MessageButtons::YesNo, MessageIcon::Question, a.box("after"));
    dialogs.openFile("", "", a.file("open"));
    EXPECT_EQ(a.got, (std::vector<std::string>{"after=No", "open=none"}));
    EXPECT_EQ(dialogs.shown(), nullptr);
    // The box that closed does not answer a second time once its close is processed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(a.got.size(), 2u);
}

TEST(BoxQueue, RequestsStillWaitingWhenTheDialogsGoAreDroppedUnanswered) {
    test::EnsureApplication();
    QWidget window;
    Answers a;
    QPointer<QDialog> box;
    {
        QtDialogs dialogs(&window);
        dialogs.messageBox("a?", "Celes", MessageButtons::YesNo, MessageIcon::Question, a.box("a"));
        dialogs.messageBox("b", "Celes", MessageButtons::Ok, MessageIcon::None, a.box("b"));
        box = dialogs.shown();
        ASSERT_TRUE(box);
    }
    EXPECT_FALSE(box);  // taken away with the dialogs
    EXPECT_TRUE(a.got.empty());
}

}  // namespace
}  // namespace celes::platform

// The window's side of the installed-layout check (tests/install/installed_user_test.sh): the same
// command objects the window builds, over the installed data folder and the user folder the
// environment names, driven through the real dialogs offscreen. "Write" registers a tap and edits a
// description as a user would; "Restart" starts afresh and finds them, with the slew log and the
// chart the script made through the installed program. Without CELES_INSTALLED_PREFIX it does nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/recording_shell.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "platform/speech.h"
#include "skydata/data_location.h"
#include "skydata/text_codec.h"
#include "ui/widgets/userdata_commands.h"
#include "userdata/descriptions.h"
#include "userdata/jpeg_codec.h"
#include "userdata/user_taps.h"
#include "view/celes_doc.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes {
namespace {

constexpr const char* kEditedOrion = "冬の王者。三つ星を見てから南へ。";
constexpr const char* kTapTitle = "M42を見た";

const char* Prefix() {
    const char* p = std::getenv("CELES_INSTALLED_PREFIX");
    return p && *p ? p : nullptr;
}

void App() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "celes_installed_user_helper";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    (void)a;
}

class Silent final : public platform::Speech {
  public:
    bool speak(const std::string&) override { return true; }
};

QWidget* OpenDialog(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

// The window's user-data commands over the installed catalogue, as the window starts them.
struct Session {
    fakes::MemorySettings store;
    fakes::VirtualEventLoop loop;
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    fakes::RecordingShell shell;
    Silent speech;
    ViewWindow window;
    StarRecord orion{};
    CCelesDoc doc{store, loop, dialogs, std::string(Prefix()) + "/share/celes/celes.dat"};
    UserFolderStart start = StartUserFolder(doc.userFiles());
    DocumentRecords<CCelesDoc> records{doc};
    CCelesView view{store, records, nullptr, nullptr, &window};
    std::unique_ptr<UserDataCommands> commands;

    Session() {
        std::memcpy(orion.constellation.data(), "Ori", 3);
        UserDataHooks hooks;
        hooks.tappedObject = [this] { return &orion; };
        commands = std::make_unique<UserDataCommands>(view, doc, records, store, loop, dialogs, clock, shell,
                                                      speech, nullptr, std::move(hooks));
        doc.onNewDocument();
    }
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(InstalledUser, Write) {
    if (!Prefix()) GTEST_SKIP() << "run by installed_user_test.sh";
    App();
    Session s;
    ASSERT_TRUE(s.doc.loaded()) << "the installed catalogue is read";
    EXPECT_EQ(s.start.problem, "");

    // "タップを登録" (32852): the tap dialog opens a second after the menu, the user names the tap.
    s.commands->registerTap();  // "タップを登録"
    s.loop.advance(1000);
    QWidget* tap = OpenDialog("TapDialog");
    ASSERT_NE(tap, nullptr);
    tap->findChild<QLineEdit*>("title")->setText(QString::fromUtf8(kTapTitle));
    tap->findChild<QPushButton*>("register")->click();
    ASSERT_EQ(s.doc.taps().size(), 1u);
    EXPECT_TRUE(s.dialogs.shown.empty()) << s.dialogs.shown.front().text;

    // "説明を編集" (32960) on a star of Orion: the box starts with the shipped text.
    s.commands->editDescription();  // "ｘｘｘ座の説明を編集"
    s.loop.advance(1000);
    QWidget* edit = OpenDialog("DescriptionDialog");
    ASSERT_NE(edit, nullptr);
    auto* text = edit->findChild<QPlainTextEdit*>("text");
    EXPECT_FALSE(text->toPlainText().isEmpty()) << "the shipped description";
    text->setPlainText(QString::fromUtf8(kEditedOrion));
    edit->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(s.dialogs.shown.empty()) << s.dialogs.shown.front().text;
}

TEST(InstalledUser, Restart) {
    if (!Prefix()) GTEST_SKIP() << "run by installed_user_test.sh";
    App();
    Session s;
    const UserFiles files = s.doc.userFiles();
    ASSERT_EQ(s.doc.taps().size(), 1u) << "the tap registered before the restart";
    EXPECT_EQ(TapTitle(*s.doc.taps().front()), kTapTitle);
    EXPECT_EQ(ReadDescriptionFile(DescriptionToRead(files, "Ori"))->text, kEditedOrion);
    EXPECT_NE(ReadAll(files.userFolder() + kSlewLogFileName).find("Slew "), std::string::npos);
    const char* chart = std::getenv("CELES_SAVED_CHART");
    ASSERT_TRUE(chart);
    const auto image = LoadJpegBitmap(chart);
    ASSERT_TRUE(image);
    EXPECT_GT(image->width, 0);
}

}  // namespace
}  // namespace celes

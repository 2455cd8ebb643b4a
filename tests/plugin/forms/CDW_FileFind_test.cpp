#include "forms/CDW_FileFind.h"
#include "core/PluginError.h"
#include "support/ScriptedUi.h"
#include "support/ViewSession.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using qel::CDW_FileFind;
using qel::MsgIcon;
using qel::test::ScriptedUi;

namespace {

class FileFindFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        for (const char* name : {"a.FUD", "b.FUD", "notes.txt"}) {
            QFile f(folder.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        find.AddFilter("Flash Files ", "FUD");
        find.AddFilter("All Files", "*");
        find.Caption("Select Firmware File");
        find.FilePath(folder.path());
    }

    // Runs `person` on the dialog once it is up, then searches.
    void search(QWidget* owner, bool onScreen, std::function<void(QFileDialog&)> person) {
        QTimer::singleShot(0, [&, person] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no file dialog came up";
                return;
            }
            seen = dialog->geometry();
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            mode = dialog->fileMode();
            person(*dialog);
        });
        find.Search(owner, onScreen);
    }

    static void type(QFileDialog& dialog, const QString& names) {
        auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText(names);
        QMetaObject::invokeMethod(&dialog, "accept");
    }

    ScriptedUi ui;
    QTemporaryDir folder;
    CDW_FileFind find;
    QRect seen;
    QString title;
    QStringList filters;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
};

}  // namespace

TEST_F(FileFindFixture, PickingOneFileGivesItsFolderAndName) {
    search(nullptr, true, [](QFileDialog& d) { type(d, "a.FUD"); });
    EXPECT_EQ(title, "Select Firmware File");
    EXPECT_EQ(filters, (QStringList{"Flash Files (*.FUD)", "All Files (*)"}));
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    ASSERT_EQ(find.FileCount(), 1);
    EXPECT_EQ(find.FilePath(), QDir(folder.path()).absolutePath());
    EXPECT_FALSE(find.FilePath().endsWith('/'));
    EXPECT_EQ(find.FileName(1), "a.FUD");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((seen.center() - screen.center()).manhattanLength(), 2);
}

TEST_F(FileFindFixture, PickingSeveralFilesNeedsTheOption) {
    find.AddOption(0x80000 | 0x200000 | CDW_FileFind::kAllowMultiSelect);
    search(nullptr, true, [](QFileDialog& d) { type(d, "\"a.FUD\" \"b.FUD\""); });
    EXPECT_EQ(mode, QFileDialog::ExistingFiles);
    ASSERT_EQ(find.FileCount(), 2);
    EXPECT_EQ(find.FilePath(), QDir(folder.path()).absolutePath());
    EXPECT_EQ(QStringList({find.FileName(1), find.FileName(2)}), (QStringList{"a.FUD", "b.FUD"}));
}

TEST_F(FileFindFixture, CancellingLeavesNoFilesAndTheStartFolder) {
    search(nullptr, true, [](QFileDialog& d) { type(d, "a.FUD"); });
    ASSERT_EQ(find.FileCount(), 1);
    find.FilePath("/nowhere/in/particular");
    search(nullptr, true, [](QFileDialog& d) { d.reject(); });
    EXPECT_EQ(find.FileCount(), 0);
    EXPECT_EQ(find.FilePath(), "/nowhere/in/particular");
    EXPECT_THROW(find.FileName(1), qel::PluginError);
}

TEST_F(FileFindFixture, TheDialogIsCentredOnItsOwner) {
    QWidget owner;
    owner.setGeometry(40, 30, 700, 500);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    search(&owner, false, [&](QFileDialog& d) {
        QTest::qWait(300);  // the folder's files are listed in the background
        qel::test::SaveShot(d, "forms", "file_dialog");
        d.reject();
    });
    EXPECT_LE((seen.center() - owner.frameGeometry().center()).manhattanLength(), 2);
}

TEST(CDW_FileFind, FileNamesAreNumberedFromOne) {
    CDW_FileFind find;
    EXPECT_EQ(find.FileCount(), 0);
    try {
        find.FileName(0);
        FAIL() << "no error raised";
    } catch (const qel::PluginError& e) {
        EXPECT_EQ(e.number(), 9);
    }
}

TEST(CDW_FileFind, AnExtensionOfMoreThanThreeCharactersIsRefused) {
    ScriptedUi ui;
    CDW_FileFind find;
    find.AddFilter("Flash Files ", "FUDX");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "CDW_FileFind.AddFilter");
    EXPECT_EQ(ui.messages[0].text, "1 to 3 characters allowed for a file extension");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(find.NameFilters().isEmpty());
    find.AddFilter("Hex", "H");
    EXPECT_EQ(find.NameFilters(), QStringList{"Hex (*.H)"});
}

TEST(CDW_FileFind, OptionsAreCollected) {
    CDW_FileFind find;
    find.AddOption(0x2);
    find.AddOption(0x4);
    find.AddOption(0x2);
    EXPECT_EQ(find.Options(), 0x6u);
}

// Backups of every set read from a unit, the command that opens them, and the
// last transfer's result that the workshop record carries.
#include <filesystem>
#include <fstream>

#include "storage/IgnFile.h"
#include "support/SimFormFixture.h"
#include "ui/Backups.h"

namespace kelmor::test {
namespace {

using C = ControlId;
namespace fs = std::filesystem;

class Backup : public SimFormFixture {
  protected:
    std::string Folder() { return InFolder(Config.Path(), "backups"); }
    std::vector<std::string> Backups() {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(Folder(), ec))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(Backup, ReadKeepsWhatSaveWouldWrite) {
    Unit->Params().Advance[3] = 44;
    Unit->Params().BaseAdv = 7;
    Form->MenuReadClick();
    ASSERT_GT(RunToIdle(), 0);
    ASSERT_EQ(S(C::LabelHlaseni).Caption, "Verify: OK");
    const std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "KXA07_14.3.2024_10-30_2026-12-10_13-50-00.ign");
    EXPECT_TRUE(Host.Boxes.empty());

    Host.SaveAnswers = {Config.Path() + "/saved.ign"};
    Form->MenuSaveClick();
    EXPECT_EQ(ReadFile(Folder() + "/" + names[0]), ReadFile(Config.Path() + "/saved.ign"));
    TIgnParams back = P();
    back.Advance[3] = 0;
    ASSERT_TRUE(ReadIgnFile(ReadFile(Folder() + "/" + names[0]), back));
    EXPECT_EQ(back.Advance[3], 44);
}

// The backup keeps the set as the unit holds it, also fields that the
// window itself never writes (Save would put pick-up type 1 there).
TEST_F(Backup, KeepsFieldsTheWindowDoesNotEdit) {
    Unit->Params().GeberNr = 3;
    Unit->Params().Input1 = 2;
    Form->MenuReadClick();
    ASSERT_GT(RunToIdle(), 0);
    ASSERT_EQ(Backups().size(), 1u);
    TIgnParams back{};
    ASSERT_TRUE(ReadIgnFile(ReadFile(Folder() + "/" + Backups()[0]), back));
    EXPECT_EQ(back.GeberNr, 3);
    EXPECT_EQ(back.Input1, 2);
}

TEST_F(Backup, OnlyAReadWhoseVerifySucceeds) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> command;
        const char* result;
    } cases[] = {
        {"no unit answers", [&] { Unit->Options().Faults.DropRate = 1; },
         [&] { Form->MenuReadClick(); }, "Read error!"},
        {"reading refused", [&] { Unit->Options().ReadProtected = true; },
         [&] { Form->MenuReadClick(); }, "No reading!"},
        {"values that normalise differently", [&] { Unit->Params().RpmAdv[5] = 1; },
         [&] { Form->MenuReadClick(); }, "Verify error!"},
        // The unit still holds the set that normalised differently.
        {"a verify of its own", [] {}, [&] { Form->MenuVerifyClick(); }, "Verify error!"},
        {"a program", [] {}, [&] { Form->MenuProgramClick(); }, "Programing: OK"},
        {"a verify after the program", [] {}, [&] { Form->MenuVerifyClick(); }, "Verify: OK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Unit->Options() = SimOptions{};
        c.arrange();
        c.command();
        ASSERT_GT(RunToIdle(), 0);
        EXPECT_EQ(EndText(*Form), c.result);
        EXPECT_TRUE(Backups().empty());
    }
}

TEST_F(Backup, AnotherVersionIsTheLastResult) {
    Unit->SetVersion(66);
    Form->MenuReadClick();
    ASSERT_GT(RunToIdle(), 0);
    EXPECT_EQ(EndText(*Form), "Unmatched version of PC and Ignition programs!  PC-67, IGN-66");
    EXPECT_TRUE(Backups().empty());
}

TEST_F(Backup, EveryReadGetsAFileOfItsOwn) {
    Unit->SetIdText("Honda CRF/450 ü");
    for (int i = 0; i < 2; ++i) {
        Form->MenuReadClick();
        ASSERT_GT(RunToIdle(), 0);
    }
    const std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "Honda-CRF-450_14.3.2024_10-30_2026-12-10_13-50-00-2.ign");
    EXPECT_EQ(names[1], "Honda-CRF-450_14.3.2024_10-30_2026-12-10_13-50-00.ign");
}

// Where the backups folder should be lies a file.
TEST_F(Backup, FolderThatCannotBeMadeGivesTheMessageAndTheReadStands) {
    std::ofstream(Folder()) << "in the way";
    Form->MenuCzechClick();
    Unit->Params().Advance[0] = 31;
    Form->MenuReadClick();
    ASSERT_GT(RunToIdle(), 0);
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0],
              "Parametry přečtené ze zapalování nelze uložit jako zálohu do:\n" + Folder());
    EXPECT_EQ(S(C::LabelHlaseni).Caption, "Verifikace: OK");
    EXPECT_EQ(P().Advance[0], 31);
    // The window goes on: another read works as before.
    Form->MenuReadClick();
    ASSERT_GT(RunToIdle(), 0);
    EXPECT_EQ(S(C::LabelHlaseni).Caption, "Verifikace: OK");
}

TEST_F(Backup, OpenBackupProposesTheNewestAndOpensItAsOpenDoes) {
    Host.Boxes.clear();
    Form->MenuBackupsClick();
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0], "No backup has been made yet in:\n" + Folder());
    EXPECT_TRUE(Host.OpenInFolders.empty());

    Unit->Params().Advance[2] = 40;
    Form->MenuReadClick();
    ASSERT_GT(RunToIdle(), 0);
    Host.Clock.Minute = 55;
    Unit->Params().Advance[2] = 41;
    Form->MenuReadClick();
    ASSERT_GT(RunToIdle(), 0);
    const std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 2u);
    const std::string older = InFolder(Folder(), names[0]);
    const std::string newer = InFolder(Folder(), names[1]);
    fs::last_write_time(older, fs::last_write_time(newer) - std::chrono::seconds(60));

    // Cancelled: the set stays; the status line goes, as Open has it.
    P().Advance[2] = 12;
    Form->ApplyEdit();
    W().SetVisible(C::LabelHlaseni, true);
    Form->MenuBackupsClick();
    ASSERT_EQ(Host.OpenInFolders.size(), 1u);
    EXPECT_EQ(Host.OpenInFolders[0], Folder());
    EXPECT_EQ(Host.OpenProposals.back(), newer);
    EXPECT_EQ(P().Advance[2], 12);
    EXPECT_FALSE(S(C::LabelHlaseni).Visible);

    Host.OpenAnswers = {older};
    Form->MenuBackupsClick();
    EXPECT_EQ(P().Advance[2], 40);
    EXPECT_EQ(S(C::EditAdvance3).Caption, "40");
    EXPECT_EQ(S(C::LabelFile2).Caption, older);
    EXPECT_EQ(Form->LastFileName, older);
    EXPECT_TRUE(Form->UndoHistory.CanUndo());
}

TEST(BackupNames, SanitisedForAFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"KQV13", "KQV13"},
        {" 5. 1.2007", "5.1.2007"},
        {"09:05", "09-05"},
        {"Honda CRF / John's", "Honda-CRF-John-s"},
        {"../../etc/passwd", "etc-passwd"},
        {".hidden", "hidden"},
        {"a\\b\tc\nd", "a-b-c-d"},
        {"Zapalování", "Zapalov-n"},
        {"   ", ""},
        {"--__..", ""},
        {"0123456789012345678901234567890123456789ABCDEF",
         "0123456789012345678901234567890123456789"},
    };
    for (auto [text, expected] : cases)
        EXPECT_EQ(SanitiseForFileName(text), expected) << '"' << text << '"';

    TIdentTexts none;
    EXPECT_EQ(BackupFileName(none, {2027, 1, 2, 3, 4, 5}), "unit_2027-01-02_03-04-05.ign");
    TIdentTexts odd{"/:*?", " 1. 2.2020", "23:59"};
    EXPECT_EQ(BackupFileName(odd, {2027, 1, 2, 3, 4, 5}), "1.2.2020_23-59_2027-01-02_03-04-05.ign");
}

} // namespace
} // namespace kelmor::test

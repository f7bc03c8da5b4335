// New, Open and Save, printing and the manual.
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/IgnFile.h"
#include "support/FormFixture.h"
#include "support/TestFiles.h"

namespace kelmor::test {
namespace {

using C = ControlId;
using Answer = TPlatform::Answer;

class Files : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
    }
    TIgnParams& P() { return Form->Params(); }
    std::string Path(const char* name) { return Folder.File(name); }
    // The status line as a transfer leaves it.
    void ShowStatus() {
        W().SetVisible(C::LabelHlaseni, true);
        W().SetVisible(C::CGaugeProgram, true);
    }
    bool Same(const TIgnParams& a, const TIgnParams& b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    }
    // A set unlike the defaults, committed as if edited.
    void EditSomething() {
        P().BaseAdv = 21;
        P().Advance[3] = 33;
        P().Omez2 = 120;
        Form->ApplyEdit();
    }
    void Open(const std::string& path) {
        Host.OpenAnswers = {path};
        Form->MenuOpenClick();
    }
    void Save(const std::string& path) {
        Host.SaveAnswers = {path};
        Form->MenuSaveClick();
    }

    TempFolder Folder;
};

TEST_F(Files, NewAskedNoOrCancelChangesNothing) {
    EditSomething();
    Save(Path("a.ign"));
    const TIgnParams before = P();
    const int newest = Form->UndoHistory.Newest;
    for (Answer a : {Answer::No, Answer::Cancel}) {
        Host.Answers = {a};
        Form->MenuNewClick();
        EXPECT_TRUE(Same(P(), before));
        EXPECT_EQ(S(C::LabelFile2).Caption, Path("a.ign"));
        EXPECT_EQ(Form->UndoHistory.Newest, newest);
    }
    EXPECT_EQ(Host.Boxes, (std::vector<std::string>{Form->Messages.MsgAskDefaults,
                                                    Form->Messages.MsgAskDefaults}));
}

TEST_F(Files, NewAskedYesTakesTheDefaultsButKeepsTheLastFileName) {
    EditSomething();
    Save(Path("a.ign"));
    ShowStatus();
    P().Reserved8 = 5;
    Host.Answers = {Answer::Yes};
    Form->MenuNewClick();
    TIgnParams expected = P();
    SetDefaults(expected);
    Normalise(expected);
    EXPECT_TRUE(Same(P(), expected));
    EXPECT_EQ(P().Omez1, 150);
    EXPECT_EQ(P().Reserved8, 5);
    EXPECT_EQ(S(C::EditBaseAdv).Caption, "10");
    EXPECT_FALSE(S(C::LabelHlaseni).Visible);
    EXPECT_FALSE(S(C::CGaugeProgram).Visible);
    EXPECT_EQ(S(C::LabelFile2).Caption, "");
    EXPECT_EQ(Form->LastFileName, Path("a.ign"));
    Form->MenuSaveClick();
    EXPECT_EQ(Host.SaveProposals.back(), Path("a.ign"));
}

TEST_F(Files, OpenCancelledOnlyHidesTheStatusLine) {
    EditSomething();
    const TIgnParams before = P();
    ShowStatus();
    Form->MenuOpenClick();
    EXPECT_FALSE(S(C::LabelHlaseni).Visible);
    EXPECT_FALSE(S(C::CGaugeProgram).Visible);
    EXPECT_TRUE(Same(P(), before));
    EXPECT_TRUE(Host.Boxes.empty());
    EXPECT_EQ(Form->LastFileName, "");
}

TEST_F(Files, OpenThatFails) {
    Save(Path("kept.ign"));
    EditSomething();
    const TIgnParams before = P();
    std::filesystem::create_directory(Path("folder.ign"));
    WriteTextFile(Path("v66.ign"), "KALDIMER_KEY   66 \r\n\r\nBIKE            0 \r\nBASE_ADV 3");
    WriteTextFile(Path("empty.ign"), "");
    struct Case {
        std::string file;
        std::string message;
    } cases[] = {
        {Path("missing.ign"), Form->Messages.MsgFileOpenError},
        {Path("folder.ign"), Form->Messages.MsgFileOpenError},
        {Path("v66.ign"), Form->Messages.MsgFileVersionMismatch},
        {Path("empty.ign"), Form->Messages.MsgFileVersionMismatch},
    };
    for (const Case& c : cases) {
        Host.Boxes.clear();
        ShowStatus();
        Open(c.file);
        EXPECT_EQ(Host.Boxes, std::vector<std::string>{c.message}) << c.file;
        EXPECT_TRUE(Same(P(), before)) << c.file;
        EXPECT_EQ(S(C::EditBaseAdv).Caption, "21") << c.file;
        EXPECT_EQ(S(C::LabelFile2).Caption, Path("kept.ign")) << c.file;
        EXPECT_EQ(Form->LastFileName, Path("kept.ign")) << c.file;
        EXPECT_FALSE(S(C::LabelHlaseni).Visible) << c.file;
        EXPECT_FALSE(S(C::CGaugeProgram).Visible) << c.file;
    }
}

TEST_F(Files, OpenWithMissingKeysKeepsThoseFieldsAndNormalises) {
    EditSomething();
    const int newest = Form->UndoHistory.Newest;
    // Speeds that are not ascending, a start limiter above the rev limiter,
    // and any file name: only the content counts.
    WriteTextFile(Path("part.txt"), "KALDIMER_KEY 67\nRPM_ADV 3000 2000 2000 5000\nLIMITER 200 "
                                    "120 4\nPOLARITA 1\n");
    Open(Path("part.txt"));
    EXPECT_TRUE(Host.Boxes.empty());
    EXPECT_EQ(P().RpmAdv[0], 30);
    EXPECT_EQ(P().RpmAdv[1], 31);
    EXPECT_EQ(P().RpmAdv[2], 32);
    EXPECT_EQ(P().RpmAdv[3], 50);
    EXPECT_EQ(P().RpmAdv[4], 51) << "the rest took the last number, then were raised";
    EXPECT_EQ(P().Omez1, 120);
    EXPECT_EQ(P().Retard, 4);
    EXPECT_EQ(P().Polarita, 1);
    EXPECT_EQ(P().BaseAdv, 21);
    EXPECT_EQ(P().Advance[3], 33);
    EXPECT_EQ(S(C::EditRpmAdv2).Caption, "3 100");
    EXPECT_EQ(S(C::EditOmez1).Caption, "12 000");
    EXPECT_EQ(S(C::RadioGroupPolarita).ItemIndex, 1);
    EXPECT_EQ(Form->UndoHistory.Newest, (newest + 1) % 200) << "recorded once";
    EXPECT_EQ(S(C::LabelFile2).Caption, Path("part.txt"));
    EXPECT_EQ(Form->LastFileName, Path("part.txt"));

    Form->MenuOpenClick();
    Form->MenuSaveClick();
    EXPECT_EQ(Host.OpenProposals.back(), Path("part.txt"));
    EXPECT_EQ(Host.SaveProposals.back(), Path("part.txt"));
}

TEST_F(Files, SaveCancelledChangesNothing) {
    EditSomething();
    W().UserSetText(C::EditBaseAdv, "30");
    const TIgnParams before = P();
    Form->MenuSaveClick();
    EXPECT_TRUE(Same(P(), before));
    EXPECT_EQ(S(C::EditBaseAdv).Caption, "30");
    EXPECT_EQ(S(C::LabelFile2).Caption, "");
    EXPECT_EQ(Form->LastFileName, "");
    EXPECT_TRUE(std::filesystem::is_empty(Folder.Path()));
}

TEST_F(Files, SaveWritesTheRepairedSetAndShowsIt) {
    const int newest = Form->UndoHistory.Newest;
    W().UserSetText(C::EditRpmAdv1, "5 000");
    W().UserSetText(C::EditRpmAdv2, "4 000");
    W().UserSetText(C::EditOmez1, "20 000");
    W().UserSetText(C::EditOmez2, "10 000");
    W().UserSetChecked(C::CheckBoxRevOutLedRazeni, true);
    ShowStatus();
    Save(Path("repaired.ign"));
    EXPECT_TRUE(Host.Boxes.empty());
    EXPECT_EQ(P().RpmAdv[0], 50);
    EXPECT_EQ(P().RpmAdv[1], 51);
    EXPECT_EQ(P().Omez1, 100);
    EXPECT_EQ(S(C::EditRpmAdv2).Caption, "5 100");
    EXPECT_EQ(S(C::EditOmez1).Caption, "10 000");
    const std::string text = ReadFile(Path("repaired.ign"));
    EXPECT_EQ(text, WriteIgnFile(P()));
    EXPECT_NE(text.find("RPM_ADV      5000  5100  5200  5300  5400  6000 "), std::string::npos);
    EXPECT_NE(text.find("LIMITER       100   100 "), std::string::npos);
    EXPECT_NE(text.find("REV_OUT_PILOT_LIGHT   1"), std::string::npos);
    EXPECT_EQ(S(C::LabelFile2).Caption, Path("repaired.ign"));
    EXPECT_EQ(Form->LastFileName, Path("repaired.ign"));
    EXPECT_EQ(Form->UndoHistory.Newest, newest) << "Save records nothing";
    EXPECT_TRUE(S(C::LabelHlaseni).Visible) << "Save leaves the status line alone";

    // What was saved opens to the same set.
    const TIgnParams saved = P();
    EditSomething();
    Open(Path("repaired.ign"));
    EXPECT_TRUE(Same(P(), saved));
    Form->MenuOpenClick();
    Form->MenuSaveClick();
    EXPECT_EQ(Host.OpenProposals.back(), Path("repaired.ign"));
    EXPECT_EQ(Host.SaveProposals.back(), Path("repaired.ign"));
}

TEST_F(Files, SaveThatCannotCreateTheFileReadsNothing) {
    Save(Path("kept.ign"));
    W().UserSetText(C::EditBaseAdv, "30");
    std::filesystem::create_directory(Path("folder.ign"));
    for (const std::string& target : {Path("missing/a.ign"), Path("folder.ign")}) {
        Host.Boxes.clear();
        Save(target);
        EXPECT_EQ(Host.Boxes, std::vector<std::string>{Form->Messages.MsgFileOpenError});
        EXPECT_EQ(P().BaseAdv, 10) << "the controls were not read";
        EXPECT_EQ(S(C::LabelFile2).Caption, Path("kept.ign"));
        EXPECT_EQ(Form->LastFileName, Path("kept.ign"));
    }
}

TEST_F(Files, SaveIntoAFolderThatCannotBeWritten) {
    std::filesystem::create_directory(Path("locked"));
    std::string file = Path("locked/old.ign");
    WriteTextFile(file, "old content");
    Save(Path("kept.ign"));
    ASSERT_EQ(::chmod(Path("locked").c_str(), 0555), 0);
    if (::access(Path("locked").c_str(), W_OK) == 0) {
        // Permissions do not bind root; a folder of the kernel's does.
        file = "/proc/version";
        if (::access(file.c_str(), R_OK) != 0) GTEST_SKIP() << "no folder that cannot be written";
    }
    const std::string old = ReadFile(file);
    Save(file);
    EXPECT_EQ(Host.Boxes, std::vector<std::string>{Form->Messages.MsgFileOpenError});
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(S(C::LabelFile2).Caption, Path("kept.ign"));
    EXPECT_EQ(Form->LastFileName, Path("kept.ign"));
}

TEST_F(Files, SaveThatCannotBeWrittenCompletelyKeepsTheOldFile) {
    KELMOR_POSIX_ONLY("a file-size limit");
    const std::string file = Path("old.ign");
    Save(file);
    const std::string old = ReadFile(file);
    Save(Path("kept.ign"));
    EditSomething();
    {
        FileSizeLimit full(100);
        Save(file);
    }
    EXPECT_EQ(Host.Boxes, std::vector<std::string>{Form->Messages.MsgFileOpenError});
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(S(C::LabelFile2).Caption, Path("kept.ign"));
    EXPECT_EQ(Form->LastFileName, Path("kept.ign"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.Path()),
                            std::filesystem::directory_iterator()),
              2)
        << "no half-written file left beside it";
}

TEST_F(Files, PrintTakesThePaperLookAndRestoresTheWindow) {
    Form->MessageHold = 0;
    W().SetVisible(C::LabelSpojeni, true);
    W().SetVisible(C::CGaugeProgram, true);
    const std::string caption = Form->Messages.MsgPrintTime + Host.Now;
    bool checked = false;
    Host.WhilePrinting = [&] {
        checked = true;
        EXPECT_TRUE(Form->Printing);
        EXPECT_EQ(S(C::LabelHlaseni).Caption, caption);
        EXPECT_EQ(S(C::LabelHlaseni).Background, Colour::White);
        EXPECT_TRUE(S(C::LabelHlaseni).Visible);
        EXPECT_FALSE(S(C::LabelSpojeni).Visible);
        EXPECT_FALSE(S(C::CGaugeProgram).Visible);
        EXPECT_EQ(S(C::FormHlav).Background, Colour::White);
        EXPECT_FALSE(S(C::StatusBar1).Visible);
        EXPECT_FALSE(S(C::UpDownRpmAdv1).Visible);
        // Ticks go on while the page is sent.
        Ticks(3);
        EXPECT_FALSE(S(C::LabelHlaseni).Visible);
    };
    Form->SpeedButtonPrintClick();
    EXPECT_TRUE(checked);
    EXPECT_EQ(Host.Prints, 1);
    EXPECT_FALSE(Form->Printing);
    EXPECT_EQ(S(C::LabelHlaseni).Background, Colour::ButtonFace);
    EXPECT_EQ(S(C::LabelHlaseni).Caption, caption);
    EXPECT_EQ(S(C::FormHlav).Background, Colour::ButtonFace);
    EXPECT_TRUE(S(C::StatusBar1).Visible);
    EXPECT_TRUE(S(C::UpDownRpmAdv1).Visible);
    EXPECT_TRUE(Host.Boxes.empty());
    EXPECT_EQ(Form->MessageHold, 200 - 3);
    Ticks(1);
    EXPECT_TRUE(S(C::LabelHlaseni).Visible);
}

TEST_F(Files, PrintWithoutAPrinterShowsTheErrorInTheNormalLook) {
    Host.PrintOk = false;
    bool boxSeen = false;
    Host.WhileBoxOpen = [&] {
        boxSeen = true;
        EXPECT_FALSE(Form->Printing);
        EXPECT_EQ(S(C::FormHlav).Background, Colour::ButtonFace);
        EXPECT_TRUE(S(C::StatusBar1).Visible);
    };
    Form->SpeedButtonPrintClick();
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(Host.Boxes, std::vector<std::string>{Host.PrintError});
    EXPECT_FALSE(Form->Printing);
    EXPECT_EQ(S(C::LabelHlaseni).Background, Colour::ButtonFace);
    EXPECT_EQ(S(C::LabelHlaseni).Caption, Form->Messages.MsgPrintTime + Host.Now);
    EXPECT_EQ(Form->MessageHold, 200);
}

TEST_F(Files, ManualOfTheCurrentLanguage) {
    Form->MenuContensClick();
    EXPECT_EQ(Host.Documents, std::vector<std::string>{Form->Messages.MsgManualFile});
    EXPECT_EQ(Host.Boxes, std::vector<std::string>{Form->Messages.MsgManualOpenError});

    Form->MenuCzechClick();
    Host.DocumentOk = true;
    Host.Boxes.clear();
    Form->MenuContensClick();
    EXPECT_EQ(Host.Documents.back(), Form->Messages.MsgManualFile);
    EXPECT_NE(Host.Documents.back(), Host.Documents.front());
    EXPECT_TRUE(Host.Boxes.empty());
}

} // namespace
} // namespace kelmor::test

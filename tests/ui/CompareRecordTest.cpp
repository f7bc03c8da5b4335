// Comparing the set with a .ign file, and the workshop record.
#include <cstring>

#include "params/ParamFields.h"
#include "storage/IgnFile.h"
#include "support/SimFormFixture.h"
#include "ui/WorkshopRecord.h"

namespace kelmor::test {
namespace {

using C = ControlId;
using Rows = std::vector<std::vector<std::string>>;

class CompareRecord : public SimFormFixture {
  protected:
    std::string WriteFile(const std::string& text) {
        const std::string path = Config.File("other.ign");
        WriteTextFile(path, text);
        return path;
    }
    void Compare(const std::string& path) {
        Host.OpenAnswers = {path};
        Form->MenuCompareClick();
    }
    std::string Value(const std::vector<RecordLine>& lines, const std::string& label) {
        for (const RecordLine& l : lines)
            if (l.Label == label) return l.Value;
        ADD_FAILURE() << "no line " << label;
        return {};
    }
};

TEST_F(CompareRecord, ListsExactlyTheFieldsThatDiffer) {
    struct Case {
        const char* name;
        std::function<void(TIgnParams&)> change; // the file's set, from the window's
        Rows rows;
    } cases[] = {
        {"the same set", [](TIgnParams&) {}, {}},
        {"one advance",
         [](TIgnParams& p) { p.Advance[2] = 25; },
         {{"Point 3, Advance", "10°", "25°"}}},
        {"a speed and the point count",
         [](TIgnParams& p) {
             p.RpmAdv[0] = 12;
             p.PocetBodu = 8;
         },
         {{"Number of items", "15", "8"}, {"Point 1, RPM", "1 000 rpm", "1 200 rpm"}}},
        {"settings the window hides",
         [](TIgnParams& p) {
             p.GeberNr = 2;
             p.ZakazCteni = 1;
             p.RpmKorekce = 60;
             p.Clutch1 = 30;
             p.Input2 = 3;
         },
         {{"Tachometer output, Correction", "0 %", "-40 %"},
          {"Clutch master time", "200 ms", "300 ms"},
          {"Pick-up (CPS)", "1 ignition per revolution", "2 ignitions per revolution"},
          {"Input 2", "Off", "Retard"},
          {"No Reading", "No", "Yes"}}},
        // The file as Open would load it: speeds raised into order, the
        // start limiter held to the rev limiter.
        {"values that normalise",
         [](TIgnParams& p) {
             p.RpmAdv[1] = p.RpmAdv[0];
             p.Omez1 = 200;
         },
         {{"Point 2, RPM", "2 000 rpm", "1 100 rpm"}}},
        {"keying type 7 cuts advances to the base advance",
         [](TIgnParams& p) {
             p.Bike = 7;
             p.Advance[4] = 30;
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host.Boxes.clear();
        Host.Tables.clear();
        TIgnParams file = P();
        c.change(file);
        const std::string path = WriteFile(WriteIgnFile(file));
        Compare(path);
        if (c.rows.empty()) {
            EXPECT_TRUE(Host.Tables.empty());
            ASSERT_EQ(Host.Boxes.size(), 1u);
            EXPECT_EQ(Host.Boxes[0], "The parameters are the same as in the file:\n" + path);
            continue;
        }
        EXPECT_TRUE(Host.Boxes.empty());
        ASSERT_EQ(Host.Tables.size(), 1u);
        EXPECT_EQ(Host.Tables[0].Title, "Differences from " + path);
        EXPECT_EQ(Host.Tables[0].Columns,
                  (std::vector<std::string>{"Parameter", "In the window", "In the file"}));
        EXPECT_EQ(Host.Tables[0].Rows, c.rows);
    }
}

// A comparison changes nothing: not the set, not a typed value, not the
// history; and a file just opened is the set, whatever the controls clamp.
TEST_F(CompareRecord, CompareChangesNothing) {
    TIgnParams file = P();
    file.Advance[0] = 17;
    file.PocetBodu = 40; // kept by Open, beyond what the point spinner shows
    const std::string path = WriteFile(WriteIgnFile(file));
    Host.OpenAnswers = {path};
    Form->MenuOpenClick();
    ASSERT_EQ(P().PocetBodu, 40);
    const TIgnParams opened = P();
    const TUndoHistory history = Form->UndoHistory;

    W().UserSetText(C::EditAdvance2, "23"); // typed, not yet committed
    Compare(path);
    EXPECT_TRUE(Host.Tables.empty());
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0], "The parameters are the same as in the file:\n" + path);
    EXPECT_EQ(std::memcmp(&opened, &P(), sizeof opened), 0);
    EXPECT_EQ(S(C::EditAdvance2).Caption, "23");
    EXPECT_EQ(Form->UndoHistory.Current, history.Current);
    EXPECT_EQ(Form->UndoHistory.Newest, history.Newest);
}

TEST_F(CompareRecord, CompareInTheWindowsLanguage) {
    Form->MenuGermanClick();
    TIgnParams file = P();
    file.BaseAdv = 12;
    const std::string path = WriteFile(WriteIgnFile(file));
    Compare(path);
    ASSERT_EQ(Host.Tables.size(), 1u);
    EXPECT_EQ(Host.Tables[0].Title, "Unterschiede zu " + path);
    EXPECT_EQ(Host.Tables[0].Columns,
              (std::vector<std::string>{"Parameter", "Im Fenster", "In der Datei"}));
    EXPECT_EQ(Host.Tables[0].Rows, (Rows{{"Basis Vorzündung", "10°", "12°"}}));
}

TEST_F(CompareRecord, FilesThatCannotBeComparedSayWhy) {
    const TIgnParams before = P();
    struct Case {
        const char* name;
        std::optional<std::string> chosen;
        const char* box;
    } cases[] = {
        {"cancelled", std::nullopt, nullptr},
        {"not there", Config.Path() + "/missing.ign", "Open file error!"},
        {"a folder", Config.Path(), "Open file error!"},
        {"another version", WriteFile("KALDIMER_KEY   66 \r\n\r\nBASE_ADV      12 "),
         "Unmatched version of *.ign file!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host.Boxes.clear();
        Host.OpenAnswers = {c.chosen};
        Form->MenuCompareClick();
        if (c.box == nullptr)
            EXPECT_TRUE(Host.Boxes.empty());
        else
            EXPECT_EQ(Host.Boxes, std::vector<std::string>{c.box});
        EXPECT_TRUE(Host.Tables.empty());
        EXPECT_EQ(std::memcmp(&before, &P(), sizeof before), 0);
    }
}

TEST_F(CompareRecord, EveryFieldHasANameAndAValueInEveryLanguage) {
    for (auto language : {&TFormHlav::MenuEnglishClick, &TFormHlav::MenuGermanClick,
                          &TFormHlav::MenuFrenchClick, &TFormHlav::MenuCzechClick}) {
        (Form.get()->*language)();
        for (const ParamField& f : ParamFields()) {
            const std::string label = FieldLabel(f, W(), Form->Messages);
            EXPECT_FALSE(label.empty()) << f.Name;
            EXPECT_EQ(label.find_first_of("&[:"), std::string::npos) << label;
            EXPECT_FALSE(FieldValue(f, StoredValue(f, P()), W(), Form->Messages).empty()) << f.Name;
        }
    }
}

TEST_F(CompareRecord, RecordHoldsTheUnitTheSetAndTheLastTransfer) {
    Form->MenuReadClick();
    for (int t = 0; t < 200 && (t == 0 || Form->Mode != tmIdle); ++t)
        Form->OnTimer1();
    ASSERT_EQ(S(C::LabelHlaseni).Caption, "Verify: OK");
    W().SetCaption(C::LabelFile2, "/garage/crf450.ign");
    Form->LastFileName = "/garage/crf450.ign";
    W().UserSetText(C::EditBaseAdv, "12"); // typed, taken as Save takes it

    bool paperWhileWriting = false;
    Host.WhileWritingRecord = [&] {
        paperWhileWriting = Form->Printing && !S(C::GroupBoxToolBar).Visible &&
                            !S(C::LabelHlaseni).Visible && !S(C::LabelSpojeni).Visible &&
                            S(C::FormHlav).Background == Colour::White;
    };
    Host.PdfAnswers = {"/garage/crf450.pdf"};
    Form->MenuRecordClick();
    EXPECT_EQ(Host.PdfProposals, std::vector<std::string>{"/garage/crf450.pdf"});
    ASSERT_EQ(Host.Records.size(), 1u);
    EXPECT_EQ(Host.RecordPaths[0], "/garage/crf450.pdf");
    EXPECT_TRUE(paperWhileWriting);
    EXPECT_FALSE(Form->Printing);
    EXPECT_TRUE(S(C::GroupBoxToolBar).Visible);
    EXPECT_TRUE(S(C::LabelHlaseni).Visible) << "the status line comes back";
    EXPECT_TRUE(Host.Boxes.empty());

    const WorkshopRecord& r = Host.Records[0];
    EXPECT_EQ(r.Title, "Workshop record");
    EXPECT_EQ(Value(r.Info, "Version of program in ignition"), "KXA07");
    EXPECT_EQ(Value(r.Info, "Date of program in ignition"), "14. 3.2024");
    EXPECT_EQ(Value(r.Info, "Time of program in ignition"), "10:30");
    EXPECT_EQ(Value(r.Info, "Date and time of printing"), Host.Now);
    EXPECT_EQ(Value(r.Info, "File"), "/garage/crf450.ign");
    EXPECT_EQ(Value(r.Info, "Last transfer"), "Verify: OK");

    EXPECT_EQ(Value(r.Settings, "Base advance"), "12°");
    EXPECT_EQ(Value(r.Settings, "Limiter"), "10 500 rpm");
    EXPECT_EQ(Value(r.Settings, "Start limiter"), "4 000 rpm");
    EXPECT_EQ(Value(r.Settings, "Polarity of CPS"), "Selfsearch");
    EXPECT_EQ(Value(r.Settings, "Tachometer output, Pulses per revolution"), "2");
    EXPECT_EQ(Value(r.Settings, "Clutch master pause"), "1 000 ms");
    EXPECT_EQ(r.Settings.size(), PARAM_FIELD_COUNT - 2 * CURVE_POINTS);

    EXPECT_EQ(r.CurveHeader, (std::vector<std::string>{"Point", "RPM", "Advance [°]"}));
    ASSERT_EQ(r.CurveRows.size(), static_cast<size_t>(CURVE_POINTS));
    EXPECT_EQ(r.PointsInUse, 8);
    EXPECT_EQ(r.CurveRows[6], (std::vector<std::string>{"7", "8 000 rpm", "32°"}));
    EXPECT_EQ(r.Chart.PointCount(), 8);
    EXPECT_EQ(r.Chart.PointAt(7).Rpm, 10000);
    EXPECT_FALSE(r.Chart.LiveShown());
}

TEST_F(CompareRecord, RecordBeforeAnyTransferAndInCzech) {
    Form->MenuCzechClick();
    Host.PdfAnswers = {Config.Path() + "/r.pdf"};
    Form->MenuRecordClick();
    EXPECT_EQ(Host.PdfProposals, std::vector<std::string>{""});
    ASSERT_EQ(Host.Records.size(), 1u);
    const WorkshopRecord& r = Host.Records[0];
    EXPECT_EQ(r.Title, "Servisní záznam");
    EXPECT_EQ(Value(r.Info, "Verze programu v zapalování"), "---");
    EXPECT_EQ(Value(r.Info, "Soubor"), "---");
    EXPECT_EQ(Value(r.Info, "Poslední přenos"), "od spuštění žádný");
    EXPECT_EQ(Value(r.Settings, "Základní předstih"), "10°");
}

TEST_F(CompareRecord, RecordThatCannotBeWrittenSaysSoAndRestoresTheLook) {
    Host.PdfAnswers = {std::nullopt};
    Form->MenuRecordClick();
    EXPECT_TRUE(Host.Records.empty());

    Host.RecordOk = false;
    Host.PdfAnswers = {"/nonexistent/r.pdf"};
    Form->MenuRecordClick();
    EXPECT_EQ(Host.Boxes,
              std::vector<std::string>{
                  "The workshop record could not be written:\n/nonexistent/r.pdf\ndisk full"});
    EXPECT_FALSE(Form->Printing);
    EXPECT_EQ(S(C::FormHlav).Background, Colour::ButtonFace);
    EXPECT_TRUE(S(C::GroupBoxToolBar).Visible);
}

} // namespace
} // namespace kelmor::test

// The caption table: every row in every language, and the rows composed from
// the message table.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "lang/CaptionTable.h"

namespace kelmor {
namespace {

using P = CaptionProperty;

struct ExpectedRow {
    const char* Control;
    CaptionProperty What;
    int Item;
    std::array<const char*, LANGUAGE_COUNT> Text; // English, German, French, Czech
};

// Every row except the ten port hints, composed rows written out in full.
const ExpectedRow EXPECTED[] = {
    {"FormHlav",
     P::Caption,
     0,
     {"Programming of \"ZEV Torvanic\" unit", "Programmierung der \"ZEV Torvanic\" QLX Zündbox",
      "Programmation du boîtier \"ZEV Torvanic\"",
      "Programování jednotky zapalování\"ZEV Torvanic\""}},
    {"LabelFile1", P::Caption, 0, {"&File:", "&Datei:", "&Fichier:", "&Soubor:"}},
    {"MenuRead", P::Caption, 0, {"&Read", "&Lesen", "&Lire", "&Čtení"}},
    {"ButtonRead", P::Caption, 0, {"&Read", "&Lesen", "&Lire", "&Čtení"}},
    {"MenuVerify", P::Caption, 0, {"&Verify", "&Vergleichen", "&Vérifier", "&Verifikace"}},
    {"ButtonVerify", P::Caption, 0, {"&Verify", "&Vergleichen", "&Vérifier", "&Verifikace"}},
    {"MenuProgram",
     P::Caption,
     0,
     {"&Programing", "&Programmieren", "&Programmer", "&Programování"}},
    {"ButtonProgram",
     P::Caption,
     0,
     {"&Programing", "&Programmieren", "&Programmer", "&Programování"}},
    {"MenuAdvanceMinus", P::Caption, 0, {"Advance -", "Vorzündung -", "Avance -", "Předstih -"}},
    {"MenuAdvancePlus", P::Caption, 0, {"Advance +", "Vorzündung +", "Avance +", "Předstih +"}},
    {"RadioGroupInput1", P::Caption, 0, {"Input 1", "Eingang 1", "Entrée 1", "Vstup 1"}},
    {"RadioGroupInput2", P::Caption, 0, {"Input 2", "Eingang 2", "Entrée 2", "Vstup 2"}},
    {"MenuEnglish",
     P::Hint,
     0,
     {"Set English menu", "Set English menu", "Set English menu", "Set English menu"}},
    {"MenuGerman",
     P::Hint,
     0,
     {"Deutsches Menü", "Deutsches Menü", "Deutsches Menü", "Deutsches Menü"}},
    {"MenuFrench",
     P::Hint,
     0,
     {"Installer en Francais ", "Installer en Francais ", "Installer en Francais ",
      "Installer en Francais "}},
    {"MenuCzech",
     P::Hint,
     0,
     {"Nastavit české menu", "Nastavit české menu", "Nastavit české menu", "Nastavit české menu"}},
    {"LabelSpojeni",
     P::Caption,
     0,
     {"No connection with PC", "Keine Verbindung zum PC", "Pas de connection acec pc",
      "Není spojení s PC"}},
    {"MenuFile", P::Caption, 0, {"&File", "&Datei", "&Fichier", "&Soubor"}},
    {"MenuNew", P::Caption, 0, {"&New", "&Neu", "&Nouveau", "&Nový"}},
    {"MenuOpen", P::Caption, 0, {"&Open", "&Öffnen", "&Ouvrir", "&Otevřít"}},
    {"MenuSave", P::Caption, 0, {"&Save", "&Speichern", "&Mèmoriser", "&Uložit"}},
    {"MenuPrint", P::Caption, 0, {"&Print", "&Drucken", "&Imprimer", "&Tisk"}},
    {"MenuExit", P::Caption, 0, {"E&xit", "&Beenden", "&Sortir", "&Konec"}},
    {"MenuCom", P::Caption, 0, {"&Com", "&COM-Anschluß", "&Connection com", "&Port"}},
    {"MenuDevice", P::Caption, 0, {"&Ignition", "&Zündung", "&Allumage", "&Zapalování"}},
    {"MenuTools", P::Caption, 0, {"Tools", "Werkzeuge", "Outillage", "Pomůcky"}},
    {"MenuLanguage", P::Caption, 0, {"&Language", "&Sprache", "&Langue", "&Jazyk"}},
    {"MenuEnglish", P::Caption, 0, {"&English", "&Englisch", "&Englais", "&Anglicky"}},
    {"MenuGerman", P::Caption, 0, {"&German", "&Deutsch", "&Allemand", "&Německy"}},
    {"MenuFrench", P::Caption, 0, {"&French", "&Französisch", "&Francais", "Francouzky"}},
    {"MenuCzech", P::Caption, 0, {"&Czech", "&Tschechisch", "&Tchèque", "Če&sky"}},
    {"MenuHelp", P::Caption, 0, {"&Help", "&Hilfe", "&Aide", "Nápověda"}},
    {"MenuContens", P::Caption, 0, {"&Contents...", "&Inhalt...", "&Contenu", "Obsah"}},
    {"MenuAbout",
     P::Caption,
     0,
     {"&About...", "&Über Programm...", "&Contenu du programme", "&O programu..."}},
    {"CheckBoxIgnAll", P::Caption, 0, {"All", "Alles", "Tout", "Vše"}},
    {"CheckBoxProgHned",
     P::Caption,
     0,
     {"Programming after change", "Programmierung nach Änderung", "Sovegarde après modification",
      "Programování po změně"}},
    {"LabelAdvance1",
     P::Caption,
     0,
     {"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"}},
    {"LabelAdvance2",
     P::Caption,
     0,
     {"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"}},
    {"LabelOmez2",
     P::Caption,
     0,
     {"Limiter [rpm]", "Begrenzer [rpm]", "Limitateur [rpm]", "Omezovač [rpm]"}},
    {"LabelBaseAdv",
     P::Caption,
     0,
     {"Base advance [°]", "Basis Vorzündung [°]", "Avance de base [°]", "Základní předstih [°]"}},
    {"LabelPocetBodu",
     P::Caption,
     0,
     {"Number of items", "Anzahl der Stützpunkte", "Nombre de points", "Počet bodů"}},
    {"RadioGroupPolarita",
     P::Caption,
     0,
     {"Polarity of CPS:", "Polarität des CPS:", "Polarité CPS", "Polarita CPS:"}},
    {"RadioGroupPolarita",
     P::Items,
     0,
     {"Positive\nNegative\nSelfsearch", "Positiv\nNegativ\nAutomatisch",
      "Positif\nNégatif\nAutomatique", "Kladná\nZáporná\nSamohledání"}},
    {"GroupBoxRpm",
     P::Caption,
     0,
     {"Tachometer output", "Drehzählerausgang", "Tachometer output", "Výstup pro otáčkoměr"}},
    {"LabelRpmPulsu",
     P::Caption,
     0,
     {"Pulses per revolution", "Pulse pro Umdrehung", "Pulses per revolution",
      "Počet pulsů za otáčku"}},
    {"LabelRpmKorekce",
     P::Caption,
     0,
     {"Correction [%]", "Korrektion [%]", "Correction [%]", "Korekce [%]"}},
    {"MenuZpet", P::Caption, 0, {"Undo", "Zurück", "Undo", "Zpět"}},
    {"MenuZnovu", P::Caption, 0, {"Redo", "Wieder", "Redo", "Znovu"}},
    {"CheckBoxZakazCteni",
     P::Caption,
     0,
     {"No Reading", "Lesen Verboten", "Pas axessible", "Zákaz čtení"}},
    {"LabelOmez1",
     P::Caption,
     0,
     {"Start limiter [rpm]", "Startbegrenzer [rpm]", "Limitateur départ [rpm]",
      "Startovací omezovač [rpm]"}},
    {"ComboBoxPocPalcu",
     P::Item,
     0,
     {"1 ignition per revolution", "1 Zündung pro Umdrehung", "1 ignition per revolution",
      "1 zápal za otáčku"}},
    {"ComboBoxPocPalcu",
     P::Item,
     1,
     {"2 ignitions per revolution", "2 Zündungen pro Umdrehung", "2 ignitions per revolution",
      "2 zápaly za otáčku"}},
    {"ComboBoxPocPalcu",
     P::Item,
     2,
     {"3 ignitions per revolution", "3 Zündungen pro Umdrehung", "3 ignitions per revolution",
      "3 zápaly za otáčku"}},
    {"ComboBoxPocPalcu",
     P::Item,
     3,
     {"1 ignition per 2 revolutions (camshaft)", "1 Zündung pro 2 Umdrehungen (Nockenwelle)",
      "1 ignition per 2 revolutions (camshaft)", "1 zápal za 2 otáčky (vačkový hřídel)"}},
    {"LabelRetard",
     P::Caption,
     0,
     {"Retard [°]", "Spätzündung [°]", "Retard d´allumage[°]", "Snížení předstihu [°]"}},
    {"LabelLedRazeni",
     P::Caption,
     0,
     {"Gear shift light [rpm]", "Schaltblitz [rpm]", "Témoin de changement de rapport [rpm]",
      "Kontrolka řazení [rpm]"}},
    {"CheckBoxRevOutLedRazeni",
     P::Caption,
     0,
     {"Reverse otput polarity", "Umgekehrte Ausgangpolarität", "Reverse otput polarity",
      "Opačná polarita výstupu"}},
    {"RadioGroupInput1",
     P::Items,
     0,
     {"Off\nKill switch\nClutch master\nRetard\nStart Limiter",
      "Aus\nNot Aus\nSchaltautomat\nSpätzündung\nStartbegrenzer",
      "Off\nInterrupteur de sécurité\npar embeillage\nRetard à l´allumage\nLimitateur départ",
      "Vypnut\nKill switch\nClutch master\nSnížení předstihu\nStartovací omezovač"}},
    {"RadioGroupInput2",
     P::Items,
     0,
     {"Off\nBlocking\nClutch master\nRetard\nStart Limiter",
      "Aus\nBlockierung\nSchaltautomat\nSpätzündung\nStartbegrenzer",
      "Off\nBlocage\npar embeillage\nRetard à l´allumage\nLimitateur départ",
      "Vypnut\nBlokování\nClutch master\nSnížení předstihu\nStartovací omezovač"}},
    {"GroupBoxMonInput",
     P::Caption,
     0,
     {"Input to ground", "Eingang zu Erde", "Entrée de terre", "Vstup uzeměn"}},
    {"LabelRpm1",
     P::Hint,
     0,
     {"Round per Minute|Speed - Round per Minute", "Umdrehungen pro Minute", "Tours minute",
      "Otáčky za minutu|Rychlost - Otáčky za minutu"}},
    {"LabelRpm2",
     P::Hint,
     0,
     {"Round per Minute|Speed - Round per Minute", "Umdrehungen pro Minute", "Tours minute",
      "Otáčky za minutu|Rychlost - Otáčky za minutu"}},
    {"LabelVerze1",
     P::Hint,
     0,
     {"Version of program in ignition", "Programmverion der Zündung",
      "Variantes de courbe d´avance", "Verze programu v zapalování"}},
    {"LabelVerze2",
     P::Hint,
     0,
     {"Date of program in ignition", "Datum des Programm in der Zündung",
      "Date de programation de la courbe d´avance", "Datum zhotovení programu v zapalování"}},
    {"LabelVerze3",
     P::Hint,
     0,
     {"Time of program in ignition", "Programmierzeitpunkt der Zündung",
      "Temp de programation de la courbe d´avance", "Čas zhotovení programu v zapalování"}},
    {"SpeedButton5",
     P::Hint,
     0,
     {"Open file with parametrs", "Kenndatendatei öffnen", "Ouvrir fichier avec paramètres",
      "Otevření souboru s parametry"}},
    {"MenuOpen",
     P::Hint,
     0,
     {"Open file with parametrs", "Kenndatendatei öffnen", "Ouvrir fichier avec paramètres",
      "Otevření souboru s parametry"}},
    {"SpeedButton6",
     P::Hint,
     0,
     {"Set default parametrs", "neue Kenndatendatei erstellen",
      "Reprogramation des paramètres initial Dórigine", "Nastavení výchozích parametrů"}},
    {"MenuNew",
     P::Hint,
     0,
     {"Set default parametrs", "neue Kenndatendatei erstellen",
      "Reprogramation des paramètres initial Dórigine", "Nastavení výchozích parametrů"}},
    {"SpeedButton7",
     P::Hint,
     0,
     {"Save parametrs to file", "Kenndaten in Datei speichern", "Sauvegarder les paramètres",
      "Uložení parametrů do souboru"}},
    {"MenuSave",
     P::Hint,
     0,
     {"Save parametrs to file", "Kenndaten in Datei speichern", "Sauvegarder les paramètres",
      "Uložení parametrů do souboru"}},
    {"SpeedButtonPrint",
     P::Hint,
     0,
     {"Print parametrs", "Kenndaten Drucken", "Imprimer paramètres", "Tisk parametrů"}},
    {"MenuPrint",
     P::Hint,
     0,
     {"Print parametrs", "Kenndaten Drucken", "Imprimer paramètres", "Tisk parametrů"}},
    {"ButtonProgram",
     P::Hint,
     0,
     {"Programing  set parametrs to ignition", "Kenndaten in die Zündung programmieren",
      "Programer les paramètres dans ECU", "Programování nastavených parametrů do zapalování"}},
    {"MenuProgram",
     P::Hint,
     0,
     {"Programing  set parametrs to ignition", "Kenndaten in die Zündung programmieren",
      "Programer les paramètres dans ECU", "Programování nastavených parametrů do zapalování"}},
    {"ButtonVerify",
     P::Hint,
     0,
     {"Compare set parametrs  with parametrs of ignition",
      "Kenndaten mit Zündungskenndaten vergleichen", "Comparer les paramètres de ECU",
      "Ověření zda  nastavené parametry souhlasí s parametry naprogramovanými do zapalování"}},
    {"MenuVerify",
     P::Hint,
     0,
     {"Compare set parametrs  with parametrs of ignition",
      "Kenndaten mit Zündungskenndaten vergleichen", "Comparer les paramètres de ECU",
      "Ověření zda  nastavené parametry souhlasí s parametry naprogramovanými do zapalování"}},
    {"BitBtnAdvMinus",
     P::Hint,
     0,
     {"Take off 1 degree of Advance", "Vorzündung minus 1 Grad",
      "Retarder de 1 degré l´avance a l´allumage", "Zmenšení předstihu o 1 stupeň"}},
    {"BitBtnAdvPlus",
     P::Hint,
     0,
     {"Add 1 degree of Advance", "Vorzündung plus 1 Grad",
      "Avance accroître l´avance a l´allumage de 1 degré", "Zvětšení předstihu o 1 stupeň"}},
    {"ButtonRead",
     P::Hint,
     0,
     {"Reading parametrs from ignition", "Kenndaten aus Zündung lesen", "Lire paramètres ECU",
      "Čtení parametrů ze zapalování"}},
    {"MenuRead",
     P::Hint,
     0,
     {"Reading parametrs from ignition", "Kenndaten aus Zündung lesen", "Lire paramètres ECU",
      "Čtení parametrů ze zapalování"}},
    {"MenuExit",
     P::Hint,
     0,
     {"End of program", "Programm beenden", "Sortir du programme", "Ukončení programu"}},
    {"MenuLanguage",
     P::Hint,
     0,
     {"Set English or German or French or Czech ",
      "wählen sie Englisch, Deutsch, Französisch oder Tschechisch ",
      "installer lange; Englais,Allemand , Francais ou Czech",
      "Nastavení jazyka na angličtinu, němčinu, francozštinu nebo češtinu "}},
    {"CheckBoxProgHned",
     P::Hint,
     0,
     {"Programing at once after change", "Programmmieren sofort nach dem änderung",
      "Programation instantanée des modifications", "Programování ihned po změně"}},
    {"MenuCom",
     P::Hint,
     0,
     {"Set number of com", "Com-Anschluß festlegen", "installer nombre de com",
      "Nastavení čísla serivého portu (Com) "}},
    {"MenuRecord",
     P::Caption,
     0,
     {"Workshop &record (PDF)...", "&Werkstattprotokoll (PDF)...", "&Fiche d'atelier (PDF)...",
      "&Servisní záznam (PDF)..."}},
    {"MenuCompare",
     P::Caption,
     0,
     {"Co&mpare with file...", "Mit Datei &vergleichen...", "&Comparer avec un fichier...",
      "Po&rovnat se souborem..."}},
    {"MenuBackups",
     P::Caption,
     0,
     {"Open &backup...", "Sic&herung öffnen...", "Ouvrir une sauve&garde...",
      "Otevřít &zálohu..."}},
    {"MenuLog",
     P::Caption,
     0,
     {"Monitor &log", "Monitor&protokoll", "&Journal du moniteur", "&Záznam monitoru"}},
    {"MenuRecord",
     P::Hint,
     0,
     {"Write the window, the parameters and the last transfer into a PDF file",
      "Fenster, Parameter und letzte Übertragung in eine PDF-Datei schreiben",
      "Écrire la fenêtre, les paramètres et le dernier transfert dans un fichier PDF",
      "Zapsat okno, parametry a poslední přenos do souboru PDF"}},
    {"MenuCompare",
     P::Hint,
     0,
     {"Show the parameters that differ from a file",
      "Parameter anzeigen, die von einer Datei abweichen",
      "Afficher les paramètres qui diffèrent d'un fichier",
      "Zobrazit parametry, které se liší od souboru"}},
    {"MenuBackups",
     P::Hint,
     0,
     {"Open a set read from a unit earlier",
      "Einen früher aus der Zündung gelesenen Datensatz öffnen",
      "Ouvrir des paramètres lus auparavant dans un boîtier",
      "Otevřít parametry dříve přečtené ze zapalování"}},
    {"MenuLog",
     P::Hint,
     0,
     {"Write every monitor frame into a CSV file",
      "Jeden Monitordatensatz in eine CSV-Datei schreiben",
      "Écrire chaque trame du moniteur dans un fichier CSV",
      "Zapisovat každý rámec monitoru do souboru CSV"}},
    {"MenuLogViewer",
     P::Caption,
     0,
     {"Log &viewer...", "Protokoll&betrachter...", "&Visionneuse de journal...",
      "&Prohlížeč záznamu..."}},
    {"MenuLogViewer",
     P::Hint,
     0,
     {"Open a monitor log and replay the ride",
      "Ein Monitorprotokoll öffnen und die Fahrt abspielen",
      "Ouvrir un journal du moniteur et rejouer le parcours",
      "Otevřít záznam monitoru a přehrát jízdu"}},
    {"LabelUnitState",
     P::Hint,
     0,
     {"Whether the unit holds the set shown, as the last Read, Program or Verify found",
      "Ob die Zündung den angezeigten Datensatz enthält, wie das letzte Lesen, Programmieren oder "
      "Vergleichen ergab",
      "Si le boîtier contient les paramètres affichés, selon la dernière lecture, programmation ou "
      "vérification",
      "Zda zapalování obsahuje zobrazené parametry, podle posledního čtení, programování nebo "
      "verifikace"}},
    {"ImageCurve",
     P::Hint,
     0,
     {"Drag a point of the curve, or click it and move it with the arrow keys",
      "Einen Kurvenpunkt ziehen, oder anklicken und mit den Pfeiltasten verschieben",
      "Faites glisser un point de la courbe, ou cliquez dessus et déplacez-le avec les flèches",
      "Přetáhněte bod křivky, nebo na něj klikněte a posuňte jej šipkami"}},
};

const std::array<const char*, LANGUAGE_COUNT> COM_HINT_PREFIX = {
    "Set com", "Com-Anschluß auswahl", "installer com", "Nastavení komunikace na port com"};

using Key = std::tuple<std::string, CaptionProperty, int>;

// Accessible names, which no user sees, are kept apart from the rows shown.
struct Collected {
    std::map<Key, std::string> Rows;
    std::map<std::string, std::string> Names;
    std::vector<Key> Duplicates;
};

void Collect(std::string_view control, CaptionProperty what, int item, std::string_view text,
             void* context) {
    auto* c = static_cast<Collected*>(context);
    Key key{std::string(control), what, item};
    const bool added = what == P::Name
                           ? c->Names.emplace(std::string(control), std::string(text)).second
                           : c->Rows.emplace(key, std::string(text)).second;
    if (!added) c->Duplicates.push_back(key);
}

Collected Emit(TLanguage language, const TMessageTable& messages) {
    Collected c;
    ForEachCaption(language, messages, &Collect, &c);
    return c;
}

Collected Emit(TLanguage language) {
    TMessageTable messages;
    FillMessageTable(language, messages);
    return Emit(language, messages);
}

std::string Describe(const Key& k) {
    return std::get<0>(k) + " property " + std::to_string(static_cast<int>(std::get<1>(k))) +
           " item " + std::to_string(std::get<2>(k));
}

std::map<Key, std::string> ExpectedFor(TLanguage language) {
    std::map<Key, std::string> rows;
    for (const ExpectedRow& e : EXPECTED)
        rows.emplace(Key{e.Control, e.What, e.Item}, e.Text[language]);
    for (int n = 1; n <= 10; ++n)
        rows.emplace(Key{"MenuCom" + std::to_string(n), P::Hint, 0},
                     std::string(COM_HINT_PREFIX[language]) + " " + std::to_string(n));
    return rows;
}

// Exactly the expected rows, each once, with its text: a missing row, a stray
// row (e.g. the monitor read-outs the window resets itself, or a hint that
// stays fixed) and a wrong byte all show up here.
TEST(CaptionTable, EveryRowInEveryLanguage) {
    for (TLanguage l = 0; l < LANGUAGE_COUNT; ++l) {
        const Collected got = Emit(l);
        const std::map<Key, std::string> want = ExpectedFor(l);
        for (const Key& k : got.Duplicates)
            ADD_FAILURE() << "language " << +l << ": emitted twice: " << Describe(k);
        for (const auto& [key, text] : want) {
            auto it = got.Rows.find(key);
            if (it == got.Rows.end())
                ADD_FAILURE() << "language " << +l << ": missing " << Describe(key);
            else
                EXPECT_EQ(it->second, text) << "language " << +l << ": " << Describe(key);
        }
        for (const auto& [key, text] : got.Rows)
            if (want.count(key) == 0)
                ADD_FAILURE() << "language " << +l << ": unexpected " << Describe(key) << " = "
                              << text;
    }
}

TEST(CaptionTable, PortHintsCarryTheNumberAfterABlank) {
    const Collected czech = Emit(LANG_CZECH);
    EXPECT_EQ(czech.Rows.at(Key{"MenuCom10", P::Hint, 0}), "Nastavení komunikace na port com 10");
    const Collected english = Emit(LANG_ENGLISH);
    EXPECT_EQ(english.Rows.at(Key{"MenuCom1", P::Hint, 0}), "Set com 1");
}

// The composed rows are built from whatever the message table holds, so they
// always agree with the texts shown at run time.
TEST(CaptionTable, ComposedRowsFollowTheMessageTable) {
    TMessageTable m;
    FillMessageTable(LANG_FRENCH, m);
    m.MsgRead = "R";
    m.MsgVerify = "V";
    m.MsgProgramming = "P";
    m.MsgAdvance = "A";
    m.MsgInput = "I";
    const Collected c = Emit(LANG_FRENCH, m);
    const std::pair<const char*, const char*> cases[] = {
        {"MenuRead", "&R"},          {"ButtonRead", "&R"},       {"MenuVerify", "&V"},
        {"ButtonVerify", "&V"},      {"MenuProgram", "&P"},      {"ButtonProgram", "&P"},
        {"MenuAdvanceMinus", "A -"}, {"MenuAdvancePlus", "A +"}, {"RadioGroupInput1", "I 1"},
        {"RadioGroupInput2", "I 2"}, {"LabelFile1", "&Fichier:"}};
    for (const auto& [control, text] : cases)
        EXPECT_EQ(c.Rows.at(Key{control, P::Caption, 0}), text) << control;
}

TEST(CaptionTable, ListsKeepTheirLength) {
    const std::pair<const char*, size_t> groups[] = {
        {"RadioGroupPolarita", 3}, {"RadioGroupInput1", 5}, {"RadioGroupInput2", 5}};
    for (TLanguage l = 0; l < LANGUAGE_COUNT; ++l) {
        const Collected c = Emit(l);
        for (const auto& [control, count] : groups) {
            const std::string& items = c.Rows.at(Key{control, P::Items, 0});
            EXPECT_EQ(static_cast<size_t>(std::count(items.begin(), items.end(), '\n')) + 1, count)
                << control << " language " << +l;
        }
        for (const auto& [key, text] : c.Rows)
            if (std::get<1>(key) == P::Item) {
                EXPECT_EQ(std::get<0>(key), "ComboBoxPocPalcu");
                EXPECT_GE(std::get<2>(key), 0);
                EXPECT_LE(std::get<2>(key), 3);
            }
    }
}

// Names for the screen reader in every language, as the label or menu item
// beside the control says it (every control named: tests/ui/AccessibleNamesTest).
TEST(CaptionTable, AccessibleNamesTellTheControlsApart) {
    for (TLanguage l = 0; l < LANGUAGE_COUNT; ++l)
        EXPECT_TRUE(Emit(l).Duplicates.empty()) << +l;
    struct Case {
        TLanguage Language;
        const char* Control;
        const char* Name;
    } cases[] = {
        {LANG_ENGLISH, "EditRpmAdv3", "Engine speed of point 3"},
        {LANG_ENGLISH, "EditAdvance3", "Advance of point 3"},
        {LANG_ENGLISH, "UpDownAdvance15", "Advance of point 15, up and down"},
        {LANG_ENGLISH, "EditRpmPulsu", "Tachometer output: Pulses per revolution"},
        {LANG_ENGLISH, "EditRpmKorekce", "Tachometer output: Correction [%]"},
        {LANG_ENGLISH, "SpeedButton7", "Save"},
        {LANG_ENGLISH, "BitBtnAdvPlus", "Advance +"},
        {LANG_GERMAN, "EditRpmAdv3", "Drehzahl von Punkt 3"},
        {LANG_GERMAN, "EditRpmKorekce", "Drehzählerausgang: Korrektion [%]"},
        {LANG_GERMAN, "SpeedButton5", "Öffnen"},
        {LANG_FRENCH, "EditAdvance12", "Avance du point 12"},
        {LANG_CZECH, "SpeedButtonZnovu", "Znovu"},
        {LANG_CZECH, "UpDownOmez2", "Omezovač [rpm], nahoru a dolů"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Emit(k.Language).Names.at(k.Control), k.Name) << k.Control;
}

TEST(CaptionTable, LanguageAboveCzechReadsAsEnglish) {
    const Collected english = Emit(LANG_ENGLISH);
    for (TLanguage l : {TLanguage{4}, TLanguage{200}, TLanguage{255}}) {
        const Collected bad = Emit(l);
        EXPECT_EQ(bad.Rows, english.Rows) << +l;
    }
}

} // namespace
} // namespace kelmor

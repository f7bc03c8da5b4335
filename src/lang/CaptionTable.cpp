// The captions, list items and hints of the main window in four languages.
#include <map>
#include <string>

#include "lang/CaptionTable.h"

namespace kelmor {

namespace {
using P = CaptionProperty;

struct CaptionTarget {
    const char* Control;
    const char* Twin; // a second control that takes the same text, or nullptr
    CaptionProperty What;
    int Item;
};

struct CaptionRow {
    CaptionTarget Target;
    LanguageTexts Text;
};

// Also the base of the LabelFile1 caption.
constexpr LanguageTexts MENU_FILE = {"&File", "&Datei", "&Fichier", "&Soubor"};

constexpr CaptionRow ROWS[] = {
    // Window title; the product name stands between double quotes.
    {{"FormHlav", nullptr, P::Caption, 0},
     {"Programming of \"ZEV Torvanic\" unit", "Programmierung der \"ZEV Torvanic\" QLX Zündbox",
      "Programmation du boîtier \"ZEV Torvanic\"",
      "Programování jednotky zapalování\"ZEV Torvanic\""}},
    {{"LabelSpojeni", nullptr, P::Caption, 0},
     {"No connection with PC", "Keine Verbindung zum PC", "Pas de connection acec pc",
      "Není spojení s PC"}},
    {{"MenuFile", nullptr, P::Caption, 0}, MENU_FILE},
    {{"MenuNew", nullptr, P::Caption, 0}, {"&New", "&Neu", "&Nouveau", "&Nový"}},
    {{"MenuOpen", nullptr, P::Caption, 0}, {"&Open", "&Öffnen", "&Ouvrir", "&Otevřít"}},
    {{"MenuSave", nullptr, P::Caption, 0}, {"&Save", "&Speichern", "&Mèmoriser", "&Uložit"}},
    {{"MenuPrint", nullptr, P::Caption, 0}, {"&Print", "&Drucken", "&Imprimer", "&Tisk"}},
    {{"MenuExit", nullptr, P::Caption, 0}, {"E&xit", "&Beenden", "&Sortir", "&Konec"}},
    {{"MenuCom", nullptr, P::Caption, 0}, {"&Com", "&COM-Anschluß", "&Connection com", "&Port"}},
    {{"MenuDevice", nullptr, P::Caption, 0}, {"&Ignition", "&Zündung", "&Allumage", "&Zapalování"}},
    {{"MenuTools", nullptr, P::Caption, 0}, {"Tools", "Werkzeuge", "Outillage", "Pomůcky"}},
    {{"MenuLanguage", nullptr, P::Caption, 0}, {"&Language", "&Sprache", "&Langue", "&Jazyk"}},
    {{"MenuEnglish", nullptr, P::Caption, 0}, {"&English", "&Englisch", "&Englais", "&Anglicky"}},
    {{"MenuGerman", nullptr, P::Caption, 0}, {"&German", "&Deutsch", "&Allemand", "&Německy"}},
    {{"MenuFrench", nullptr, P::Caption, 0},
     {"&French", "&Französisch", "&Francais", "Francouzky"}},
    {{"MenuCzech", nullptr, P::Caption, 0}, {"&Czech", "&Tschechisch", "&Tchèque", "Če&sky"}},
    {{"MenuHelp", nullptr, P::Caption, 0}, {"&Help", "&Hilfe", "&Aide", "Nápověda"}},
    {{"MenuContens", nullptr, P::Caption, 0}, {"&Contents...", "&Inhalt...", "&Contenu", "Obsah"}},
    {{"MenuAbout", nullptr, P::Caption, 0},
     {"&About...", "&Über Programm...", "&Contenu du programme", "&O programu..."}},
    {{"CheckBoxIgnAll", nullptr, P::Caption, 0}, {"All", "Alles", "Tout", "Vše"}},
    {{"CheckBoxProgHned", nullptr, P::Caption, 0},
     {"Programming after change", "Programmierung nach Änderung", "Sovegarde après modification",
      "Programování po změně"}},
    {{"LabelAdvance1", "LabelAdvance2", P::Caption, 0},
     {"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"}},
    {{"LabelOmez2", nullptr, P::Caption, 0},
     {"Limiter [rpm]", "Begrenzer [rpm]", "Limitateur [rpm]", "Omezovač [rpm]"}},
    {{"LabelBaseAdv", nullptr, P::Caption, 0},
     {"Base advance [°]", "Basis Vorzündung [°]", "Avance de base [°]", "Základní předstih [°]"}},
    {{"LabelPocetBodu", nullptr, P::Caption, 0},
     {"Number of items", "Anzahl der Stützpunkte", "Nombre de points", "Počet bodů"}},
    {{"RadioGroupPolarita", nullptr, P::Caption, 0},
     {"Polarity of CPS:", "Polarität des CPS:", "Polarité CPS", "Polarita CPS:"}},
    {{"RadioGroupPolarita", nullptr, P::Items, 0},
     {"Positive\nNegative\nSelfsearch", "Positiv\nNegativ\nAutomatisch",
      "Positif\nNégatif\nAutomatique", "Kladná\nZáporná\nSamohledání"}},
    {{"GroupBoxRpm", nullptr, P::Caption, 0},
     {"Tachometer output", "Drehzählerausgang", "Tachometer output", "Výstup pro otáčkoměr"}},
    {{"LabelRpmPulsu", nullptr, P::Caption, 0},
     {"Pulses per revolution", "Pulse pro Umdrehung", "Pulses per revolution",
      "Počet pulsů za otáčku"}},
    {{"LabelRpmKorekce", nullptr, P::Caption, 0},
     {"Correction [%]", "Korrektion [%]", "Correction [%]", "Korekce [%]"}},
    {{"MenuZpet", nullptr, P::Caption, 0}, {"Undo", "Zurück", "Undo", "Zpět"}},
    {{"MenuZnovu", nullptr, P::Caption, 0}, {"Redo", "Wieder", "Redo", "Znovu"}},
    // Controls that are never shown still carry their texts.
    {{"CheckBoxZakazCteni", nullptr, P::Caption, 0},
     {"No Reading", "Lesen Verboten", "Pas axessible", "Zákaz čtení"}},
    {{"LabelOmez1", nullptr, P::Caption, 0},
     {"Start limiter [rpm]", "Startbegrenzer [rpm]", "Limitateur départ [rpm]",
      "Startovací omezovač [rpm]"}},
    {{"ComboBoxPocPalcu", nullptr, P::Item, 0},
     {"1 ignition per revolution", "1 Zündung pro Umdrehung", "1 ignition per revolution",
      "1 zápal za otáčku"}},
    {{"ComboBoxPocPalcu", nullptr, P::Item, 1},
     {"2 ignitions per revolution", "2 Zündungen pro Umdrehung", "2 ignitions per revolution",
      "2 zápaly za otáčku"}},
    {{"ComboBoxPocPalcu", nullptr, P::Item, 2},
     {"3 ignitions per revolution", "3 Zündungen pro Umdrehung", "3 ignitions per revolution",
      "3 zápaly za otáčku"}},
    {{"ComboBoxPocPalcu", nullptr, P::Item, 3},
     {"1 ignition per 2 revolutions (camshaft)", "1 Zündung pro 2 Umdrehungen (Nockenwelle)",
      "1 ignition per 2 revolutions (camshaft)", "1 zápal za 2 otáčky (vačkový hřídel)"}},
    {{"LabelRetard", nullptr, P::Caption, 0},
     {"Retard [°]", "Spätzündung [°]", "Retard d´allumage[°]", "Snížení předstihu [°]"}},
    {{"LabelLedRazeni", nullptr, P::Caption, 0},
     {"Gear shift light [rpm]", "Schaltblitz [rpm]", "Témoin de changement de rapport [rpm]",
      "Kontrolka řazení [rpm]"}},
    {{"CheckBoxRevOutLedRazeni", nullptr, P::Caption, 0},
     {"Reverse otput polarity", "Umgekehrte Ausgangpolarität", "Reverse otput polarity",
      "Opačná polarita výstupu"}},
    {{"RadioGroupInput1", nullptr, P::Items, 0},
     {"Off\nKill switch\nClutch master\nRetard\nStart Limiter",
      "Aus\nNot Aus\nSchaltautomat\nSpätzündung\nStartbegrenzer",
      "Off\nInterrupteur de sécurité\npar embeillage\nRetard à l´allumage\nLimitateur départ",
      "Vypnut\nKill switch\nClutch master\nSnížení předstihu\nStartovací omezovač"}},
    {{"RadioGroupInput2", nullptr, P::Items, 0},
     {"Off\nBlocking\nClutch master\nRetard\nStart Limiter",
      "Aus\nBlockierung\nSchaltautomat\nSpätzündung\nStartbegrenzer",
      "Off\nBlocage\npar embeillage\nRetard à l´allumage\nLimitateur départ",
      "Vypnut\nBlokování\nClutch master\nSnížení předstihu\nStartovací omezovač"}},
    {{"GroupBoxMonInput", nullptr, P::Caption, 0},
     {"Input to ground", "Eingang zu Erde", "Entrée de terre", "Vstup uzeměn"}},
    // Hints ("short|long", or one text for both).
    {{"LabelRpm1", "LabelRpm2", P::Hint, 0},
     {"Round per Minute|Speed - Round per Minute", "Umdrehungen pro Minute", "Tours minute",
      "Otáčky za minutu|Rychlost - Otáčky za minutu"}},
    {{"LabelVerze1", nullptr, P::Hint, 0},
     {"Version of program in ignition", "Programmverion der Zündung",
      "Variantes de courbe d´avance", "Verze programu v zapalování"}},
    {{"LabelVerze2", nullptr, P::Hint, 0},
     {"Date of program in ignition", "Datum des Programm in der Zündung",
      "Date de programation de la courbe d´avance", "Datum zhotovení programu v zapalování"}},
    {{"LabelVerze3", nullptr, P::Hint, 0},
     {"Time of program in ignition", "Programmierzeitpunkt der Zündung",
      "Temp de programation de la courbe d´avance", "Čas zhotovení programu v zapalování"}},
    {{"SpeedButton5", "MenuOpen", P::Hint, 0},
     {"Open file with parametrs", "Kenndatendatei öffnen", "Ouvrir fichier avec paramètres",
      "Otevření souboru s parametry"}},
    {{"SpeedButton6", "MenuNew", P::Hint, 0},
     {"Set default parametrs", "neue Kenndatendatei erstellen",
      "Reprogramation des paramètres initial Dórigine", "Nastavení výchozích parametrů"}},
    {{"SpeedButton7", "MenuSave", P::Hint, 0},
     {"Save parametrs to file", "Kenndaten in Datei speichern", "Sauvegarder les paramètres",
      "Uložení parametrů do souboru"}},
    {{"SpeedButtonPrint", "MenuPrint", P::Hint, 0},
     {"Print parametrs", "Kenndaten Drucken", "Imprimer paramètres", "Tisk parametrů"}},
    {{"ButtonProgram", "MenuProgram", P::Hint, 0},
     {"Programing  set parametrs to ignition", "Kenndaten in die Zündung programmieren",
      "Programer les paramètres dans ECU", "Programování nastavených parametrů do zapalování"}},
    {{"ButtonVerify", "MenuVerify", P::Hint, 0},
     {"Compare set parametrs  with parametrs of ignition",
      "Kenndaten mit Zündungskenndaten vergleichen", "Comparer les paramètres de ECU",
      "Ověření zda  nastavené parametry souhlasí s parametry naprogramovanými do zapalování"}},
    {{"BitBtnAdvMinus", nullptr, P::Hint, 0},
     {"Take off 1 degree of Advance", "Vorzündung minus 1 Grad",
      "Retarder de 1 degré l´avance a l´allumage", "Zmenšení předstihu o 1 stupeň"}},
    {{"BitBtnAdvPlus", nullptr, P::Hint, 0},
     {"Add 1 degree of Advance", "Vorzündung plus 1 Grad",
      "Avance accroître l´avance a l´allumage de 1 degré", "Zvětšení předstihu o 1 stupeň"}},
    {{"ButtonRead", "MenuRead", P::Hint, 0},
     {"Reading parametrs from ignition", "Kenndaten aus Zündung lesen", "Lire paramètres ECU",
      "Čtení parametrů ze zapalování"}},
    {{"MenuExit", nullptr, P::Hint, 0},
     {"End of program", "Programm beenden", "Sortir du programme", "Ukončení programu"}},
    {{"MenuLanguage", nullptr, P::Hint, 0},
     {"Set English or German or French or Czech ",
      "wählen sie Englisch, Deutsch, Französisch oder Tschechisch ",
      "installer lange; Englais,Allemand , Francais ou Czech",
      "Nastavení jazyka na angličtinu, němčinu, francozštinu nebo češtinu "}},
    {{"CheckBoxProgHned", nullptr, P::Hint, 0},
     {"Programing at once after change", "Programmmieren sofort nach dem änderung",
      "Programation instantanée des modifications", "Programování ihned po změně"}},
    {{"MenuCom", nullptr, P::Hint, 0},
     {"Set number of com", "Com-Anschluß festlegen", "installer nombre de com",
      "Nastavení čísla serivého portu (Com) "}},
    // The language items keep one hint each, the same in every language.
    {{"MenuEnglish", nullptr, P::Hint, 0},
     {"Set English menu", "Set English menu", "Set English menu", "Set English menu"}},
    {{"MenuGerman", nullptr, P::Hint, 0},
     {"Deutsches Menü", "Deutsches Menü", "Deutsches Menü", "Deutsches Menü"}},
    {{"MenuFrench", nullptr, P::Hint, 0},
     {"Installer en Francais ", "Installer en Francais ", "Installer en Francais ",
      "Installer en Francais "}},
    {{"MenuCzech", nullptr, P::Hint, 0},
     {"Nastavit české menu", "Nastavit české menu", "Nastavit české menu", "Nastavit české menu"}},
    // The workshop record, comparison, backups and monitor log.
    {{"MenuRecord", nullptr, P::Caption, 0},
     {"Workshop &record (PDF)...", "&Werkstattprotokoll (PDF)...", "&Fiche d'atelier (PDF)...",
      "&Servisní záznam (PDF)..."}},
    {{"MenuCompare", nullptr, P::Caption, 0},
     {"Co&mpare with file...", "Mit Datei &vergleichen...", "&Comparer avec un fichier...",
      "Po&rovnat se souborem..."}},
    {{"MenuBackups", nullptr, P::Caption, 0},
     {"Open &backup...", "Sic&herung öffnen...", "Ouvrir une sauve&garde...",
      "Otevřít &zálohu..."}},
    {{"MenuLog", nullptr, P::Caption, 0},
     {"Monitor &log", "Monitor&protokoll", "&Journal du moniteur", "&Záznam monitoru"}},
    {{"MenuRecord", nullptr, P::Hint, 0},
     {"Write the window, the parameters and the last transfer into a PDF file",
      "Fenster, Parameter und letzte Übertragung in eine PDF-Datei schreiben",
      "Écrire la fenêtre, les paramètres et le dernier transfert dans un fichier PDF",
      "Zapsat okno, parametry a poslední přenos do souboru PDF"}},
    {{"MenuCompare", nullptr, P::Hint, 0},
     {"Show the parameters that differ from a file",
      "Parameter anzeigen, die von einer Datei abweichen",
      "Afficher les paramètres qui diffèrent d'un fichier",
      "Zobrazit parametry, které se liší od souboru"}},
    {{"MenuBackups", nullptr, P::Hint, 0},
     {"Open a set read from a unit earlier",
      "Einen früher aus der Zündung gelesenen Datensatz öffnen",
      "Ouvrir des paramètres lus auparavant dans un boîtier",
      "Otevřít parametry dříve přečtené ze zapalování"}},
    {{"MenuLog", nullptr, P::Hint, 0},
     {"Write every monitor frame into a CSV file",
      "Jeden Monitordatensatz in eine CSV-Datei schreiben",
      "Écrire chaque trame du moniteur dans un fichier CSV",
      "Zapisovat každý rámec monitoru do souboru CSV"}},
    // The log viewer, the unit's state and the chart as an editor.
    {{"MenuLogViewer", nullptr, P::Caption, 0},
     {"Log &viewer...", "Protokoll&betrachter...", "&Visionneuse de journal...",
      "&Prohlížeč záznamu..."}},
    {{"MenuLogViewer", nullptr, P::Hint, 0},
     {"Open a monitor log and replay the ride",
      "Ein Monitorprotokoll öffnen und die Fahrt abspielen",
      "Ouvrir un journal du moniteur et rejouer le parcours",
      "Otevřít záznam monitoru a přehrát jízdu"}},
    {{"LabelUnitState", nullptr, P::Hint, 0},
     {"Whether the unit holds the set shown, as the last Read, Program or Verify found",
      "Ob die Zündung den angezeigten Datensatz enthält, wie das letzte Lesen, Programmieren oder "
      "Vergleichen ergab",
      "Si le boîtier contient les paramètres affichés, selon la dernière lecture, programmation ou "
      "vérification",
      "Zda zapalování obsahuje zobrazené parametry, podle posledního čtení, programování nebo "
      "verifikace"}},
    {{"ImageCurve", nullptr, P::Hint, 0},
     {"Drag a point of the curve, or click it and move it with the arrow keys",
      "Einen Kurvenpunkt ziehen, oder anklicken und mit den Pfeiltasten verschieben",
      "Faites glisser un point de la courbe, ou cliquez dessus et déplacez-le avec les flèches",
      "Přetáhněte bod křivky, nebo na něj klikněte a posuňte jej šipkami"}},
};

// Accessible names of controls whose caption does not say what they are.
// Edits and tool buttons take theirs from the label or menu item beside
// them (ForEachCaption); these have none.
constexpr CaptionRow NAME_ROWS[] = {
    {{"CheckBoxIgnAll", nullptr, P::Name, 0},
     {"Advance - and + on all points", "Vorzündung - und + an allen Punkten",
      "Avance - et + sur tous les points", "Předstih - a + na všech bodech"}},
    {{"ComboBoxBike", nullptr, P::Name, 0},
     {"Type of keying", "Typ der Kodierung", "Type de codage", "Typ kódování"}},
    {{"ComboBoxPocPalcu", nullptr, P::Name, 0},
     {"Pick-up type", "Gebertyp", "Type de capteur", "Typ snímače"}},
    {{"ImageCurve", nullptr, P::Name, 0},
     {"Advance curve", "Zündkurve", "Courbe d'avance", "Křivka předstihu"}},
};

// The curve edits: a prefix, a blank and the point number.
constexpr LanguageTexts POINT_RPM_NAME = {"Engine speed of point", "Drehzahl von Punkt",
                                          "Régime du point", "Otáčky bodu"};
constexpr LanguageTexts POINT_ADVANCE_NAME = {"Advance of point", "Vorzündung von Punkt",
                                              "Avance du point", "Předstih bodu"};
// A spinner's arrows: its edit's name, a comma and this.
constexpr LanguageTexts ARROWS_NAME = {"up and down", "auf und ab", "haut et bas", "nahoru a dolů"};

// Edits named after the label beside them, and the arrows of every spinner
// after their edit.
struct NamedAfter {
    const char* Control;
    const char* Label;
    const char* Group; // a group box whose caption goes first, or nullptr
};
constexpr NamedAfter NAMED_AFTER_LABEL[] = {
    {"EditPocetBodu", "LabelPocetBodu", nullptr},
    {"EditBaseAdv", "LabelBaseAdv", nullptr},
    {"EditOmez2", "LabelOmez2", nullptr},
    {"EditOmez1", "LabelOmez1", nullptr},
    {"EditRetard", "LabelRetard", nullptr},
    {"EditLedRazeni", "LabelLedRazeni", nullptr},
    {"EditRpmPulsu", "LabelRpmPulsu", "GroupBoxRpm"},
    {"EditRpmKorekce", "LabelRpmKorekce", "GroupBoxRpm"},
    // The tool buttons show only a picture: they are named as their menu item.
    {"SpeedButton6", "MenuNew", nullptr},
    {"SpeedButton5", "MenuOpen", nullptr},
    {"SpeedButton7", "MenuSave", nullptr},
    {"SpeedButtonPrint", "MenuPrint", nullptr},
    {"SpeedButtonZpet", "MenuZpet", nullptr},
    {"SpeedButtonZnovu", "MenuZnovu", nullptr},
};
constexpr const char* SPINNERS[][2] = {
    {"UpDownPocetBodu", "EditPocetBodu"}, {"UpDownBaseAdv", "EditBaseAdv"},
    {"UpDownOmez2", "EditOmez2"},         {"UpDownOmez1", "EditOmez1"},
    {"UpDownRetard", "EditRetard"},       {"UpDownLedRazeni", "EditLedRazeni"},
    {"UpDownRpmPulsu", "EditRpmPulsu"},   {"UpDownRpmKorekce", "EditRpmKorekce"},
    {"UpDownClutch1", "EditClutch1"},     {"UpDownClutch2", "EditClutch2"},
};

// Hint of the port items: the prefix, a blank and the port number.
constexpr LanguageTexts COM_HINT_PREFIX = {"Set com", "Com-Anschluß auswahl", "installer com",
                                           "Nastavení komunikace na port com"};

constexpr const char* COM_ITEMS[] = {"MenuCom1", "MenuCom2", "MenuCom3", "MenuCom4", "MenuCom5",
                                     "MenuCom6", "MenuCom7", "MenuCom8", "MenuCom9", "MenuCom10"};

// "&x" shows as x, "&&" as "&".
std::string WithoutMnemonic(std::string_view caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

// The caption a row of the table gives `control` in language l.
std::string CaptionOf(std::string_view control, size_t l) {
    for (const CaptionRow& row : ROWS)
        if (row.Target.What == P::Caption &&
            (control == row.Target.Control ||
             (row.Target.Twin != nullptr && control == row.Target.Twin)))
            return WithoutMnemonic(row.Text[l]);
    return {};
}

// Every accessible name; captions and messages as they are set in language l.
void ForEachName(size_t l, const TMessageTable& messages, CaptionSink apply, void* context) {
    for (const CaptionRow& row : NAME_ROWS)
        apply(row.Target.Control, P::Name, 0, row.Text[l], context);
    std::map<std::string_view, std::string> names;
    auto name = [&](std::string_view control, std::string text) {
        apply(control, P::Name, 0, text, context);
        names[control] = std::move(text);
    };
    for (const NamedAfter& n : NAMED_AFTER_LABEL)
        name(n.Control, n.Group == nullptr ? CaptionOf(n.Label, l)
                                           : CaptionOf(n.Group, l) + ": " + CaptionOf(n.Label, l));
    name("EditClutch1", messages.MsgClutchTime);
    name("EditClutch2", messages.MsgClutchPause);
    name("BitBtnAdvMinus", messages.MsgAdvance + " -");
    name("BitBtnAdvPlus", messages.MsgAdvance + " +");
    const std::string arrows = std::string(", ") + ARROWS_NAME[l];
    for (int n = 1; n <= 15; ++n) {
        const std::string number = std::to_string(n);
        const std::string rpm = POINT_RPM_NAME[l] + (" " + number);
        const std::string advance = POINT_ADVANCE_NAME[l] + (" " + number);
        apply("EditRpmAdv" + number, P::Name, 0, rpm, context);
        apply("UpDownRpmAdv" + number, P::Name, 0, rpm + arrows, context);
        apply("EditAdvance" + number, P::Name, 0, advance, context);
        apply("UpDownAdvance" + number, P::Name, 0, advance + arrows, context);
    }
    for (const auto& [updown, edit] : SPINNERS)
        apply(updown, P::Name, 0, names[edit] + arrows, context);
}

} // namespace

std::string ComItemHint(TLanguage language, int n) {
    return std::string(COM_HINT_PREFIX[static_cast<size_t>(LanguageIndex(language))]) + " " +
           std::to_string(n);
}

void ForEachCaption(TLanguage language, const TMessageTable& messages, CaptionSink apply,
                    void* context) {
    const auto l = static_cast<size_t>(LanguageIndex(language));
    for (const CaptionRow& row : ROWS) {
        apply(row.Target.Control, row.Target.What, row.Target.Item, row.Text[l], context);
        if (row.Target.Twin != nullptr)
            apply(row.Target.Twin, row.Target.What, row.Target.Item, row.Text[l], context);
    }

    // Rows composed from the message table, which the caller has filled already.
    std::string text = std::string(MENU_FILE[l]) + ":";
    apply("LabelFile1", P::Caption, 0, text, context);
    text = "&" + messages.MsgRead;
    apply("MenuRead", P::Caption, 0, text, context);
    apply("ButtonRead", P::Caption, 0, text, context);
    text = "&" + messages.MsgVerify;
    apply("MenuVerify", P::Caption, 0, text, context);
    apply("ButtonVerify", P::Caption, 0, text, context);
    text = "&" + messages.MsgProgramming;
    apply("MenuProgram", P::Caption, 0, text, context);
    apply("ButtonProgram", P::Caption, 0, text, context);
    apply("MenuAdvanceMinus", P::Caption, 0, messages.MsgAdvance + " -", context);
    apply("MenuAdvancePlus", P::Caption, 0, messages.MsgAdvance + " +", context);
    apply("RadioGroupInput1", P::Caption, 0, messages.MsgInput + " 1", context);
    apply("RadioGroupInput2", P::Caption, 0, messages.MsgInput + " 2", context);

    int port = 1;
    for (const char* item : COM_ITEMS)
        apply(item, P::Hint, 0, ComItemHint(language, port++), context);

    ForEachName(l, messages, apply, context);
}

} // namespace kelmor

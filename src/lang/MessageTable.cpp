// The run-time texts of the four languages.
#include <iterator>

#include "lang/TMessageTable.h"

namespace kelmor {

namespace {

struct MessageRow {
    MessageSlot Slot;
    LanguageTexts Text;
};

// In slot order. MsgFileOpenError holds only its base text and
// MsgManualOpenError nothing: both are composed in MessageText.
constexpr MessageRow MESSAGES[] = {
    {MessageSlot::MsgManualFile,
     {"manual_kelmor_en.pdf", "manual_kelmor_de.pdf", "manual_kelmor_fr.pdf",
      "manual_kelmor_cz.pdf"}},
    {MessageSlot::MsgProgramError,
     {"Program error!", "Programmierfehler!", "Erreur de programmation!", "Chyba programování"}},
    {MessageSlot::MsgVerifyError,
     {"Verify error!", "Vergleichsfehler", "Verifier erreur!", "Chyba verifikace!"}},
    {MessageSlot::MsgReadError, {"Read error!", "Lesefehler", "Lire erreur!", "Chyba čtení!"}},
    {MessageSlot::MsgProgramming, {"Programing", "Programmieren", "Programmer", "Programování"}},
    {MessageSlot::MsgVerify, {"Verify", "Vergleichen", "Vérifier", "Verifikace"}},
    {MessageSlot::MsgRead, {"Read", "Lesen", "Lire", "Čtení"}},
    {MessageSlot::MsgSaving, {"Saving:", "Speichern:", "Mémorisation", "Ukládání:"}},
    {MessageSlot::MsgVersionMismatch,
     {"Unmatched version of PC and Ignition programs!",
      "Programm der Zündung ist nicht kompatibel mit dem Programm am PC!",
      "Programme du boitier d´alumage non compatible avec programme PC!",
      "Neshodné verze proramu v PC a zapalování!"}},
    {MessageSlot::MsgFileVersionMismatch,
     {"Unmatched version of *.ign file!", "Datei *.ign ist nicht kompatiebel!",
      "Programme du fichier non compatible avec programme PC!", "Neshodná verze souboru *.ign!"}},
    {MessageSlot::MsgPrintTime,
     {"Date and time of printing:  ", "Zeitpunkt des Ausdruckes   ",
      "Date et heur de l´imprimé:   ", "Datum a čas tisku:  "}},
    {MessageSlot::MsgPolarity,
     {"Polarity of CKPS", "Polarität des CKPS", "Polarité CKPS", "Polarita CKPS"}},
    {MessageSlot::MsgPositive, {"Positive", "Positiv", "Positif", "Kladná"}},
    {MessageSlot::MsgNegative, {"Negative", "Negativ", "Négatif", "Záporná"}},
    {MessageSlot::MsgComOpenError,
     {"Com opening error!", "Falscher COM-Anschlußes!", "Erreur connections PC!",
      "Chyba při otevírání portu Com!"}},
    {MessageSlot::MsgFileOpenError,
     {"Open file error", "Fehler beim öffnen der Datei", "Erreur ouvertur fichier",
      "Chyba při otevírání souboru"}},
    {MessageSlot::MsgAskDefaults,
     {"Do you want default setting?", "Wollen Sie Standardeinstellungen öffnen?",
      "Voulez vous la programation de base?", "Chcete nastavit základní hodnoty?"}},
    {MessageSlot::MsgNoReading,
     {"No reading!", "Lesen verboten!", "Pas axessible!", "Zákaz čtení!"}},
    {MessageSlot::MsgManualOpenError, {"", "", "", ""}},
    {MessageSlot::MsgAdvance, {"Advance", "Vorzündung", "Avance", "Předstih"}},
    {MessageSlot::MsgStartLimiter,
     {"Start limiter", "Startbegrenzer", "Limitateur départ", "Startovací omezovač"}},
    {MessageSlot::MsgLimiter, {"Limiter", "Begrenzer", "Limitateur", "Omezovač"}},
    {MessageSlot::MsgPilotLight,
     {"Gear shift light", "Schaltblitz", "Retard à l´allumage", "Kontrolka řazení"}},
    {MessageSlot::MsgClutchMaster,
     {"Clutch master", "Schaltautomat", "Clutch master", "Clutch master"}},
    {MessageSlot::MsgRetard, {"Retard", "Spätzündung", "Retard d´allumage", "Snížení předstihu"}},
    {MessageSlot::MsgBlocking, {"Motor off", "Motor off", "Blocage", "Blokování"}},
    {MessageSlot::MsgProgramCount,
     {"Number of Programing= ", "Programmierungsanzahl= ", "Nombre de programmations= ",
      "Počet programování= "}},
    {MessageSlot::MsgYes, {"Yes", "Ja", "Oui", "Ano"}},
    {MessageSlot::MsgNo, {"No", "Nein", "Non", "Ne"}},
    {MessageSlot::MsgPickup, {"Pick-up (CPS)", "Geber(CPS)", "Capteur(CPS)", "Snímač (CPS)"}},
    {MessageSlot::MsgRunning, {" is running", " läuft", " fonctionne", " pracuje"}},
    {MessageSlot::MsgNoSignal, {" no signal", " kein Signal", " pas de signal", " bez signálu"}},
    {MessageSlot::MsgInput, {"Input", "Eingang", "Entrée", "Vstup"}},
    {MessageSlot::MsgBasic, {"Basic", "Grund", "De base", "Základní"}},
    // The chart, monitor log, workshop record, backups and comparison.
    {MessageSlot::MsgMonitorLog,
     {"Logging to", "Protokoll in", "Enregistrement dans", "Záznam do"}},
    {MessageSlot::MsgLogFrames, {"frames:", "Datensätze:", "trames :", "počet rámců:"}},
    {MessageSlot::MsgLogError,
     {"The monitor log cannot be written, logging has stopped:",
      "Das Monitorprotokoll kann nicht geschrieben werden, die Protokollierung wurde beendet:",
      "Le journal du moniteur ne peut pas être écrit, l'enregistrement est arrêté :",
      "Záznam monitoru nelze zapsat, zaznamenávání bylo ukončeno:"}},
    {MessageSlot::MsgBackupError,
     {"The set read from the unit could not be kept as a backup in:",
      "Der aus der Zündung gelesene Datensatz konnte nicht als Sicherung gespeichert werden in:",
      "Les paramètres lus dans le boîtier n'ont pas pu être sauvegardés dans :",
      "Parametry přečtené ze zapalování nelze uložit jako zálohu do:"}},
    {MessageSlot::MsgNoBackups,
     {"No backup has been made yet in:", "Es wurde noch keine Sicherung angelegt in:",
      "Aucune sauvegarde n'a encore été faite dans :", "Zatím nebyla vytvořena žádná záloha v:"}},
    {MessageSlot::MsgRecordTitle,
     {"Workshop record", "Werkstattprotokoll", "Fiche d'atelier", "Servisní záznam"}},
    {MessageSlot::MsgRecordError,
     {"The workshop record could not be written:",
      "Das Werkstattprotokoll konnte nicht geschrieben werden:",
      "La fiche d'atelier n'a pas pu être écrite :", "Servisní záznam nelze zapsat:"}},
    {MessageSlot::MsgLastTransfer,
     {"Last transfer", "Letzte Übertragung", "Dernier transfert", "Poslední přenos"}},
    {MessageSlot::MsgNoTransfer,
     {"none since the start", "keine seit dem Start", "aucun depuis le démarrage",
      "od spuštění žádný"}},
    {MessageSlot::MsgParameter, {"Parameter", "Parameter", "Paramètre", "Parametr"}},
    {MessageSlot::MsgValueHere, {"In the window", "Im Fenster", "Dans la fenêtre", "V okně"}},
    {MessageSlot::MsgValueInFile, {"In the file", "In der Datei", "Dans le fichier", "V souboru"}},
    {MessageSlot::MsgCompareTitle,
     {"Differences from", "Unterschiede zu", "Différences avec", "Rozdíly oproti"}},
    {MessageSlot::MsgCompareEqual,
     {"The parameters are the same as in the file:", "Die Parameter stimmen mit der Datei überein:",
      "Les paramètres sont identiques à ceux du fichier :",
      "Parametry jsou stejné jako v souboru:"}},
    {MessageSlot::MsgPoint, {"Point", "Punkt", "Point", "Bod"}},
    {MessageSlot::MsgClutchTime,
     {"Clutch master time", "Schaltautomat Zeit", "Durée du clutch master", "Doba clutch master"}},
    {MessageSlot::MsgClutchPause,
     {"Clutch master pause", "Schaltautomat Pause", "Pause du clutch master",
      "Pauza clutch master"}},
    // The log viewer and the state of the set.
    {MessageSlot::MsgLogViewer,
     {"Log viewer", "Protokollbetrachter", "Visionneuse de journal", "Prohlížeč záznamu"}},
    {MessageSlot::MsgOpenLog,
     {"Open log...", "Protokoll öffnen...", "Ouvrir un journal...", "Otevřít záznam..."}},
    {MessageSlot::MsgPlay, {"Play", "Abspielen", "Lecture", "Přehrát"}},
    {MessageSlot::MsgPause, {"Pause", "Pause", "Pause", "Pozastavit"}},
    {MessageSlot::MsgCurveOfWindow,
     {"Curve of the main window", "Kurve des Hauptfensters", "Courbe de la fenêtre principale",
      "Křivka hlavního okna"}},
    {MessageSlot::MsgCurveFromFile,
     {"Curve from file...", "Kurve aus Datei...", "Courbe d'un fichier...",
      "Křivka ze souboru..."}},
    {MessageSlot::MsgLogNothing,
     {"The file holds no monitor log:", "Die Datei enthält kein Monitorprotokoll:",
      "Le fichier ne contient aucun journal du moniteur :", "Soubor neobsahuje záznam monitoru:"}},
    {MessageSlot::MsgLogBinary,
     {"The file holds bytes that are not text.", "Die Datei enthält Bytes, die kein Text sind.",
      "Le fichier contient des octets qui ne sont pas du texte.",
      "Soubor obsahuje bajty, které nejsou text."}},
    {MessageSlot::MsgLogTooLarge,
     {"The file is too large; only its beginning was read.",
      "Die Datei ist zu groß; nur ihr Anfang wurde gelesen.",
      "Le fichier est trop grand ; seul son début a été lu.",
      "Soubor je příliš velký; byl přečten jen jeho začátek."}},
    {MessageSlot::MsgLogNoHeader,
     {"The header line is missing; the usual order of the columns was taken.",
      "Die Kopfzeile fehlt; die übliche Reihenfolge der Spalten wurde angenommen.",
      "La ligne d'en-tête manque ; l'ordre habituel des colonnes a été pris.",
      "Chybí řádek záhlaví; bylo použito obvyklé pořadí sloupců."}},
    {MessageSlot::MsgLogNoTime,
     {"The time column is missing; one line every 330 ms was taken.",
      "Die Zeitspalte fehlt; eine Zeile alle 330 ms wurde angenommen.",
      "La colonne du temps manque ; une ligne toutes les 330 ms a été prise.",
      "Chybí sloupec času; byl použit jeden řádek každých 330 ms."}},
    {MessageSlot::MsgLogTruncated,
     {"The last line was cut off (logging ended abruptly) and was skipped.",
      "Die letzte Zeile war abgeschnitten (die Aufzeichnung endete abrupt) und wurde übersprungen.",
      "La dernière ligne était coupée (l'enregistrement s'est arrêté brusquement) et a été "
      "ignorée.",
      "Poslední řádek byl useknutý (záznam náhle skončil) a byl vynechán."}},
    {MessageSlot::MsgLogBadLines,
     {"Lines that could not be read, skipped:", "Nicht lesbare Zeilen, übersprungen:",
      "Lignes illisibles, ignorées :", "Nečitelné řádky, vynechány:"}},
    {MessageSlot::MsgLogOutOfOrder,
     {"Lines whose time goes back, skipped:", "Zeilen mit rückläufiger Zeit, übersprungen:",
      "Lignes dont le temps recule, ignorées :", "Řádky, jejichž čas jde zpět, vynechány:"}},
    {MessageSlot::MsgLogExtraValues,
     {"Lines with more values than columns (the extra values ignored):",
      "Zeilen mit mehr Werten als Spalten (die zusätzlichen Werte ignoriert):",
      "Lignes avec plus de valeurs que de colonnes (valeurs en trop ignorées) :",
      "Řádky s více hodnotami než sloupců (nadbytečné hodnoty vynechány):"}},
    {MessageSlot::MsgLogUnknownColumns,
     {"Columns not known here, ignored:", "Unbekannte Spalten, ignoriert:",
      "Colonnes inconnues, ignorées :", "Neznámé sloupce, vynechány:"}},
    {MessageSlot::MsgLogMissingColumns,
     {"Columns missing from the file, shown as ---:",
      "In der Datei fehlende Spalten, als --- angezeigt:",
      "Colonnes absentes du fichier, affichées comme --- :",
      "Sloupce chybějící v souboru, zobrazeny jako ---:"}},
    {MessageSlot::MsgUnitHolds,
     {"Unit holds this set", "Zündung: gleich", "Boîtier : identique", "Zapalování: shodné"}},
    {MessageSlot::MsgUnitDiffers,
     {"Unit differs", "Zündung: abweichend", "Boîtier : différent", "Zapalování: liší se"}},
    {MessageSlot::MsgUnitUnknown,
     {"Unit: not known", "Zündung: unbekannt", "Boîtier : inconnu", "Zapalování: neznámo"}},
    {MessageSlot::MsgLastSession,
     {"set of the last session", "Datensatz der letzten Sitzung",
      "paramètres de la dernière session", "parametry z minulého spuštění"}},
    // As the inputs' own choice calls it.
    {MessageSlot::MsgKillSwitch,
     {"Kill switch", "Not Aus", "Interrupteur de sécurité", "Kill switch"}},
    // Why a port did not open and what to do: they follow "device: ". "%s"
    // stands for the group that may use the device.
    {MessageSlot::MsgPortAbsent,
     {"no such device. Is the cable plugged in?", "kein solches Gerät. Ist das Kabel eingesteckt?",
      "périphérique introuvable. Le câble est-il branché ?",
      "takové zařízení neexistuje. Je kabel zapojený?"}},
    {MessageSlot::MsgPortNoPermission,
     {"permission denied: your user is not in the group \"%s\". Add it with this command, "
      "then log out and log in again:",
      "Zugriff verweigert: Ihr Benutzer ist nicht in der Gruppe \"%s\". Fügen Sie ihn mit "
      "diesem Befehl hinzu und melden Sie sich danach ab und wieder an:",
      "accès refusé : votre utilisateur n'est pas dans le groupe \"%s\". Ajoutez-le avec cette "
      "commande, puis fermez la session et rouvrez-la :",
      "přístup odepřen: váš uživatel není ve skupině \"%s\". Přidejte ho tímto příkazem a pak "
      "se odhlaste a znovu přihlaste:"}},
    {MessageSlot::MsgPortNewLogin,
     {"permission denied: your user is in the group \"%s\" now, but only a new login brings "
      "that in. Log out and log in again.",
      "Zugriff verweigert: Ihr Benutzer ist jetzt in der Gruppe \"%s\", das gilt aber erst "
      "nach einer neuen Anmeldung. Melden Sie sich ab und wieder an.",
      "accès refusé : votre utilisateur est maintenant dans le groupe \"%s\", mais cela ne "
      "vaut qu'après une nouvelle connexion. Fermez la session et rouvrez-la.",
      "přístup odepřen: váš uživatel už je ve skupině \"%s\", to ale platí až po novém "
      "přihlášení. Odhlaste se a znovu se přihlaste."}},
    {MessageSlot::MsgPortBusy,
     {"in use by another program", "wird von einem anderen Programm benutzt",
      "utilisé par un autre programme", "používá ho jiný program"}},
    {MessageSlot::MsgPortBusyAdvice,
     {"Close that program, then try again.",
      "Beenden Sie dieses Programm und versuchen Sie es erneut.",
      "Fermez ce programme, puis réessayez.", "Ukončete ten program a zkuste to znovu."}},
    // What is behind a COM number, beside its item in the Com menu.
    {MessageSlot::MsgSimulatedUnit,
     {"simulated unit", "simulierte Zündung", "boîtier simulé", "simulovaná jednotka"}},
    {MessageSlot::MsgPortMissing,
     {"nothing connected", "nichts angeschlossen", "rien de branché", "nic nepřipojeno"}},
};

constexpr int SLOT_COUNT = static_cast<int>(MessageSlot::Count);
static_assert(std::size(MESSAGES) == SLOT_COUNT, "one row per message slot");

constexpr bool RowsInSlotOrder() {
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (MESSAGES[i].Slot != static_cast<MessageSlot>(i)) return false;
    return true;
}
static_assert(RowsInSlotOrder(), "rows must follow the slot list");

const char* Stored(MessageSlot slot, int language) {
    return MESSAGES[static_cast<int>(slot)].Text[static_cast<size_t>(language)];
}

} // namespace

std::string MessageText(MessageSlot slot, TLanguage language) {
    const int l = LanguageIndex(language);
    const int index = static_cast<int>(slot);
    if (index < 0 || index >= SLOT_COUNT) return {};
    switch (slot) {
    case MessageSlot::MsgFileOpenError:
        return std::string(Stored(MessageSlot::MsgFileOpenError, l)) + "!";
    case MessageSlot::MsgManualOpenError:
        return std::string(Stored(MessageSlot::MsgFileOpenError, l)) + " " +
               Stored(MessageSlot::MsgManualFile, l) + " !";
    default:
        return Stored(slot, l);
    }
}

void FillMessageTable(TLanguage language, TMessageTable& table,
                      void (*afterSlot)(MessageSlot, void*), void* context) {
#define KELMOR_SLOT_FILL(name)                                                                     \
    table.name = MessageText(MessageSlot::name, language);                                         \
    if (afterSlot != nullptr) afterSlot(MessageSlot::name, context);
    KELMOR_MESSAGE_SLOTS(KELMOR_SLOT_FILL)
#undef KELMOR_SLOT_FILL
}

} // namespace kelmor

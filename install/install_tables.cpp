#include "install/install_tables.h"

#include "tables/tables.h"

// Tables laid out by hand, a row a line. Each message is one text of six rows
// (TextInList), German to Portuguese: no pointer per row to store and relocate.
// clang-format off
static constexpr char InstallQuestions[] =
    "In den Ordner \xBB%s\xAB installieren?\0"
    "Install into \"%s\"?\0"
    "Installer dans \xAB%s\xBB?\0"
    "\xBFInstalar en \"%s\"?\0"
    "Installo in \"%s\"?\0"
    "Instalar em \"%s\"?";

static constexpr char InvalidFolderMessages[] =
    "Ung\xFCltiger Zielordner\0"
    "Invalid destination folder\0"
    "Dossier cible incorrect\0"
    "Carpeta de destino no v\xE1lida\0"
    "Cartella destinazione non valida\0"
    "Pasta de destino inv\xE1lida";

static constexpr char ShortcutQuestions[] =
    "Ins Startmen\xFC eintragen?\0"
    "Create program shortcut?\0"
    "Cr\xE9" "er un raccourci?\0"
    "\xBF" "Crear iconos de acceso directo?\0"
    "Creo una scorciatoia per il programma?\0"
    "Deseja criar um atalho para o programa?";

static constexpr char ShortcutFailureMessages[] =
    "Startmen\xFC konnte nicht aktualisiert werden.\0"
    "Unable to create program shortcut.\0"
    "Impossible de cr\xE9" "er le raccourci\0"
    "Imposible crear acceso directo al programa\0"
    "Impossibile creare la scorciatoia per il programma\0"
    "N\xE3o pude criar um atalho para o programa.";

static constexpr char RunQuestions[] =
    "Setup abgeschlossen. Programm starten?\0"
    "Setup complete. Run program?\0"
    "Installation termin\xE9" "e. Lancer le logiciel?\0"
    "Instalaci\xF3n completada. \xBFQuiere ejecutar software ahora?\0"
    "Installazione completa. Eseguo?\0"
    "Instala\xE7\xE3o completada. Executar?";

static constexpr char RunFailureMessages[] =
    "Programmdatei konnte nicht ausgef\xFChrt werden.\0"
    "Unable to execute program file.\0"
    "Impossible d'ex\xE9" "cuter le programme.\0"
    "Imposible ejecutar el programa.\0"
    "Impossibile eseguire il file di programma.\0"
    "N\xE3o pude executar o programa.";

// Both amounts are filled in with their unit (KB, MB or GB).
static constexpr char NoSpaceMessages[] =
    "Nicht gen\xFCgend Speicherplatz auf dem Ziellaufwerk: %s ben\xF6tigt, %s frei.\0"
    "Not enough space on the destination drive: %s needed, %s free.\0"
    "Espace insuffisant sur le lecteur cible : %s requis, %s disponibles.\0"
    "Espacio insuficiente en la unidad de destino: se necesitan %s, hay %s libres.\0"
    "Spazio insufficiente sull'unit\xE0 di destinazione: servono %s, liberi %s.\0"
    "Espa\xE7o insuficiente na unidade de destino: s\xE3o necess\xE1rios %s, livres %s.";

// The closing question and message when files were not copied (ignored
// failures); the number is filled in.
static constexpr char NotCopiedRunQuestions[] =
    "Setup abgeschlossen. Nicht kopierte Dateien: %s. Programm starten?\0"
    "Setup complete. Files not copied: %s. Run program?\0"
    "Installation termin\xE9" "e. Fichiers non copi\xE9s : %s. Lancer le logiciel?\0"
    "Instalaci\xF3n completada. Archivos no copiados: %s. \xBFQuiere ejecutar software ahora?\0"
    "Installazione completa. File non copiati: %s. Eseguo?\0"
    "Instala\xE7\xE3o completada. Arquivos n\xE3o copiados: %s. Executar?";

// The program was not copied: nothing is recorded, nothing can be started.
static constexpr char NothingInstalledMessages[] =
    "Setup beendet. Nichts wurde installiert: Das Programm wurde nicht kopiert. Nicht kopierte "
    "Dateien: %s.\0"
    "Setup ended. Nothing was installed: the program was not copied. Files not copied: %s.\0"
    "Installation termin\xE9" "e. Rien n'a \xE9t\xE9 install\xE9 : le programme n'a pas \xE9t\xE9 "
    "copi\xE9. Fichiers non copi\xE9s : %s.\0"
    "Instalaci\xF3n terminada. No se instal\xF3 nada: el programa no se copi\xF3. Archivos no "
    "copiados: %s.\0"
    "Installazione terminata. Non \xE8 stato installato nulla: il programma non \xE8 stato "
    "copiato. File non copiati: %s.\0"
    "Instala\xE7\xE3o terminada. Nada foi instalado: o programa n\xE3o foi copiado. Arquivos "
    "n\xE3o copiados: %s.";

// A destination with no room for the longest name the install joins to it;
// the most characters it may have are filled in.
static constexpr char DestinationTooLongMessages[] =
    "Der Zielordner ist zu lang: h\xF6" "chstens %s Zeichen.\0"
    "The destination folder is too long: at most %s characters.\0"
    "Le dossier cible est trop long : %s caract\xE8res au plus.\0"
    "La carpeta de destino es demasiado larga: %s caracteres como m\xE1ximo.\0"
    "La cartella destinazione \xE8 troppo lunga: al massimo %s caratteri.\0"
    "A pasta de destino \xE9 longa demais: no m\xE1ximo %s caracteres.";

// Files to be replaced that a running program holds: named by the programs
// where the system can tell them, else by the first file. Product first.
static constexpr char InUseByProgramsMessages[] =
    "%s kann nicht installiert werden, solange zu ersetzende Dateien verwendet werden von: %s. "
    "Schlie\xDF" "en Sie diese Programme und w\xE4hlen Sie dann Wiederholen.\0"
    "%s cannot be installed while files it replaces are in use by: %s. Close these programs, "
    "then choose Retry.\0"
    "%s ne peut pas \xEAtre install\xE9 tant que des fichiers \xE0 remplacer sont utilis\xE9s "
    "par : %s. Fermez ces programmes, puis choisissez R\xE9" "essayer.\0"
    "%s no se puede instalar mientras los archivos que reemplaza est\xE1n en uso por: %s. "
    "Cierre esos programas y elija Reintentar.\0"
    "%s non pu\xF2 essere installato mentre i file da sostituire sono in uso da: %s. "
    "Chiudere questi programmi, poi scegliere Riprova.\0"
    "%s n\xE3o pode ser instalado enquanto os arquivos a substituir est\xE3o em uso por: %s. "
    "Feche esses programas e escolha Repetir.";

static constexpr char InUseFileMessages[] =
    "%s kann nicht installiert werden, solange es l\xE4uft: %s wird verwendet. "
    "Schlie\xDF" "en Sie das Programm und w\xE4hlen Sie dann Wiederholen.\0"
    "%s cannot be installed while it is running: %s is in use. Close the program, then choose "
    "Retry.\0"
    "%s ne peut pas \xEAtre install\xE9 pendant qu'il s'ex\xE9" "cute : %s est utilis\xE9. "
    "Fermez le programme, puis choisissez R\xE9" "essayer.\0"
    "%s no se puede instalar mientras se ejecuta: %s est\xE1 en uso. Cierre el programa y "
    "elija Reintentar.\0"
    "%s non pu\xF2 essere installato mentre \xE8 in esecuzione: %s \xE8 in uso. "
    "Chiudere il programma, poi scegliere Riprova.\0"
    "%s n\xE3o pode ser instalado enquanto est\xE1 em execu\xE7\xE3o: %s est\xE1 em uso. "
    "Feche o programa e escolha Repetir.";

// The setup program's own folder, refused at start.
static constexpr char SourceTooLongMessages[] =
    "Der Pfad des Setup-Ordners ist zu lang.\0"
    "The setup program's folder path is too long.\0"
    "Le chemin du dossier du programme d'installation est trop long.\0"
    "La ruta de la carpeta del programa de instalaci\xF3n es demasiado larga.\0"
    "Il percorso della cartella del programma di installazione \xE8 troppo lungo.\0"
    "O caminho da pasta do programa de instala\xE7\xE3o \xE9 longo demais.";

static constexpr char SourceOutsideCodePageMessages[] =
    "Der Name des Setup-Ordners enth\xE4lt Zeichen au\xDF" "erhalb der Codepage des Systems. "
    "Kopieren Sie die Setup-Dateien in einen Ordner mit einem anderen Namen.\0"
    "The setup program's folder name holds characters outside the system's code page. Copy the "
    "setup files into a folder with another name.\0"
    "Le nom du dossier du programme d'installation contient des caract\xE8res hors de la page de "
    "codes du syst\xE8me. Copiez les fichiers d'installation dans un dossier portant un autre nom.\0"
    "El nombre de la carpeta del programa de instalaci\xF3n contiene caracteres fuera de la "
    "p\xE1gina de c\xF3" "digos del sistema. Copie los archivos de instalaci\xF3n en una carpeta "
    "con otro nombre.\0"
    "Il nome della cartella del programma di installazione contiene caratteri al di fuori della "
    "tabella codici del sistema. Copiare i file di installazione in una cartella con un altro "
    "nome.\0"
    "O nome da pasta do programa de instala\xE7\xE3o cont\xE9m caracteres fora da p\xE1gina de "
    "c\xF3" "digos do sistema. Copie os arquivos de instala\xE7\xE3o para uma pasta com outro nome.";

// A sealed setup.exe's file that is not as its seal lists it: the vendor's
// disk or download is damaged, or someone changed it. The file's name goes in.
static constexpr char DamagedDiskMessages[] =
    "Der Setup-Datentr\xE4ger ist besch\xE4" "digt: %s ist nicht die Datei, die der Hersteller "
    "versiegelt hat. Stellen Sie die Datei vom Original wieder her und w\xE4hlen Sie dann "
    "Wiederholen.\0"
    "The setup disk is damaged: %s is not the file the vendor sealed. Restore the file from the "
    "original, then choose Retry.\0"
    "Le disque d'installation est endommag\xE9 : %s n'est pas le fichier scell\xE9 par "
    "l'\xE9" "diteur. Restaurez le fichier depuis l'original, puis choisissez R\xE9" "essayer.\0"
    "El disco de instalaci\xF3n est\xE1 da\xF1" "ado: %s no es el archivo que sell\xF3 el "
    "fabricante. Restaure el archivo desde el original y elija Reintentar.\0"
    "Il disco di installazione \xE8 danneggiato: %s non \xE8 il file sigillato dal produttore. "
    "Ripristinare il file dall'originale, poi scegliere Riprova.\0"
    "O disco de instala\xE7\xE3o est\xE1 danificado: %s n\xE3o \xE9 o arquivo selado pelo "
    "fabricante. Restaure o arquivo a partir do original e escolha Repetir.";

// Empty file left in the destination to record the language; none (an empty
// row) for English. MarkerLanguageCount rows.
static constexpr char LanguageMarkerNames[] =
    "Vestra.ger\0" "\0" "Vestra.fr\0" "Vestra.esp\0" "Vestra.ita\0" "Vestra.por\0" "Vestra.cn\0"
    "Vestra.jap";

// FileManifestRows rows.
static constexpr char FileManifest[] =
    "\0"  // the main program, MainExecutableName's
    "vstmain.dat\0" "vstfont.dat\0" "vstsym.dat\0"                          // data
    "vstcore.dll\0" "vstgrx.dll\0"                                          // libraries
    "vstlang.dat\0"                                                         // data
    "vstprint.dll\0"                                                        // library
    "vstimp.dll\0" "vstexp.dll\0"                                           // optional from here
    "vsthyph.dat\0" "vstthes.dat\0" "vstspell.dat\0" "vstcolor.dat\0" "vstunit.dat\0"
    "vsttwain.dll\0"
    "vstconv.exe\0"
    "vstzip.dll\0" "vstmapi.dll\0"
    "vstsampl.dat\0"
    "Vestra.hlp\0" "Vestra.cnt\0" "Vestra-d.hlp\0" "Vestra-d.cnt";

const char* const CopiedPatterns[CopiedPatternCount] = {"*.whs", "*.txt", "*.tpl"};
const char ViewerFolder[] = "viewer";

static const char* const InstallMessages[InstallMessageKindCount] = {
    InstallQuestions, InvalidFolderMessages, ShortcutQuestions, ShortcutFailureMessages,
    RunQuestions,     RunFailureMessages,    NoSpaceMessages,       NotCopiedRunQuestions,
    NothingInstalledMessages, InUseByProgramsMessages, InUseFileMessages,
    DestinationTooLongMessages, SourceTooLongMessages, SourceOutsideCodePageMessages,
    DamagedDiskMessages,
};
// clang-format on
static_assert(EachHasTexts(MessageLanguageCount, InstallQuestions, InvalidFolderMessages,
                           ShortcutQuestions, ShortcutFailureMessages, RunQuestions,
                           RunFailureMessages, NoSpaceMessages, NotCopiedRunQuestions,
                           NothingInstalledMessages, DestinationTooLongMessages,
                           InUseByProgramsMessages, InUseFileMessages, SourceTooLongMessages,
                           SourceOutsideCodePageMessages, DamagedDiskMessages),
              "a row for every language of a message");
static_assert(TextsIn(LanguageMarkerNames) == MarkerLanguageCount, "a marker row a language");
static_assert(TextsIn(FileManifest) == FileManifestRows, "every manifest row");

const char* InstallMessage(int kind, int language) {
    if (kind < 0 || kind >= InstallMessageKindCount) return "";
    return TextInList(InstallMessages[kind], LanguageRow(language, MessageLanguageCount));
}

const char* MarkerName(int language) {
    const char* name = TextInList(LanguageMarkerNames, LanguageRow(language, MarkerLanguageCount));
    return name[0] ? name : 0;  // English has none
}

const char* MainExecutableName(int edition) {
    return edition == 0 ? "Vestra.exe" : "kminspector.exe";
}

const char* ManifestFileName(int row, int edition) {
    if (row < 0 || row >= FileManifestRows) return 0;
    return row == 0 ? MainExecutableName(edition) : TextInList(FileManifest, row);
}

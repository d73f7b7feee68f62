#include "window/browse.h"

#include "tables/bounded_text.h"
#include "tables/tables.h"

// Whether the last length(name) characters of path spell name in any case.
static int EndsWithName(const char* path, int n, const char* name, int l) {
    return n >= l && EqualIgnoringCase(path + n - l, name);
}

void TrimProductFolder(char* path, const char* productName) {
    int n = TextLength(path);
    int l = TextLength(productName);
    if (n <= l + 2 || !EndsWithName(path, n, productName, l)) return;
    // A drive root keeps its backslash: "C:\Vestra" opens on "C:\".
    if (path[n - l - 2] == ':')
        path[n - l] = '\0';
    else
        path[n - l - 1] = '\0';
}

int ComposeDestination(char* path, int size, const char* productName) {
    int m = TextLength(path);
    int l = TextLength(productName);
    if (m >= l + 3 && EndsWithName(path, m, productName, l)) return m <= DestinationLimit;
    int needsSeparator = m == 0 || path[m - 1] != '\\';
    if (m + needsSeparator + l > DestinationLimit || m + needsSeparator + l >= size) return 0;
    if (needsSeparator) AppendText(path, size, "\\");
    AppendText(path, size, productName);
    return 1;
}

const char* BrowsePrompt(int language) {
    // German, English (TextInList).
    static constexpr char Prompts[] =
        "\xDC"
        "bergeordneten Ordner f\xFC"
        "r die Installation ausw\xE4hlen:\0"
        "Select parent folder for the installation:";
    static_assert(TextsIn(Prompts) == 2, "German and English");
    return TextInList(Prompts, LanguageRow(language, 2));
}

// German, English, French, Spanish, Italian, Portuguese (code page 1252), a
// list of texts (TextInList).
enum { LongDestinationRows = 6 };
static constexpr char LongDestinationTexts[] =
    "Der Zielordner darf h\xF6"
    "chstens 254 Zeichen lang sein. Bitte w\xE4hlen Sie einen "
    "Ordner mit einem k\xFCrzeren Pfad.\0"
    "The destination folder can be at most 254 characters long. Please choose a folder with "
    "a shorter path.\0"
    "Le dossier de destination ne peut pas d\xE9passer 254 caract\xE8res. Veuillez choisir un "
    "dossier dont le chemin est plus court.\0"
    "La carpeta de destino no puede tener m\xE1s de 254 caracteres. Elija una carpeta con una "
    "ruta m\xE1s corta.\0"
    "La cartella di destinazione non pu\xF2 superare i 254 caratteri. Scegliere una cartella "
    "con un percorso pi\xF9 breve.\0"
    "A pasta de destino n\xE3o pode ter mais de 254 caracteres. Escolha uma pasta com um "
    "caminho mais curto.";

static_assert(TextsIn(LongDestinationTexts) == LongDestinationRows, "a row a language");

const char* LongDestinationText(int language) {
    return TextInList(LongDestinationTexts, LanguageRow(language, LongDestinationRows));
}

void BrowserPosition(int workAreaWidth, int workAreaHeight, int width, int height, int* x, int* y) {
    *x = workAreaWidth / 2 - width / 2;
    *y = workAreaHeight / 2 - height / 2 - 20;
}

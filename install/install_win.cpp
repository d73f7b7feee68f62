// The install procedure run by the OK command: question, folder, file copies,
// shortcut, registry, language marker, start of the product, close.
#include "install/copy_file.h"
#include "install/copy_progress.h"
#include "install/install.h"
#include "install/install_tables.h"
#include "platform/message_pump.h"
#include "platform/source_directory.h"
#include "platform/system_calls.h"
#include "progman/progman.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

static_assert(AnswerAbort == IDABORT && AnswerRetry == IDRETRY && AnswerYes == IDYES,
              "the install rules read message-box answers by these values");
static_assert(FileNotFoundError == ERROR_FILE_NOT_FOUND, "the install rules' error code");
static_assert(PathNotFoundError == ERROR_PATH_NOT_FOUND, "the install rules' error code");

int InstallRunning;
static int CloseHeld;

enum { PumpInterval = 10 };

int HoldCloseRequest(void) {
    if (!InstallRunning) return 0;
    CloseHeld = 1;
    return 1;
}

// Stop before copying more when the window is to close or the program to end.
static int ShouldStop(void) { return CloseHeld || QuitRequested; }
int InstallStopRequested(void) { return ShouldStop(); }

static const char* Message(int kind) { return InstallMessage(kind, LanguageIndex); }

static int Ask(const char* text, const char* caption, UINT style) {
    return MessageBoxA(MainWindow, text, caption, style);
}

static void ShowError(int kind, UINT icon) {
    Ask(Message(kind), ErrorCaption(LanguageIndex), MB_OK | icon);
}

static void ReturnToField(void) { SetFocus(DestinationEdit); }

// One manifest row: 1 to go on, 0 when the user aborted.
static int CopyManifestRow(int row, const char* destinationPath) {
    const char* name = ManifestFileName(row, Edition);
    char source[PathBufferSize], destination[PathBufferSize];
    // Both folders were checked for the longest name before the copy.
    if (!JoinTexts(source, sizeof source, SourceDirectory, name) ||
        !JoinTexts(destination, sizeof destination, destinationPath, name))
        return 1;
    if (!CopyFileAsking(source, destination, ManifestRowIsMandatory(row))) return 0;
    SetFileAttributesA(destination, FILE_ATTRIBUTE_ARCHIVE);  // not examined
    PumpMessages(NULL, PumpInterval);
    return 1;
}

static int CopyViewerFolder(const char* destinationPath) {
    char source[PathBufferSize], destination[PathBufferSize];
    if (!SetCurrentDirectoryA(destinationPath)) return 1;
    if (!JoinTexts(source, sizeof source, SourceDirectory, ViewerFolder) ||
        !AppendText(source, sizeof source, "\\"))
        return 1;
    if (!JoinTexts(destination, sizeof destination, destinationPath, ViewerFolder)) return 1;
    CreateDirectoryA(destination, NULL);  // an existing folder is fine
    AppendText(destination, sizeof destination, "\\");
    return CopyMatchingFilesFrom(source, "*", destination);
}

// The pattern files and the viewer's; 0 when the user aborted or a stop came.
static int CopyExtraFiles(const char* destinationPath) {
    for (int i = 0; i < CopiedPatternCount; ++i)
        if (!CopyMatchingFiles(CopiedPatterns[i], destinationPath) || ShouldStop()) return 0;
    return CopyViewerFolder(destinationPath) && !ShouldStop();
}

// Program Manager's item when a server accepts it, else a shortcut of our own.
static int AskForShortcut(const char* destinationPath) {
    char program[PathBufferSize];
    int made = 0;
    if (!JoinTexts(program, sizeof program, destinationPath, MainExecutableName(Edition))) return 0;
    if (ConnectProgramManager(MainWindow)) {
        made = WaitForProgramManager() && AddProgramItem(program) && WaitForExecuteAcknowledge();
        DisconnectProgramManager();
    }
    return made || CreateOwnShortcut(program, destinationPath);
}

static void SetRegistryText(HKEY key, const char* name, const char* data) {
    // Optional: a value that cannot be written is passed over.
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)data, (DWORD)TextLength(data) + 1);
}

static LONG SetUninstallValue(HKEY key, const struct UninstallValue* value) {
    if (value->text == NULL)
        return RegSetValueExA(key, value->name, 0, REG_DWORD, (const BYTE*)&value->number,
                              sizeof value->number);
    return RegSetValueExA(key, value->name, 0, REG_SZ, (const BYTE*)value->text,
                          (DWORD)TextLength(value->text) + 1);
}

// The entry holds a name and a command that work, or nothing: every value is
// composed before the key is touched, and a key that cannot take the first
// two is removed again.
static void WriteUninstallEntry(const char* destinationPath) {
    struct UninstallEntry entry;
    HKEY key;
    if (!ComposeUninstallEntry(destinationPath, Edition, CopiedBytes, &entry)) return;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, entry.keyName, &key) != ERROR_SUCCESS) return;
    int usable = SetUninstallValue(key, &entry.values[0]) == ERROR_SUCCESS &&
                 SetUninstallValue(key, &entry.values[1]) == ERROR_SUCCESS;
    // The rest only describe the entry: one that cannot be written is passed over.
    for (int i = 2; usable && i < UninstallValueCount; ++i)
        SetUninstallValue(key, &entry.values[i]);
    RegCloseKey(key);
    if (!usable) RegDeleteKeyA(HKEY_LOCAL_MACHINE, entry.keyName);
}

static void WriteLanguageMarker(const char* destinationPath) {
    const char* marker = MarkerName(LanguageIndex);
    if (!marker || !JoinTexts(MessageText, MessageTextSize, destinationPath, marker)) return;
    // An empty normal file; an existing one is cut to length 0. Not reported.
    HANDLE file = CreateFileA(MessageText, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

static void WritePerUserPath(const char* destinationPath) {
    HKEY key;
    if (!PerUserPathValue(destinationPath, MessageText, MessageTextSize)) return;
    if (RegCreateKeyA(HKEY_CURRENT_USER, ProductString(PerUserKey, Edition), &key) != ERROR_SUCCESS)
        return;
    SetRegistryText(key, "Path", MessageText);
    RegCloseKey(key);
}

// As the signed-in user through the shell when setup runs elevated; else, or
// where the shell offers no way, started here in the destination folder.
static int StartProductHere(const char* destinationPath) {
    char commandLine[PathBufferSize + 2];
    // Quoted, so that a path with spaces names the product and nothing else.
    if (!ProgramCommandLine(destinationPath, MainExecutableName(Edition), commandLine,
                            sizeof commandLine))
        return 0;
    SetCurrentDirectoryA(destinationPath);  // already current; a failure leaves it so
    return WinExec(commandLine, SW_SHOWNORMAL) >= 32;
}

static void StartProduct(const char* destinationPath) {
    char program[PathBufferSize];
    // The shell reports a program it cannot start in its own way, if at all: a
    // missing one is left to the start here, which fails with our message.
    int started =
        JoinTexts(program, sizeof program, destinationPath, MainExecutableName(Edition)) &&
        GetFileAttributesA(program) != INVALID_FILE_ATTRIBUTES && RunningElevated() &&
        StartThroughShell(program, destinationPath);
    if (!started && !StartProductHere(destinationPath))
        Ask(Message(RunFailureMessage), "Setup", MB_OK | MB_ICONERROR);
}

// Says how much is needed and how much is free when the volume is short.
static int EnoughSpaceOrSay(const char* destinationPath) {
    uint64_t needed = 0, available = 0;
    if (DestinationHasRoom(destinationPath, &needed, &available)) return 1;
    if (FormatSpaceMessage(Message(NoSpaceMessage), needed, available, MessageText,
                           MessageTextSize))
        Ask(MessageText, ErrorCaption(LanguageIndex), MB_OK | MB_ICONERROR);
    return 0;
}

// Refuses what is not a plain absolute folder with room for every name, and
// a volume without room for the files, before anything is created.
static int PrepareDestination(const char* destinationPath) {
    if (DestinationPathAcceptable(destinationPath, Edition, LongestNameOnDisk())) {
        if (!EnoughSpaceOrSay(destinationPath)) return 0;
        if (CreateFolderPath(destinationPath)) return 1;
    }
    ShowError(InvalidFolderMessage, MB_ICONERROR);
    return 0;
}

// The steps up to the close; 1 when the window is to close, 0 for the early
// exits that leave it open.
static int InstallSteps(void) {
    char text[PathBufferSize], destinationPath[PathBufferSize] = "";
    GetWindowTextA(DestinationEdit, text, sizeof text);
    // A text too long for a path leaves it empty, which is refused below.
    MakeDestinationPath(text, destinationPath, sizeof destinationPath);
    CopiedBytes = 0;

    FormatQuestion(Message(InstallQuestion), text, MessageText, MessageTextSize);
    if (!AnswerGoesOn(Ask(MessageText, "Setup", MB_YESNO | MB_ICONQUESTION)) || ShouldStop())
        return 0;

    if (!PrepareDestination(destinationPath)) return 0;

    BeginCopyProgress(CountCopyWork());
    int copied = 1;
    for (int row = 0; row < FileManifestRows && copied; ++row)
        copied = CopyManifestRow(row, destinationPath) && !ShouldStop();
    if (copied) copied = CopyExtraFiles(destinationPath);
    EndCopyProgress();
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    if (!copied) return 0;

    if (AnswerGoesOn(Ask(Message(ShortcutQuestion), ProductString(ProductName, Edition),
                         MB_YESNO | MB_ICONQUESTION)) &&
        !AskForShortcut(destinationPath))
        ShowError(ShortcutFailureMessage, MB_ICONWARNING);

    WriteUninstallEntry(destinationPath);
    WriteLanguageMarker(destinationPath);
    WritePerUserPath(destinationPath);

    if (AnswerGoesOn(Ask(Message(RunQuestion), ProductString(ProductName, Edition),
                         MB_YESNO | MB_ICONINFORMATION)))
        StartProduct(destinationPath);
    return 1;
}

void RunInstallProcedure(void) {
    // The pumps and message boxes dispatch a second OK here: one run at a time.
    if (InstallRunning) return;
    InstallRunning = 1;
    CloseHeld = 0;
    BlockSessionEnd();
    int finished = InstallSteps();
    UnblockSessionEnd();
    EndCopyProgress();  // after an early exit
    InstallRunning = 0;
    if (finished || CloseHeld) {
        SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    } else {
        ReturnToField();
    }
}

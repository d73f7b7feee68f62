// The install procedure run by the OK command: question, folder, file copies,
// shortcut, registry, language marker, start of the product, close.
#include "install/install.h"
#include "install/install_tables.h"
#include "progman/progman.h"
#include "startup/startup.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

static_assert(AnswerAbort == IDABORT && AnswerRetry == IDRETRY && AnswerYes == IDYES,
              "the install rules read message-box answers by these values");
static_assert(FileNotFoundError == ERROR_FILE_NOT_FOUND, "the install rules' error code");

int InstallRunning;
static int CloseHeld;

enum { PumpInterval = 10, ProgramManagerWaitRounds = 500 };

int HoldCloseRequest(void) {
    if (!InstallRunning) return 0;
    CloseHeld = 1;
    return 1;
}

// Stop before copying more when the window is to close or the program to end.
static int ShouldStop(void) { return CloseHeld || QuitRequested; }

static const char* Message(const char* const* table) {
    return InstallMessage(table, LanguageIndex);
}

static int Ask(const char* text, const char* caption, UINT style) {
    return MessageBoxA(MainWindow, text, caption, style);
}

static void ShowError(const char* const* table, UINT icon) {
    Ask(Message(table), ErrorCaption(LanguageIndex), MB_OK | icon);
}

static void ReturnToField(void) { SetFocus(DestinationEdit); }

// One manifest row: 1 to go on, 0 when the user aborted.
static int CopyManifestRow(int row, const char* destinationPath) {
    const char* name = ManifestFileName(row, Edition);
    char source[PathBufferSize], destination[PathBufferSize];
    // The destination was checked for its longest name; a source path that
    // would not fit is refused rather than cut, and reported like a failed copy.
    int fits = JoinTexts(source, sizeof source, SourceDirectory, name) &&
               JoinTexts(destination, sizeof destination, destinationPath, name);
    if (!fits) source[0] = destination[0] = 0;
    for (;;) {
        DWORD error = ERROR_FILENAME_EXCED_RANGE;
        if (fits) {
            SetCursor(LoadCursorA(NULL, IDC_WAIT));
            // Clears read-only, hidden and system of an earlier copy; usually none.
            SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
            if (CopyFileA(source, destination, FALSE)) break;
            error = GetLastError();
        }
        if (!ManifestRowIsMandatory(row)) break;
        SystemErrorText(error);
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
        int answer = Ask(MessageText, CaptionNamesSource(error) ? source : destination,
                         MB_ABORTRETRYIGNORE | MB_ICONERROR);
        enum CopyFailureAction action = ActionAfterCopyAnswer(answer);
        if (action == StopInstalling) return 0;
        if (action == GoOn) break;
    }
    if (fits) SetFileAttributesA(destination, FILE_ATTRIBUTE_ARCHIVE);  // not examined
    TimedMessagePump(PumpInterval);
    return 1;
}

static void CopyViewerFolder(const char* destinationPath) {
    char source[PathBufferSize], destination[PathBufferSize];
    if (!SetCurrentDirectoryA(destinationPath)) return;
    if (!JoinTexts(source, sizeof source, SourceDirectory, "viewer\\")) return;
    if (!JoinTexts(destination, sizeof destination, destinationPath, "viewer")) return;
    CreateDirectoryA(destination, NULL);  // an existing folder is fine
    AppendText(destination, sizeof destination, "\\");
    CopyMatchingFilesFrom(source, "*", destination);
}

static int AskForShortcut(const char* destinationPath) {
    int made = 0;
    if (!ConnectProgramManager()) return 0;
    int rounds = 0;
    do {
        TimedMessagePump(PumpInterval);
    } while ((DdeServerWindow == NULL || PendingDdeMessage != 0) && !QuitRequested &&
             ++rounds < ProgramManagerWaitRounds);
    if (JoinTexts(MessageText, MessageTextSize, destinationPath, MainExecutableName(Edition)))
        made = AddProgramItem(MessageText);
    DisconnectProgramManager();
    return made;
}

static void SetRegistryText(HKEY key, const char* name, const char* data) {
    // Optional: a value that cannot be written is passed over.
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)data, (DWORD)TextLength(data) + 1);
}

static void WriteUninstallEntry(const char* destinationPath) {
    HKEY key;
    if (!UninstallKeyName(Edition, MessageText, MessageTextSize)) return;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, MessageText, &key) != ERROR_SUCCESS) return;
    SetRegistryText(key, "DisplayName", ProductString(ProductName, Edition));
    if (UninstallCommand(destinationPath, MainExecutableName(Edition), MessageText,
                         MessageTextSize))
        SetRegistryText(key, "UninstallString", MessageText);
    RegCloseKey(key);
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
    if (RegCreateKeyA(HKEY_CURRENT_USER, ProductString(PerUserKey, Edition), &key) !=
        ERROR_SUCCESS)
        return;
    SetRegistryText(key, "Path", MessageText);
    RegCloseKey(key);
}

static void StartProduct(const char* destinationPath) {
    char commandLine[PathBufferSize + 2];
    // Quoted, so that a path with spaces names the product and nothing else.
    if (!ProgramCommandLine(destinationPath, MainExecutableName(Edition), commandLine,
                            sizeof commandLine) ||
        WinExec(commandLine, SW_SHOWNORMAL) < 32)
        Ask(Message(RunFailureMessages), "Setup", MB_OK | MB_ICONERROR);
}

// The steps up to the close; 1 when the window is to close, 0 for the early
// exits that leave it open.
static int InstallSteps(void) {
    char text[PathBufferSize], destinationPath[PathBufferSize];
    GetWindowTextA(DestinationEdit, text, sizeof text);
    int havePath = MakeDestinationPath(text, destinationPath, sizeof destinationPath);

    FormatQuestion(Message(InstallQuestions), text, MessageText, MessageTextSize);
    if (!AnswerGoesOn(Ask(MessageText, "Setup", MB_YESNO | MB_ICONQUESTION)) || ShouldStop())
        return 0;

    if (!havePath || !DestinationPathAcceptable(destinationPath, Edition) ||
        !CreateFolderPath(destinationPath)) {
        ShowError(InvalidFolderMessages, MB_ICONERROR);
        return 0;
    }

    for (int row = 0; row < FileManifestRows; ++row) {
        if (!CopyManifestRow(row, destinationPath) || ShouldStop()) {
            SetCursor(LoadCursorA(NULL, IDC_ARROW));
            return 0;
        }
    }
    CopyMatchingFiles("*.whs", destinationPath);
    CopyMatchingFiles("*.txt", destinationPath);
    CopyMatchingFiles("*.tpl", destinationPath);
    CopyViewerFolder(destinationPath);
    SetCursor(LoadCursorA(NULL, IDC_ARROW));

    if (AnswerGoesOn(Ask(Message(ShortcutQuestions), ProductString(ProductName, Edition),
                         MB_YESNO | MB_ICONQUESTION)) &&
        !AskForShortcut(destinationPath))
        ShowError(ShortcutFailureMessages, MB_ICONWARNING);

    WriteUninstallEntry(destinationPath);
    WriteLanguageMarker(destinationPath);
    WritePerUserPath(destinationPath);

    if (AnswerGoesOn(Ask(Message(RunQuestions), ProductString(ProductName, Edition),
                         MB_YESNO | MB_ICONINFORMATION)))
        StartProduct(destinationPath);
    return 1;
}

void RunInstallProcedure(void) {
    // The pumps and message boxes dispatch a second OK here: one run at a time.
    if (InstallRunning) return;
    InstallRunning = 1;
    CloseHeld = 0;
    int finished = InstallSteps();
    InstallRunning = 0;
    if (finished || CloseHeld) {
        SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    } else {
        ReturnToField();
    }
}

// The install procedure run by the OK command: question, plan, folder, file
// copies, shortcut, registration, start of the product, close.
#include "install/copy.h"
#include "install/install.h"
#include "install/install_tables.h"
#include "install/plan.h"
#include "install/registration.h"
#include "install/start_product.h"
#include "platform/message_pump.h"
#include "platform/shown_text.h"
#include "platform/system_error.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

int InstallRunning;
static int CloseHeld;
static int CopyBegan;  // from here on a stop leaves the install unfinished

int HoldCloseRequest(void) {
    if (!InstallRunning) return 0;
    CloseHeld = 1;
    StopCopyRows();  // the worker begins no further row
    return 1;
}

// Stop before copying more when the window is to close or the program to end.
static int ShouldStop(void) { return CloseHeld || QuitRequested; }

static const char* Message(int kind) { return InstallMessage(kind, LanguageIndex); }

// Every text and caption here is a table's unless it says otherwise.
static int Ask(TextPart text, const char* caption, UINT style) {
    return ShowMessage(MainWindow, text, TableText(caption), style);
}

// A table's question with a path or the system's words in it, each part
// shown from its own code page, the insert cut to fit size characters.
static int AskAbout(const char* format, const char* insert, int size, const char* caption,
                    UINT style) {
    WCHAR text[2 * MessageTextSize];
    if (size > 2 * MessageTextSize) size = 2 * MessageTextSize;
    WidenQuestion(TableText(format), SystemText(insert), text, size);  // empty if not
    return ShowWideMessage(MainWindow, text, TableText(caption), style);
}

// A refusal before anything is copied: the progress box goes first.
static void Refuse(TextPart text) {
    EndCopyProgress();
    Ask(text, ErrorCaption(LanguageIndex), MB_OK | MB_ICONERROR);
}

// A message with one number filled in.
static void FormatWithNumber(int kind, int number) {
    char digits[16] = "";
    AppendNumber(digits, sizeof digits, number);
    FormatQuestion(Message(kind), digits, MessageText, MessageTextSize);
}

// Says how much is needed and how much is free when the volume is short.
// A volume whose free space cannot be read passes.
static int EnoughSpaceOrSay(const struct InstallPlan* plan) {
    struct VolumeRoom room;
    if (!MeasureVolumeRoom(plan, &room) || room.needed <= room.available) return 1;
    if (FormatSpaceMessage(Message(NoSpaceMessage), room.needed, room.available, MessageText,
                           MessageTextSize))
        Refuse(TableText(MessageText));
    return 0;
}

// A running product holds a file the copy would replace: it is named, and
// nothing is written until it has gone (Retry) or the user gives up. No
// program is closed or ended on the user's behalf.
static int RetryFileInUse(const char* path) {
    char names[MessageTextSize], format[2 * MessageTextSize];
    const char* product = ProductString(ProductName, Edition);
    int named = NameProgramsUsing(path, names, sizeof names);
    // The product goes into the first %s, the programs or the file (the
    // system's code page both) into the second.
    FormatQuestion(Message(named ? InUseByProgramsMessage : InUseFileMessage), product, format,
                   sizeof format);
    return AskAbout(format, named ? names : path, 2 * MessageTextSize, product,
                    MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
}

// The plan for the field's text, or the reason there is none, before
// anything is created; then the destination folder.
static int PrepareDestination(const char* text, struct InstallPlan* plan) {
    switch (MakeInstallPlan(text, plan)) {
    case PlanReady: break;
    case PlanSourceTooLong: Refuse(TableText(Message(SourceTooLongMessage))); return 0;
    case PlanNoMemory:
        SystemErrorText(ERROR_NOT_ENOUGH_MEMORY, MessageText, MessageTextSize);
        Refuse(SystemText(MessageText));
        return 0;
    case PlanDestinationTooLong:
        FormatWithNumber(DestinationTooLongMessage, plan->destinationLimit);
        Refuse(TableText(MessageText));
        return 0;
    case PlanInvalidFolder: Refuse(TableText(Message(InvalidFolderMessage))); return 0;
    }
    struct CopyTotals totals = {plan->copyBytes, plan->copyFiles};
    SetCopyTotals(totals);
    if (!EnoughSpaceOrSay(plan)) return 0;
    for (int busy; (busy = FindFileInUse(plan)) >= 0;)
        if (!RetryFileInUse(plan->files[busy].destination)) return 0;
    if (CreateFolderPath(plan->destinationPath)) return 1;
    Refuse(TableText(Message(InvalidFolderMessage)));
    return 0;
}

// Every planned row in order, as its action says, its outcome recorded in
// it; 0 when the user aborted or a stop came. The viewer's folder is made by
// its first file.
static int CopyPlannedFiles(struct InstallPlan* plan) {
    ForgetCopyAnswers();
    char viewer[PathBufferSize + 1];
    RemoveCopyLeftovers(plan->destinationPath);
    if (JoinTexts(viewer, sizeof viewer, plan->viewerFolder, "\\")) RemoveCopyLeftovers(viewer);
    if (!CopyRowsAsking(plan->files, plan->fileCount, ShouldStop)) return 0;
    // Made even when the disk has no viewer files; an existing one is fine.
    CreateDirectoryA(plan->viewerFolder, NULL);
    return 1;
}

// The steps up to the close; 1 when the window is to close, 0 for the early
// exits that leave it open.
static int InstallSteps(void) {
    // On the stack: a static one would take its size in the program file.
    struct InstallPlan whole;
    struct InstallPlan* plan = &whole;
    char text[PathBufferSize];
    GetWindowTextA(DestinationEdit, text, sizeof text);

    // The field's text is a path, in the system's code page.
    if (!AnswerGoesOn(AskAbout(Message(InstallQuestion), text, MessageTextSize, "Setup",
                               MB_YESNO | MB_ICONQUESTION)) ||
        ShouldStop())
        return 0;

    // The box shows while the disk is surveyed and the destination checked.
    BeginCopyProgress();
    SetCursor(LoadCursorA(NULL, IDC_WAIT));
    if (!PrepareDestination(text, plan)) return 0;

    CopyBegan = 1;
    int copied = CopyPlannedFiles(plan);
    EndCopyProgress();
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    if (!copied) return 0;

    const char* product = ProductString(ProductName, Edition);
    // A file the seal does not list stays on the disk and is counted too.
    int notCopied = PlanFilesIgnored(plan) + PlanFilesNotListed(plan);
    if (!PlanProgramCopied(plan)) {
        // Nothing records, offers or starts a program this run did not install.
        FormatWithNumber(NothingInstalledMessage, notCopied);
        Ask(TableText(MessageText), product, MB_OK | MB_ICONWARNING);
        SetSetupExitCode(NothingInstalledExitCode);
        return 1;
    }
    if (AnswerGoesOn(Ask(TableText(Message(ShortcutQuestion)), product, MB_YESNO | MB_ICONQUESTION)) &&
        !HandOverShortcut(plan->addItemCommand, plan->programPath, plan->destinationPath))
        Ask(TableText(Message(ShortcutFailureMessage)), ErrorCaption(LanguageIndex),
            MB_OK | MB_ICONWARNING);

    plan->uninstall.sizeKiB = EstimatedSizeKiB(PlanCopiedBytes(plan));
    WriteUninstallEntry(&plan->uninstall);
    WriteLanguageMarker(plan->destinationPath, plan->markerPath);
    WritePerUserPath(Edition, plan->perUserPath);

    // The closing words say how many files are missing.
    if (notCopied)
        FormatWithNumber(NotCopiedRunQuestion, notCopied);
    else
        CopyText(MessageText, MessageTextSize, Message(RunQuestion));
    if (AnswerGoesOn(Ask(TableText(MessageText), product, MB_YESNO | MB_ICONINFORMATION)) &&
        !StartProduct(plan->programPath, plan->programCommand, plan->destinationPath))
        Ask(TableText(Message(RunFailureMessage)), "Setup", MB_OK | MB_ICONERROR);
    return 1;
}

void RunInstallProcedure(void) {
    // The pumps and message boxes dispatch a second OK here: one run at a time.
    if (InstallRunning) return;
    InstallRunning = 1;
    CloseHeld = 0;
    CopyBegan = 0;
    BlockSessionEnd();
    int finished = InstallSteps();
    UnblockSessionEnd();
    EndCopyProgress();  // after an early exit
    InstallRunning = 0;
    // Nothing is recorded after a stop; the exit code tells it. A quit ends
    // the main loop with the code it was posted with: ours replaces it.
    int interrupted = !finished && CopyBegan && (CloseHeld || QuitRequested);
    if (interrupted) SetSetupExitCode(InterruptedExitCode);
    if (interrupted && QuitRequested) PostQuitMessage(InterruptedExitCode);
    if (finished || CloseHeld)
        SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    else
        SetFocus(DestinationEdit);
}

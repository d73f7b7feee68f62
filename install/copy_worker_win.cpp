// The copy runs on one worker thread for the whole run, which walks the
// plan's rows while the window's thread pumps messages: a large file on a slow
// disk never leaves the window unanswered, and a file costs no hand-over
// between the threads. The worker hands back only a question, which the
// window's thread asks. It copies in chunks itself and counts the bytes
// written for the bar: Wine 8's CopyFileExW never calls a progress routine,
// so a bar fed by one would stand still for a whole file. A sealed file's
// chunks are hashed as they are written, so its digest is of what the copy
// holds.
#include "install/copy.h"
#include "platform/message_pump.h"
#include "platform/sha256.h"
#include "tables/bounded_text.h"

enum {
    ProgressInterval = 50,  // milliseconds between updates of the progress
    // Bytes one read and one write move: under Wine a chunk of a megabyte or
    // more copies at half the speed of this one.
    ChunkSize = 64 << 10,
};

// The bytes of an open source into an open destination; the error of the
// first read or write that fails. A write that takes part of the bytes (the
// disk filling up) is followed by one for the rest, which tells why.
static DWORD CopyBytes(HANDLE in, HANDLE out, struct SystemSha256* hash,
                       volatile LONG64* written) {
    BYTE chunk[ChunkSize];
    LONG64 done = 0;
    for (DWORD got;;) {
        if (!ReadFile(in, chunk, ChunkSize, &got, NULL)) return GetLastError();
        if (got == 0) return ERROR_SUCCESS;
        if (hash && !AddToSystemSha256(hash, chunk, got)) return GetLastError();
        for (DWORD put, at = 0; at < got; at += put) {
            if (!WriteFile(out, chunk + at, got - at, &put, NULL)) return GetLastError();
            if (put == 0) return ERROR_WRITE_FAULT;  // no progress and no reason
            done += put;
            InterlockedExchange64(written, done);
        }
    }
}

// The bytes, checked against digest when it is given: DamagedSourceError
// when they hash to another.
static DWORD CopyBytesChecking(HANDLE in, HANDLE out, const unsigned char* digest,
                               volatile LONG64* written) {
    if (!digest) return CopyBytes(in, out, NULL, written);
    struct SystemSha256 hash;
    unsigned char got[Sha256Size];
    if (!BeginSystemSha256(&hash)) return GetLastError();
    DWORD error = CopyBytes(in, out, &hash, written);
    if (!EndSystemSha256(&hash, got) && error == ERROR_SUCCESS) error = GetLastError();
    if (error == ERROR_SUCCESS && !SameBytes(got, digest, Sha256Size)) error = DamagedSourceError;
    return error;
}

// Renames the open copy, replacing what is at destination; one that is
// read-only refuses until its attributes are cleared.
static DWORD RenameOpenFile(HANDLE file, const WCHAR* destination) {
    struct {
        FILE_RENAME_INFO info;
        WCHAR room[PathBufferSize];  // the name goes on behind the first WCHAR
    } rename = {};
    int length = lstrlenW(destination);
    if (length >= PathBufferSize) return ERROR_FILENAME_EXCED_RANGE;  // planned paths fit
    rename.info.ReplaceIfExists = TRUE;
    rename.info.FileNameLength = (DWORD)length * sizeof(WCHAR);
    lstrcpyW(rename.info.FileName, destination);
    if (SetFileInformationByHandle(file, FileRenameInfo, &rename, sizeof rename)) return 0;
    SetFileAttributesW(destination, FILE_ATTRIBUTE_NORMAL);  // usually none is there
    if (SetFileInformationByHandle(file, FileRenameInfo, &rename, sizeof rename)) return 0;
    return GetLastError();
}

// Whether the system deletes the open file when its last handle closes.
static BOOL DeleteWhenClosed(HANDLE file, BOOL deleted) {
    FILE_DISPOSITION_INFO disposition = {(BOOLEAN)deleted};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

// What becomes of a copy once its bytes are in.
enum CopyEnd {
    PlainCopy,        // as CopyFileW
    RenamedCopy,      // renamed over the destination before it is closed
    ProvisionalCopy,  // deleted by the system unless whole, even when the process is killed
};

// The copy's steps; 0 or the error of the first that failed. The source's
// basic information, not GetFileInformationByHandle: that one asks for the
// volume's serial number too, which under Wine costs more than the copy.
// The copy is made writable; it takes the source's attributes (read-only
// among them) and write time at the end, in one call.
static DWORD CopyOpenSource(HANDLE in, const WCHAR* path, BOOL failIfExists, enum CopyEnd end,
                            const WCHAR* renameTo, const unsigned char* digest,
                            volatile LONG64* written) {
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(in, FileBasicInfo, &basic, sizeof basic))
        return GetLastError();
    DWORD attributes = basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY;
    HANDLE out = CreateFileW(path, GENERIC_WRITE | (end != PlainCopy ? DELETE : 0), 0, NULL,
                             failIfExists ? CREATE_NEW : CREATE_ALWAYS,
                             attributes ? attributes : FILE_ATTRIBUTE_NORMAL, NULL);
    if (out == INVALID_HANDLE_VALUE) return GetLastError();
    // Where the system cannot delete it at the close, a copy cut off by a
    // killed process stays: passed over, as it is not expected.
    if (end == ProvisionalCopy) DeleteWhenClosed(out, TRUE);
    DWORD error = CopyBytesChecking(in, out, digest, written);
    if (error == ERROR_SUCCESS && end == ProvisionalCopy && !DeleteWhenClosed(out, FALSE))
        error = GetLastError();
    FILE_BASIC_INFO kept = {};
    kept.LastWriteTime = basic.LastWriteTime;  // the other times: 0, not changed
    kept.FileAttributes = basic.FileAttributes;
    // Attributes and time that cannot be set leave the copy's own: passed over.
    if (error == ERROR_SUCCESS) SetFileInformationByHandle(out, FileBasicInfo, &kept, sizeof kept);
    if (error == ERROR_SUCCESS && end == RenamedCopy) error = RenameOpenFile(out, renameTo);
    CloseHandle(out);
    if (error != ERROR_SUCCESS) {
        SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);  // a read-only copy
        DeleteFileW(path);  // a partial copy is not left behind (already gone when provisional)
    }
    return error;
}

static DWORD CopyWhole(const WCHAR* source, const WCHAR* path, BOOL failIfExists, enum CopyEnd end,
                       const WCHAR* renameTo, const unsigned char* digest,
                       volatile LONG64* written) {
    InterlockedExchange64(written, 0);
    HANDLE in = CreateFileW(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, 0, NULL);
    if (in == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD error = CopyOpenSource(in, path, failIfExists, end, renameTo, digest, written);
    CloseHandle(in);
    return error;
}

BOOL CopyFileInChunks(const WCHAR* source, const WCHAR* destination, BOOL failIfExists,
                      volatile LONG64* written) {
    DWORD error = CopyWhole(source, destination, failIfExists, PlainCopy, NULL, NULL, written);
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

DWORD CopyFileAsNew(const WCHAR* source, const WCHAR* destination, const unsigned char* digest,
                    volatile LONG64* written) {
    return CopyWhole(source, destination, TRUE, ProvisionalCopy, NULL, digest, written);
}

DWORD CopyFileIntoPlace(const WCHAR* source, const WCHAR* temporary, const WCHAR* destination,
                        const unsigned char* digest, volatile LONG64* written) {
    return CopyWhole(source, temporary, TRUE, RenamedCopy, destination, digest, written);
}

// One walk over rows: the worker's, or the window thread's own when there is
// no worker.
struct CopyRun {
    struct PlannedFile* rows;
    int count;
    int (*stopRequested)(void);  // asked between rows on the window's thread only
    volatile LONG current;       // the row under way; -1 before the first
    volatile LONG64 written;     // its bytes so far
    volatile LONG stop;          // set by the window's thread: no further row
    int stopped;                 // the walk ended before its last row
    // A question handed back to the window's thread, and its answer.
    struct PlannedFile* asking;
    DWORD error;
    const WCHAR* atFault;
    int answer;
};

static void WalkRows(struct CopyRun* run, CopyQuestion ask) {
    for (int i = 0; i < run->count; ++i) {
        if (run->stop || (run->stopRequested && run->stopRequested())) {
            run->stopped = 1;
            return;
        }
        struct PlannedFile* file = &run->rows[i];
        InterlockedExchange64(&run->written, 0);
        InterlockedExchange(&run->current, i);
        if (file->action == PassOverRow || file->action == NotListedRow) {
            file->outcome = file->action == PassOverRow ? FilePassedOver : FileNotListed;
            continue;
        }
        if (CopyRowAsking(file, &run->written, ask) == CopyAborted) {
            run->stopped = 1;
            return;
        }
    }
}

static HANDLE Worker, RunReady, Attention, Answered;
static struct CopyRun* Run;
static int Running;

// On the worker: the question goes to the window's thread, which answers.
static int HandBackQuestion(struct PlannedFile* file, DWORD error, const WCHAR* atFault) {
    Run->error = error;
    Run->atFault = atFault;
    Run->asking = file;
    SetEvent(Attention);
    WaitForSingleObject(Answered, INFINITE);
    Run->asking = NULL;
    return Run->answer;
}

static DWORD WINAPI WalkOnWorker(LPVOID) {
    while (WaitForSingleObject(RunReady, INFINITE) == WAIT_OBJECT_0) {
        WalkRows(Run, HandBackQuestion);
        SetEvent(Attention);  // with no question: the walk has ended
    }
    return 0;
}

static int StartWorker(void) {
    if (Worker) return 1;
    if (!RunReady) RunReady = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (!Attention) Attention = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (!Answered) Answered = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (RunReady && Attention && Answered)
        Worker = CreateThread(NULL, 0, WalkOnWorker, NULL, 0, NULL);
    return Worker != NULL;
}

// A question is answered under the arrow; the copy goes on under the hourglass.
static int AskUnderArrow(const struct PlannedFile* file, DWORD error, const WCHAR* atFault) {
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    int answer = AskAboutFailure(file, error, atFault);
    SetCursor(LoadCursorA(NULL, IDC_WAIT));
    return answer;
}

// Without the worker the questions are asked where the copy runs.
static int AskHere(struct PlannedFile* file, DWORD error, const WCHAR* atFault) {
    NoteCopyStarted(file);
    return AskUnderArrow(file, error, atFault);
}

// The row under way and its bytes, as the progress shows them.
static void ShowRun(struct CopyRun* run, LONG* shown) {
    LONG current = InterlockedCompareExchange(&run->current, 0, 0);
    if (current < 0) return;
    if (current != *shown) NoteCopyStarted(&run->rows[current]);
    *shown = current;
    NoteCopyTransferred((uint64_t)InterlockedCompareExchange64(&run->written, 0, 0));
}

int CopyRowsAsking(struct PlannedFile* rows, int count, int (*stopRequested)(void)) {
    struct CopyRun run = {rows, count, stopRequested, -1, 0, 0, 0, NULL, 0, NULL, 0};
    SetCursor(LoadCursorA(NULL, IDC_WAIT));
    // A walk asked for by a message dispatched during another runs here, as
    // does one without a worker: only the window waits for it then.
    int onWorker = !Running && StartWorker();
    if (onWorker) {
        run.stopRequested = NULL;  // the worker reads run.stop, set from here
        Run = &run;
        onWorker = SetEvent(RunReady);
    }
    if (!onWorker) {
        run.stopRequested = stopRequested;
        WalkRows(&run, AskHere);
        return !run.stopped;
    }
    Running = 1;
    LONG shown = -1;
    for (;;) {
        // A quit met meanwhile goes back to the main loop; the walk still ends.
        PumpResult pumped = PumpMessages(Attention, ProgressInterval);
        if (stopRequested && stopRequested()) InterlockedExchange(&run.stop, 1);
        ShowRun(&run, &shown);
        if (pumped != PumpSignalled) continue;
        if (!run.asking) break;
        run.answer = AskUnderArrow(run.asking, run.error, run.atFault);
        // A stop asked for while the box was up holds before the next row.
        if (stopRequested && stopRequested()) InterlockedExchange(&run.stop, 1);
        SetEvent(Answered);
    }
    Running = 0;
    return !run.stopped;
}

void StopCopyRows(void) {
    if (Running) InterlockedExchange(&Run->stop, 1);
}

enum CopyOutcome CopyFileAsking(struct PlannedFile* file) {
    CopyRowsAsking(file, 1, NULL);
    return file->outcome;
}

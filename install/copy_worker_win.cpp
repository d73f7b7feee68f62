// The copy runs on a worker thread while the window's thread pumps messages:
// a large file on a slow disk then never leaves the window unanswered. (A
// progress routine that pumps would run inside the copy, re-entered by every
// command the pump dispatches; and Wine 8 never calls one, so its window would
// freeze as before.) The routine here only counts bytes for the bar.
#include "install/copy.h"
#include "install/seal.h"
#include "platform/message_pump.h"

enum { ProgressInterval = 50 };  // milliseconds between updates of the bar

struct CopyJob {
    const WCHAR* source;
    const WCHAR* destination;
    unsigned char* digest;  // the hashing copy's, else NULL
    volatile LONG64 transferred;
    BOOL copied;
    DWORD error;
};

// Runs on the worker: it only records the count, the window's thread shows it.
static DWORD CALLBACK RecordTransferred(LARGE_INTEGER, LARGE_INTEGER transferred, LARGE_INTEGER,
                                        LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID data) {
    InterlockedExchange64(&static_cast<CopyJob*>(data)->transferred, transferred.QuadPart);
    return PROGRESS_CONTINUE;
}

// One worker for the whole run: a thread per file costs about a millisecond
// under Wine, which dozens of small files add up.
static HANDLE Worker, JobReady, JobDone;
static CopyJob* Job;
static int Copying;

// CopyFileW is CopyFileExW without a progress routine and flags 0; a routine
// that always continues changes nothing about the copy.
static BOOL CopyAsAsked(CopyJob* job) {
    if (job->digest)
        return CopyFileHashing(job->source, job->destination, job->digest, &job->transferred);
    return CopyFileExW(job->source, job->destination, RecordTransferred, job, NULL, 0);
}

static DWORD WINAPI CopyOnWorker(LPVOID) {
    while (WaitForSingleObject(JobReady, INFINITE) == WAIT_OBJECT_0) {
        Job->copied = CopyAsAsked(Job);
        Job->error = Job->copied ? ERROR_SUCCESS : GetLastError();
        SetEvent(JobDone);
    }
    return 0;
}

static int StartWorker(void) {
    if (Worker) return 1;
    if (!JobReady) JobReady = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (!JobDone) JobDone = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (JobReady && JobDone) Worker = CreateThread(NULL, 0, CopyOnWorker, NULL, 0, NULL);
    return Worker != NULL;
}

static void PumpUntilEnded(HANDLE done, CopyJob* job) {
    // A quit met meanwhile goes back to the main loop; the copy still ends.
    while (PumpMessages(done, ProgressInterval) != PumpSignalled)
        NoteCopyTransferred((uint64_t)InterlockedCompareExchange64(&job->transferred, 0, 0));
}

static BOOL CopyOnWorkerWhilePumping(CopyJob* job) {
    // Without the worker the copy still happens, only the window waits for
    // it; so does a copy asked for by a message dispatched during another.
    if (Copying || !StartWorker()) return CopyAsAsked(job);
    Job = job;
    if (!SetEvent(JobReady)) return CopyAsAsked(job);
    Copying = 1;
    PumpUntilEnded(JobDone, job);
    Copying = 0;
    SetLastError(job->error);
    return job->copied;
}

BOOL CopyFileWhilePumping(const WCHAR* source, const WCHAR* destination) {
    CopyJob job = {source, destination, NULL, 0, FALSE, ERROR_SUCCESS};
    return CopyOnWorkerWhilePumping(&job);
}

BOOL CopyFileHashingWhilePumping(const WCHAR* source, const WCHAR* destination,
                                 unsigned char digest[Sha256Size]) {
    CopyJob job = {source, destination, digest, 0, FALSE, ERROR_SUCCESS};
    return CopyOnWorkerWhilePumping(&job);
}

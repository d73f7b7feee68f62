// The copy runs on a worker thread while the window's thread pumps messages:
// a large file on a slow disk then never leaves the window unanswered. The
// worker copies in chunks itself and counts the bytes written for the bar:
// Wine 8's CopyFileExW never calls a progress routine, so a bar fed by one
// would stand still for a whole file. A sealed file's chunks are hashed as
// they are written, so its digest is of what the copy holds.
#include "install/copy.h"
#include "platform/message_pump.h"
#include "platform/sha256.h"

enum {
    ProgressInterval = 50,  // milliseconds between updates of the bar
    ChunkSize = 1 << 20,    // bytes one read and one write move
};

struct CopyJob {
    const WCHAR* source;
    const WCHAR* destination;
    unsigned char* digest;  // of the bytes written, when asked for
    volatile LONG64 transferred;
    BOOL copied;
    DWORD error;
};

// One worker for the whole run: a thread per file costs about a millisecond
// under Wine, which dozens of small files add up.
static HANDLE Worker, JobReady, JobDone;
static CopyJob* Job;
static BYTE* Chunk;  // the worker's buffer
static int Copying;

// The bytes of an open source into an open destination; the error of the
// first read or write that fails. A write that takes part of the bytes (the
// disk filling up) is followed by one for the rest, which tells why.
static DWORD CopyBytes(HANDLE in, HANDLE out, struct SystemSha256* hash,
                       volatile LONG64* transferred) {
    LONG64 done = 0;
    for (DWORD got;;) {
        if (!ReadFile(in, Chunk, ChunkSize, &got, NULL)) return GetLastError();
        if (got == 0) return ERROR_SUCCESS;
        if (hash && !AddToSystemSha256(hash, Chunk, got)) return GetLastError();
        for (DWORD put, at = 0; at < got; at += put) {
            if (!WriteFile(out, Chunk + at, got - at, &put, NULL)) return GetLastError();
            if (put == 0) return ERROR_WRITE_FAULT;  // no progress and no reason
            done += put;
            InterlockedExchange64(transferred, done);
        }
    }
}

// The bytes, hashed into digest when it is given.
static DWORD CopyBytesHashing(HANDLE in, HANDLE out, unsigned char* digest,
                              volatile LONG64* transferred) {
    struct SystemSha256 hash;
    if (!digest) return CopyBytes(in, out, NULL, transferred);
    if (!BeginSystemSha256(&hash)) return GetLastError();
    DWORD error = CopyBytes(in, out, &hash, transferred);
    if (!EndSystemSha256(&hash, digest) && error == ERROR_SUCCESS) error = GetLastError();
    return error;
}

// As CopyFileW(source, destination, FALSE): the copy takes the source's
// attributes and last-write time, and a failure leaves no destination of
// its making; 0 or the error of the first step that failed.
static DWORD CopyInChunks(const WCHAR* source, const WCHAR* destination, unsigned char* digest,
                          volatile LONG64* transferred) {
    HANDLE in = CreateFileW(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (in == INVALID_HANDLE_VALUE) return GetLastError();
    BY_HANDLE_FILE_INFORMATION info;
    DWORD error = ERROR_SUCCESS;
    HANDLE out = INVALID_HANDLE_VALUE;
    if (!GetFileInformationByHandle(in, &info))
        error = GetLastError();
    else if ((out = CreateFileW(destination, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                info.dwFileAttributes | FILE_FLAG_SEQUENTIAL_SCAN, NULL)) ==
             INVALID_HANDLE_VALUE)
        error = GetLastError();
    else
        error = CopyBytesHashing(in, out, digest, transferred);
    if (out != INVALID_HANDLE_VALUE) {
        // A time that cannot be set leaves the copy's own: passed over.
        if (error == ERROR_SUCCESS) SetFileTime(out, NULL, NULL, &info.ftLastWriteTime);
        CloseHandle(out);
        if (error != ERROR_SUCCESS) {
            SetFileAttributesW(destination, FILE_ATTRIBUTE_NORMAL);  // a read-only copy
            DeleteFileW(destination);  // what stays is the caller's to remove
        }
    }
    CloseHandle(in);
    return error;
}

static DWORD WINAPI CopyOnWorker(LPVOID) {
    while (WaitForSingleObject(JobReady, INFINITE) == WAIT_OBJECT_0) {
        Job->error = CopyInChunks(Job->source, Job->destination, Job->digest, &Job->transferred);
        Job->copied = Job->error == ERROR_SUCCESS;
        SetEvent(JobDone);
    }
    return 0;
}

static int StartWorker(void) {
    if (Worker) return 1;
    if (!Chunk) Chunk = (BYTE*)HeapAlloc(GetProcessHeap(), 0, ChunkSize);
    if (!JobReady) JobReady = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (!JobDone) JobDone = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (Chunk && JobReady && JobDone) Worker = CreateThread(NULL, 0, CopyOnWorker, NULL, 0, NULL);
    return Worker != NULL;
}

static void PumpUntilEnded(HANDLE done, CopyJob* job) {
    // A quit met meanwhile goes back to the main loop; the copy still ends.
    while (PumpMessages(done, ProgressInterval) != PumpSignalled)
        NoteCopyTransferred((uint64_t)InterlockedCompareExchange64(&job->transferred, 0, 0));
}

static BOOL CopyOnWorkerWhilePumping(CopyJob* job) {
    if (!Copying && StartWorker()) {
        Job = job;
        if (SetEvent(JobReady)) {
            Copying = 1;
            PumpUntilEnded(JobDone, job);
            Copying = 0;
            SetLastError(job->error);
            return job->copied;
        }
    }
    // Without the worker the copy still happens, only the window waits for
    // it; so does a copy asked for by a message dispatched during another.
    if (!job->digest) return CopyFileW(job->source, job->destination, FALSE);
    // The worker's buffer serves one copy at a time: a hashing copy asked for
    // during another is refused.
    job->error = Chunk && !Copying
                     ? CopyInChunks(job->source, job->destination, job->digest, &job->transferred)
                     : ERROR_BUSY;
    SetLastError(job->error);
    return job->error == ERROR_SUCCESS;
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

// seal: writes into setup.exe the list of every file its install copies from
// a disk (relative name, size, SHA-256), and shows that list.
//
//   seal write <disk> [--edition 0|1] [--into <setup.exe>]
//   seal list <setup.exe>
//
// write surveys the disk as the install does (the manifest rows present, the
// pattern files, the viewer folder's files) and puts the seal into
// <disk>/setup.exe, or the file given, replacing a seal already there. The
// edition is the one whose main program is on the disk. A signed file is
// refused: the seal goes in before signing, so that the signature covers it.
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "banner/description_block.h"
#include "install/install_tables.h"
#include "install/seal.h"
#include "platform/sha256.h"
#include "tools/tool_files.h"

const char* ToolName = "seal";

namespace {

struct Entry {
    std::string name;  // as the disk has it
    bool plainFile;
};

struct Listed {
    std::string name;  // the install's relative name
    uint64_t size;
    unsigned char digest[Sha256Size];
};

int ListFolder(const std::string& folder, std::vector<Entry>* entries) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return Fail("cannot list the folder", folder);
    while (struct dirent* found = readdir(dir)) {
        std::string name = found->d_name;
        if (name == "." || name == "..") continue;
        struct stat info;
        // A link counts as what it points to, as it does for the program under Wine.
        bool plain = stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
        entries->push_back({name, plain});
    }
    closedir(dir);
    return 1;
}

bool SameName(const std::string& a, const std::string& b) {
    return SameSealName(a.data(), (int)a.size(), b.data(), (int)b.size());
}

// Windows patterns as the install uses them: '*' and '?', letters in any case.
bool Matches(const char* name, const char* pattern) {
    if (!*pattern) return !*name;
    if (*pattern == '*') return Matches(name, pattern + 1) || (*name && Matches(name + 1, pattern));
    if (!*name) return false;
    if (*pattern != '?' && !SameSealName(name, 1, pattern, 1)) return false;
    return Matches(name + 1, pattern + 1);
}

const Entry* FindEntry(const std::vector<Entry>& entries, const std::string& name) {
    for (const Entry& entry : entries)
        if (SameName(entry.name, name)) return &entry;
    return NULL;
}

// A name the program can find and match: UTF-8, and nothing a Windows file
// name cannot hold.
const char* NameProblem(const std::string& name) {
    int following = 0;  // continuation bytes still due
    for (unsigned char c : name) {
        if (following) {
            if ((c & 0xC0) != 0x80) return "is not UTF-8";
            --following;
        } else if (c < 0x80) {
            if (c < 0x20 || strchr("<>:\"/\\|?*", c))
                return "holds a character no Windows file name holds";
        } else if (c >= 0xC2 && c < 0xF5) {
            following = c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        } else {
            return "is not UTF-8";
        }
    }
    if (following) return "is not UTF-8";
    if (name.back() == ' ' || name.back() == '.') return "ends in a space or a dot";
    return NULL;
}

int HashFile(const std::string& path, uint64_t* size, unsigned char digest[Sha256Size]) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return Fail("cannot open", path);
    std::vector<unsigned char> chunk(1 << 20);
    Sha256 hash;
    BeginSha256(&hash);
    size_t got;
    *size = 0;
    while ((got = fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        AddToSha256(&hash, chunk.data(), got);
        *size += got;
    }
    int fine = !ferror(file);
    fclose(file);
    EndSha256(&hash, digest);
    return fine ? 1 : Fail("cannot read", path);
}

struct Survey {
    std::string disk;
    std::vector<Listed> files;
    int faults = 0;
};

// The file found as onDisk in folder, listed under name.
void Add(Survey* survey, const std::string& folder, const std::string& onDisk,
         const std::string& name) {
    std::string path = folder + "/" + onDisk;
    const char* problem = NameProblem(onDisk);
    if (problem) {
        ++survey->faults;
        Fail(problem, path);
        return;
    }
    for (const Listed& listed : survey->files)
        if (SameName(listed.name, name)) {
            if (listed.name != name) {
                ++survey->faults;
                Fail("differs only in case from another file the install copies", path);
            }
            return;  // a manifest file that a pattern matches too is listed once
        }
    if (name.size() >= SealNameSize) {
        ++survey->faults;
        Fail("name too long for the install", path);
        return;
    }
    Listed listed;
    listed.name = name;
    if (!HashFile(path, &listed.size, listed.digest))
        ++survey->faults;
    else
        survey->files.push_back(listed);
}

int EditionOnDisk(const std::vector<Entry>& top, const std::string& disk) {
    const Entry* main0 = FindEntry(top, MainExecutableName(0));
    const Entry* main1 = FindEntry(top, MainExecutableName(1));
    bool has0 = main0 && main0->plainFile, has1 = main1 && main1->plainFile;
    if (has0 != has1) return has0 ? 0 : 1;
    Fail(has0 ? "holds the main programs of both editions: give --edition"
              : "holds no edition's main program: not a disk (give --edition to seal it all "
                "the same)",
         disk);
    return -1;
}

// What the install copies from the disk, in its order: the manifest rows
// present, the files matching the patterns, the viewer folder's files.
int SurveyDisk(const std::string& disk, int edition, Survey* survey) {
    std::vector<Entry> top, viewer;
    if (!ListFolder(disk, &top)) return 0;
    if (edition < 0 && (edition = EditionOnDisk(top, disk)) < 0) return 0;
    survey->disk = disk;
    for (int row = 0; row < FileManifestRows; ++row) {
        const Entry* entry = FindEntry(top, ManifestFileName(row, edition));
        if (entry && entry->plainFile)
            Add(survey, disk, entry->name, ManifestFileName(row, edition));
    }
    for (int i = 0; i < CopiedPatternCount; ++i)
        for (const Entry& entry : top)
            if (entry.plainFile && Matches(entry.name.c_str(), CopiedPatterns[i]))
                Add(survey, disk, entry.name, entry.name);
    int viewers = 0;
    for (const Entry& entry : top) {
        if (entry.plainFile || !SameName(entry.name, ViewerFolder)) continue;
        if (++viewers > 1) return Fail("holds two viewer folders that differ only in case", disk);
        std::string folder = disk + "/" + entry.name;
        if (!ListFolder(folder, &viewer)) return 0;
        for (const Entry& file : viewer)
            if (file.plainFile)
                Add(survey, folder, file.name, std::string(ViewerFolder) + "\\" + file.name);
    }
    return survey->faults == 0;
}

// program | seal | zero bytes | description: the description still ends on
// the certificate table's alignment. A seal that ends the file needs no
// zero bytes: the program looks for it across those a signature adds.
std::string Sealed(const std::string& file, const std::string& seal) {
    AppendedBlocks blocks;
    FindAppendedBlocks((const unsigned char*)file.data(), (long)file.size(), &blocks);
    std::string out = file.substr(0, (size_t)blocks.programEnd) + seal;
    std::string description = file.substr((size_t)blocks.descriptionStart);
    if (!description.empty())
        out.append((size_t)PaddingBeforeBlock((long)out.size(), (long)description.size()), '\0');
    return out + description;
}

int WriteSeal(const std::string& disk, int edition, const std::string& into) {
    std::string program;
    if (!ReadWholeFile(into, &program)) return 0;
    if (program.size() > (size_t)(1L << 30)) return Fail("far too large for a program", into);
    if (IsSigned(program))
        return Fail("already signed: the seal goes into setup.exe before signing", into);
    Survey survey;
    if (!SurveyDisk(disk, edition, &survey)) return Fail("not sealed", into);
    std::vector<SealRow> rows;
    for (const Listed& listed : survey.files)
        rows.push_back({listed.name.data(), (int)listed.name.size(), listed.size, listed.digest});
    long length = SealLength(rows.data(), (int)rows.size());
    if (length < 0) return Fail("too many files for a seal", into);
    std::string seal((size_t)length, '\0');
    if (BuildSeal(rows.data(), (int)rows.size(), (unsigned char*)&seal[0], length) != length)
        return Fail("cannot build the seal", into);
    if (!WriteWholeFile(into, Sealed(program, seal))) return 0;
    printf("%s: sealed %zu files of %s\n", into.c_str(), rows.size(), disk.c_str());
    return 1;
}

int ListSeal(const std::string& path) {
    std::string file;
    if (!ReadWholeFile(path, &file)) return 0;
    AppendedBlocks blocks;
    FindAppendedBlocks((const unsigned char*)file.data(), (long)file.size(), &blocks);
    if (blocks.sealEnd == blocks.sealStart) return Fail("no seal", path);
    const unsigned char* seal = (const unsigned char*)file.data() + blocks.sealStart;
    long length = blocks.sealEnd - blocks.sealStart, at = 0;
    SealRow row;
    while (NextSealRow(seal, length, &at, &row)) {
        printf("%llu ", (unsigned long long)row.size);
        for (int i = 0; i < Sha256Size; ++i) printf("%02x", row.digest[i]);
        printf(" %.*s\n", row.nameLength, row.name);
    }
    return 1;
}

int Usage(void) {
    fprintf(stderr,
            "usage: seal write <disk> [--edition 0|1] [--into <setup.exe>]\n"
            "       seal list <setup.exe>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "list") == 0) return ListSeal(argv[2]) ? 0 : 1;
    if (argc < 3 || strcmp(argv[1], "write") != 0) return Usage();
    std::string disk = argv[2], into;
    int edition = -1;
    for (int i = 3; i < argc; i += 2) {
        if (i + 1 >= argc) return Usage();
        if (strcmp(argv[i], "--into") == 0)
            into = argv[i + 1];
        else if (strcmp(argv[i], "--edition") == 0 && strlen(argv[i + 1]) == 1 &&
                 (argv[i + 1][0] == '0' || argv[i + 1][0] == '1'))
            edition = argv[i + 1][0] - '0';
        else
            return Usage();
    }
    if (into.empty()) into = disk + "/setup.exe";
    return WriteSeal(disk, edition, into) ? 0 : 1;
}

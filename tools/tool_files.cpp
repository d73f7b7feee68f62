#include "tools/tool_files.h"

#include <stdio.h>

#include "banner/description_block.h"

int Fail(const char* what, const std::string& path) {
    fprintf(stderr, "%s: %s: %s\n", ToolName, path.c_str(), what);
    return 0;
}

int ReadWholeFile(const std::string& path, std::string* content) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return Fail("cannot open", path);
    char chunk[4096];
    size_t got;
    content->clear();
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) content->append(chunk, got);
    int fine = !ferror(file);
    fclose(file);
    return fine ? 1 : Fail("cannot read", path);
}

int WriteWholeFile(const std::string& path, const std::string& content) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return Fail("cannot create", path);
    size_t put = fwrite(content.data(), 1, content.size(), file);
    int closed = fclose(file) == 0;
    return put == content.size() && closed ? 1 : Fail("cannot write", path);
}

int IsSigned(const std::string& file) {
    long size = (long)file.size();
    long header = size < PeHeaderReadSize ? size : (long)PeHeaderReadSize;
    return ContentEnd((const unsigned char*)file.data(), header, size) != size;
}

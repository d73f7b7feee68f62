#include "install/registration.h"

#include "install/install_tables.h"
#include "tables/bounded_text.h"
#include "tables/notice.h"
#include "tables/tables.h"

int UninstallKeyName(int edition, char* out, int size) {
    return JoinTexts(out, size, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                     ProductString(DefaultSubFolder, edition));
}

int QuotedProgram(const char* destinationPath, const char* program, const char* tail, char* out,
                  int size) {
    int n = TextLength(destinationPath) + TextLength(program) + TextLength(tail) + 2;
    if (n >= size) return 0;
    CopyText(out, size, "\"");
    AppendText(out, size, destinationPath);
    AppendText(out, size, program);
    AppendText(out, size, "\"");
    return AppendText(out, size, tail);
}

int UninstallCommand(const char* destinationPath, const char* program, char* out, int size) {
    return QuotedProgram(destinationPath, program, " uninst", out, size);
}

uint32_t EstimatedSizeKiB(uint64_t bytes) {
    uint64_t kib = bytes / 1024 + (bytes % 1024 != 0);
    return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)kib;
}

int ComposeUninstallEntry(const char* destinationPath, int edition, struct UninstallEntry* entry) {
    static const uint32_t Yes = 1;
    const char* program = MainExecutableName(edition);
    if (!UninstallKeyName(edition, entry->keyName, sizeof entry->keyName) ||
        !UninstallCommand(destinationPath, program, entry->command, sizeof entry->command) ||
        !JoinTexts(entry->icon, sizeof entry->icon, destinationPath, program) ||
        !CopyText(entry->location, sizeof entry->location, destinationPath))
        return 0;
    entry->sizeKiB = 0;
    const struct UninstallValue values[UninstallValueCount] = {
        {"DisplayName", ProductString(ProductName, edition), 0},
        {"UninstallString", entry->command, 0},
        {"DisplayVersion", PRODUCT_VERSION, 0},
        {"Publisher", MAKER_NAME, 0},
        {"DisplayIcon", entry->icon, 0},
        {"InstallLocation", entry->location, 0},
        {"EstimatedSize", 0, &entry->sizeKiB},
        {"NoModify", 0, &Yes},
        {"NoRepair", 0, &Yes},
    };
    for (int i = 0; i < UninstallValueCount; ++i) entry->values[i] = values[i];
    return 1;
}

int PerUserPathValue(const char* destinationPath, char* out, int size) {
    int n = TextLength(destinationPath);
    if (n > 0 && destinationPath[n - 1] == '\\') --n;
    if (n >= size) return 0;
    for (int i = 0; i < n; ++i) out[i] = destinationPath[i];
    out[n] = 0;
    return 1;
}

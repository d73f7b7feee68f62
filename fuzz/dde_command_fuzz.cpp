// The AddItem command: exactly "[AddItem(\"path\", product)]" within its
// buffer, or a refusal that leaves the buffer alone; the path and product
// read back out of the command unchanged.
#include "fuzz/fuzz_check.h"
#include "progman/progman.h"

static void CheckArgument(const char* path, const char* product, int size) {
    char expected[2 * DdeCommandSize];
    int length = snprintf(expected, sizeof expected, "\"%s\", %s", path, product);
    char* argument = PatternBuffer((size_t)size);
    int made = ComposeAddItemArgument(argument, size, path, product);
    FUZZ_CHECK(made == (length < size && length < AddItemArgumentSize));
    FUZZ_CHECK(made ? strcmp(argument, expected) == 0 : StillPattern(argument, (size_t)size));
    free(argument);
}

static void CheckCommand(const char* path, const char* product, int size) {
    char* command = PatternBuffer((size_t)size);
    int made = ComposeAddItemCommand(command, size, path, product);
    size_t argumentLength = strlen(path) + strlen(product) + 4;
    size_t length = argumentLength + 11;  // [AddItem( and )]
    FUZZ_CHECK(made == (argumentLength < AddItemArgumentSize && length < (size_t)size &&
                        length < DdeCommandSize));
    if (!made) {
        FUZZ_CHECK(StillPattern(command, (size_t)size));
    } else {
        // Read the command back the way the server parses it.
        FUZZ_CHECK(strlen(command) == length);
        FUZZ_CHECK(strncmp(command, "[AddItem(\"", 10) == 0);
        FUZZ_CHECK(strcmp(command + length - 2, ")]") == 0);
        size_t p = strlen(path);
        FUZZ_CHECK(memcmp(command + 10, path, p) == 0);
        FUZZ_CHECK(memcmp(command + 10 + p, "\", ", 3) == 0);
        FUZZ_CHECK(memcmp(command + 13 + p, product, strlen(product)) == 0);
    }
    free(command);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    uint8_t sizeChoice = TakeByte(&in);
    int bufferSize = sizeChoice < 0x80 ? DdeCommandSize : 1 + (int)sizeChoice * 3 + TakeByte(&in);
    char* path = TakeText(&in);
    char* product = TakeText(&in);
    CheckArgument(path, product,
                  bufferSize > AddItemArgumentSize ? AddItemArgumentSize : bufferSize);
    CheckCommand(path, product, bufferSize);

    unsigned message = (unsigned)TakeByte(&in) << 8 | TakeByte(&in);
    int action = DecideAckAction(message, TakeByte(&in) & 1);
    FUZZ_CHECK(action >= IgnoreAck && action <= ReleaseCommand);
    if (message != DdeInitiateMessage && message != DdeExecuteMessage)
        FUZZ_CHECK(action == IgnoreAck);
    free(product);
    free(path);
    return 0;
}

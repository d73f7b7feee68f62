// What the build tools share: whole files read and written, a complaint that
// names the tool and the file, and the test for a signed program.
#pragma once
#include <string>

// The tool's name in its complaints.
extern const char* ToolName;

// Prints "<tool>: <path>: <what>" and returns 0.
int Fail(const char* what, const std::string& path);
int ReadWholeFile(const std::string& path, std::string* content);
int WriteWholeFile(const std::string& path, const std::string& content);
// A program ending in a certificate table: appending behind it would break
// the signature and hide the block from the program, which reads from where
// the table begins.
int IsSigned(const std::string& file);

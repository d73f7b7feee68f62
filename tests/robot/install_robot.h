// Installing through the real setup.exe: the shared fixture of the install
// end-to-end tests (disk copy, destination, questions answered in order, the
// started stand-in product, registry clean-up). Test code only.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "progman_robot.h"
#include "robot.h"

namespace robot {

extern const char* const ProductNames[2];
extern const char* const PerUserKeys[2];
extern const char* const UninstallKeys[2];
extern const char* const Markers[7];
enum { Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The system's text for an error code, without its line break.
std::string SystemText(DWORD code);
bool EqualPaths(const std::string& a, const std::string& b);
// Plain files of a folder, one level deep.
std::vector<std::string> FilesOf(const std::string& folder);
// Every plain file of from but setup.exe is in to with the same bytes.
void ExpectSameFiles(const std::string& from, const std::string& to, size_t atLeast);
// The same by the files' wide names, in from and its viewer folder: names the
// ANSI code page cannot hold are compared too. Returns the files compared
// and adds their bytes to *bytes.
size_t ExpectSameFilesByWideName(const std::wstring& from, const std::wstring& to,
                                 unsigned long long* bytes);
// "n / N" at the end of the progress box's text; false when there is none.
bool ReadCopyCount(const std::string& text, int* number, int* total);

// The stand-in product started at the end; it shows its folders in a static.
struct Product {
    HWND window = NULL;
    std::string info;
    std::string Line(const std::string& label) const;
};
Product WaitForProduct(DWORD timeoutMs = 10000);
// Product windows open now, whoever started them (setup or the shell).
int ProductWindowCount();
void EndProducts();

class InstallSession : public ::testing::Test {
protected:
    void SetUp() override {
        CleanRegistry();
        EndProducts();
    }
    void TearDown() override {
        EnsureEnded(setup_);
        EndProducts();
        CleanRegistry();
    }
    void CleanRegistry() {
        for (int e = 0; e < 2; ++e) {
            DeleteRegistryKey(HKEY_CURRENT_USER, PerUserKeys[e]);
            DeleteRegistryKey(HKEY_LOCAL_MACHINE, UninstallKeys[e]);
        }
    }

    // A fresh disk copy and destination parent; setup.exe is not started yet.
    void PrepareDisk(int edition, const std::string& name) {
        edition_ = edition;
        disk_ = CopyDisk(edition, name + "-disk");
        ASSERT_FALSE(disk_.empty());
        target_ = ScratchFolder(name + "-target");
    }
    void StartSetup() {
        setup_ = Start(disk_ + "\\setup.exe");
        ASSERT_TRUE(setup_.handle != NULL);
        window_ = WaitForSetupWindow(setup_);
        ASSERT_TRUE(window_ != NULL);
    }
    void Begin(int edition, const std::string& name) {
        PrepareDisk(edition, name);
        if (HasFatalFailure()) return;
        StartSetup();
    }
    HWND Field() { return GetDlgItem(window_, 0); }
    void PressOk(const std::string& destination) {
        SetText(Field(), destination);
        Click(GetDlgItem(window_, 1));
    }
    // The next box: its caption, text, buttons and icon (MB_ICON...) as expected.
    MessageBoxInfo ExpectBox(const std::string& caption, const std::string& text,
                             std::vector<int> buttons, int icon = AnyIcon) {
        MessageBoxInfo box;
        EXPECT_TRUE(WaitForMessageBox(setup_, &box)) << "no box: " << text;
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(buttons, box.buttons) << text;
        if (icon != AnyIcon) {
            EXPECT_EQ(icon, box.icon) << text;
        }
        return box;
    }
    void AnswerBox(const std::string& caption, const std::string& text, std::vector<int> buttons,
                   int answer, int icon = AnyIcon) {
        MessageBoxInfo box = ExpectBox(caption, text, buttons, icon);
        if (box.hwnd) Answer(box, answer);
    }
    void AnswerQuestion(const std::string& destination, int answer) {
        AnswerBox("Setup", "Install into \"" + destination + "\"?", {Yes, No}, answer,
                  MB_ICONQUESTION);
    }
    // The English shortcut and run questions of the edition, answered in turn.
    // A declined shortcut asks no server; a declined run starts nothing.
    void AnswerShortcutAndRun(int shortcut, int run) {
        InitiateCounter initiates;
        AnswerBox(ProductNames[edition_], "Create program shortcut?", {Yes, No}, shortcut,
                  MB_ICONQUESTION);
        if (shortcut == Yes && expectShortcutWarning_)
            AnswerBox(errorCaption_, "Unable to create program shortcut.", {IDOK}, IDOK,
                      MB_ICONWARNING);
        AnswerBox(ProductNames[edition_], runQuestion_, {Yes, No}, run, MB_ICONINFORMATION);
        EXPECT_EQ(0, WaitForExit(setup_));
        EXPECT_EQ(shortcut == Yes, initiates.Count() > 0) << initiates.Count() << " initiates";
        if (run == No) {
            EXPECT_TRUE(WaitForProduct(500).window == NULL);
        }
    }
    // Shortcut No, run No: the window closes with 0.
    void FinishWithoutExtras() { AnswerShortcutAndRun(No, No); }
    void ExpectWindowOpenWithFocusInField() {
        Settle(window_);
        EXPECT_EQ(-1, WaitForExit(setup_, 200));
        EXPECT_EQ(Field(), FocusOf(window_));
    }
    std::string Registry(HKEY root, const char* key, const char* name) {
        std::string value = "<none>";
        ReadRegistryText(root, key, name, &value);
        return value;
    }

    int edition_ = 0;
    bool expectShortcutWarning_ = false;
    std::string errorCaption_ = "Error";  // of the shortcut warning
    std::string runQuestion_ = "Setup complete. Run program?";
    std::string disk_, target_;
    Process setup_;
    HWND window_ = NULL;
};

}  // namespace robot

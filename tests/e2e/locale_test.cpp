// The window on systems of other code pages. Wine takes its code page from
// LC_ALL, and this program runs three times (tests/e2e/CMakeLists.txt): on
// code page 1252, where it also keeps the German description's pixels, and
// under Japanese (932) and Chinese (936) locales, where every text must read
// as it does on 1252 and the description look the same. The texts are read
// back in UTF-16, as the system holds them for any user.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "install_robot.h"
#include "robot.h"

using namespace robot;

namespace {

using LocaleInstall = InstallSession;

std::wstring Wide(const std::string& systemText) {
    WCHAR out[1024];
    int n = MultiByteToWideChar(CP_ACP, 0, systemText.c_str(), -1, out, 1024);
    return n > 0 ? out : L"<unconvertible>";
}

std::string SystemBytes(const std::wstring& text) {
    char out[1024];
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, NULL, NULL);
    return n > 0 ? out : "<unconvertible>";
}

std::string Utf8(const std::wstring& text) {
    char out[2048];
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof out, NULL, NULL);
    return n > 0 ? out : "<unconvertible>";
}

// Every label and message of a language as a user reads it, on any code page:
// the button clicked (0: as started), the Cancel label (the one that follows
// the language), then the question for the destination "relx" and the
// refusal that follows a Yes.
// Chinese and Japanese show the English texts with their own Cancel label.
TEST(LocaleWindow, LabelsAndMessagesReadAsOnEveryCodePage) {
    Running run;
    StartSetup(1, "locale-texts-" + std::to_string(GetACP()), &run);
    const wchar_t* languageLabels[8] = {L"&English",      L"&Deutsch",  L"&Fran\u00E7ais",
                                        L"E&spa\u00F1ol", L"&Italiano", L"&Portugues",
                                        L"&Chinese",      L"&Japanese"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Utf8(languageLabels[i]), Utf8(WideTextOf(GetDlgItem(run.window, 100 + i))));
    struct Case {
        int button;
        const wchar_t *cancel, *question, *refusal, *caption;
    } cases[] = {
        {0, L"C&ancel", L"Install into \"relx\"?", L"Invalid destination folder", L"Error"},
        {101, L"&Abbrechen", L"In den Ordner \u00BBrelx\u00AB installieren?",
         L"Ung\u00FCltiger Zielordner", L"Fehler"},
        {102, L"&Annuler", L"Installer dans \u00ABrelx\u00BB?", L"Dossier cible incorrect",
         L"Erreur"},
        {103, L"&Cancelar", L"\u00BFInstalar en \"relx\"?", L"Carpeta de destino no v\u00E1lida",
         L"Error"},
        {106, L"\u53D6\u6D88(&a)", L"Install into \"relx\"?", L"Invalid destination folder", L""},
        {107, L"C&ancel", L"Install into \"relx\"?", L"Invalid destination folder", L"Error"},
    };
    SetText(run.field, "relx");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        if (c.button) ClickAndWait(GetDlgItem(run.window, c.button));
        EXPECT_EQ(Utf8(c.cancel), Utf8(WideTextOf(GetDlgItem(run.window, IDCANCEL))));
        Click(GetDlgItem(run.window, IDOK));
        MessageBoxInfo box;
        ASSERT_TRUE(WaitForMessageBox(run.process, &box));
        EXPECT_EQ(Utf8(c.question), Utf8(box.wideText));
        Answer(box, IDYES);
        ASSERT_TRUE(WaitForMessageBox(run.process, &box));
        EXPECT_EQ(Utf8(c.refusal), Utf8(box.wideText));
        EXPECT_EQ(Utf8(c.caption), Utf8(box.wideCaption));
        Answer(box, IDOK);
    }
}

// The German description above the panel, as this system draws it; the run
// on code page 1252 keeps it for the others, which must match it pixel for
// pixel.
TEST(LocaleWindow, GermanDescriptionLooksAsOnCodePage1252) {
    Running run;
    StartSetup(0, "locale-banner-" + std::to_string(GetACP()), &run);
    ClickAndWait(GetDlgItem(run.window, 101));  // Deutsch
    Settle(run.window);
    Sleep(400);  // the controls' own paints after the banner's
    Screenshot shot = CaptureWindow(run.window);
    const int left = 32, top = 135, right = 992, bottom = 381;  // above the panel
    std::string pixels;
    int white = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            unsigned p = shot.At(x, y);
            pixels.append((const char*)&p, sizeof p);
            white += p == Rgb(255, 255, 255);
        }
    EXPECT_GT(white, 2000);  // the description is there, in white
    std::string reference = WindowsPath(getenv("SETUP_BUILD_DIR")) + "\\locale-german.rgb";
    if (GetACP() == 1252) {
        ASSERT_TRUE(WriteWholeFile(reference, pixels));
        return;
    }
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(reference, &kept)) << "the code page 1252 run comes first";
    ASSERT_EQ(kept.size(), pixels.size());
    int differing = 0;
    for (size_t i = 0; i < kept.size(); i += 4) differing += kept.compare(i, 4, pixels, i, 4) != 0;
    EXPECT_EQ(0, differing);
    if (differing) shot.SaveBmp(ScratchFolder("locale-banner") + "\\german.bmp");
}

// A folder with a Japanese name typed into the field on a Japanese system:
// the question names it, the files land in it and the per-user Path holds it.
TEST_F(LocaleInstall, JapaneseFolderTypedIntoTheField) {
    if (GetACP() != 932) GTEST_SKIP() << "the Japanese locale's run installs";
    PrepareDisk(0, "locale-japanese");
    ASSERT_FALSE(HasFatalFailure());
    StartSetup();
    ASSERT_FALSE(HasFatalFailure());
    const std::wstring folder =
        Wide(target_) + L"\\\u65E5\u672C\u8A9E\u306E\u30D5\u30A9\u30EB\u30C0";
    SetWideText(Field(), folder);
    Click(GetDlgItem(window_, IDOK));
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(setup_, &box));
    EXPECT_EQ(Utf8(L"Install into \"" + folder + L"\"?"), Utf8(box.wideText));
    Answer(box, IDYES);
    FinishWithoutExtras();
    ExpectSameFiles(disk_, SystemBytes(folder), 24);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"\\Vestra.exe").c_str()));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Kellum AG\\Vestra", 0, KEY_READ, &key));
    WCHAR path[512] = L"";
    DWORD size = sizeof path - sizeof(WCHAR), type = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"Path", NULL, &type, (BYTE*)path, &size));
    RegCloseKey(key);
    EXPECT_EQ(Utf8(folder), Utf8(path));
}

}  // namespace

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

// A text in a code page (CP_UTF8 for failure messages that read well).
std::string Bytes(const std::wstring& text, UINT codePage = CP_UTF8) {
    char out[2048];
    int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, out, sizeof out, NULL, NULL);
    return n > 0 ? out : "<unconvertible>";
}

// Each language's labels and messages as a user reads them: the button clicked
// (0: as started), the Cancel label, the question for "relx" and the refusal
// after Yes. Chinese and Japanese show English with their own Cancel label.
TEST(LocaleWindow, LabelsAndMessagesReadAsOnEveryCodePage) {
    Running run;
    StartSetup(1, "locale-texts-" + std::to_string(GetACP()), &run);
    const wchar_t* languageLabels[8] = {L"&English",      L"&Deutsch",  L"&Fran\u00E7ais",
                                        L"E&spa\u00F1ol", L"&Italiano", L"&Portugues",
                                        L"&Chinese",      L"&Japanese"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Bytes(languageLabels[i]), Bytes(WideTextOf(GetDlgItem(run.window, 100 + i))));
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
        EXPECT_EQ(Bytes(c.cancel), Bytes(WideTextOf(GetDlgItem(run.window, IDCANCEL))));
        Click(GetDlgItem(run.window, IDOK));
        MessageBoxInfo box;
        ASSERT_TRUE(WaitForMessageBox(run.process, &box));
        EXPECT_EQ(Bytes(c.question), Bytes(box.wideText));
        Answer(box, IDYES);
        ASSERT_TRUE(WaitForMessageBox(run.process, &box));
        EXPECT_EQ(Bytes(c.refusal), Bytes(box.wideText));
        EXPECT_EQ(Bytes(c.caption), Bytes(box.wideCaption));
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
    Sleep(400);  // as the banner test waits for the controls' own paints
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
    Begin(0, "locale-japanese");
    ASSERT_FALSE(HasFatalFailure());
    std::wstring folder(target_.begin(), target_.end());  // an ASCII path
    folder += L"\\\u65E5\u672C\u8A9E\u306E\u30D5\u30A9\u30EB\u30C0";
    SetWideText(Field(), folder);
    Click(GetDlgItem(window_, IDOK));
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(setup_, &box));
    EXPECT_EQ(Bytes(L"Install into \"" + folder + L"\"?"), Bytes(box.wideText));
    Answer(box, IDYES);
    FinishWithoutExtras();
    ExpectSameFiles(disk_, Bytes(folder, CP_ACP), 24);
    WCHAR path[512] = L"";
    DWORD size = sizeof path - sizeof(WCHAR);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, L"Software\\Kellum AG\\Vestra",
                                          L"Path", RRF_RT_REG_SZ, NULL, path, &size));
    EXPECT_EQ(Bytes(folder), Bytes(path));
}

}  // namespace

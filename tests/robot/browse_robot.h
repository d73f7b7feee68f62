// The robot's side of the shell's folder browser: find it, read it, answer it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "robot.h"

namespace robot {

struct FolderBrowser {
    HWND hwnd = NULL;
    HWND tree = NULL;  // the folder tree (SysTreeView32)
    std::string title;
    std::vector<std::string> texts;  // the non-empty static texts, the prompt among them
    RECT rect = {};                  // screen coordinates
};

// The folder browser of the process: a dialog (#32770) holding a tree view,
// read once its selection has settled.
bool WaitForFolderBrowser(const Process& process, FolderBrowser* browser, DWORD timeoutMs = 20000);

// Labels of the tree's selected item and of its ancestors, selected one first.
std::vector<std::string> SelectedFolderChain(HWND tree);

// Lists every folder on the path, from the drive down. Linux sets a folder's
// access time at its first reading after a change, and Wine's browser finds
// the folder it opens on by comparing those times as read at two moments:
// read now, they hold still while it opens (unless another program changes a
// folder on the path meanwhile).
void ReadFolderLevels(const std::string& path);

// Presses the browser's OK (IDOK) or Cancel (IDCANCEL); true once it closed.
bool AnswerFolderBrowser(const FolderBrowser& browser, int buttonId, DWORD timeoutMs = 10000);

}  // namespace robot

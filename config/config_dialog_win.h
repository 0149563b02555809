// The configuration dialog: a modeless dialog owned by the main window, where the user edits the
// live skin and the display options, switches skins and plays recorded logs.
#pragma once

#include <windows.h>

// Opens the dialog unless it is open already (the tray menu's "Configure" and a right click on
// the cluster).
void OpenConfigDialog(HWND mainWindow);

// Gives the dialog its keyboard handling (Tab, Escape, Enter) inside the main window's modal
// message loop; installed for the program's run by the main window.
void InstallConfigDialogKeys();
void RemoveConfigDialogKeys();

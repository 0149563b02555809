// The OBD-II reader's shared section "KELBO2" and its window "KelboMsgWnd", as the cluster uses
// them: attach and detach, registration, the PID requests and the odometer reset.
#pragma once

#include <windows.h>

#include "state/skin_record.h"
#include "sources/obd_link.h"

// The program's one connection, made (and attached when the reader runs) before the entry
// point; detached when the process ends.
ObdFeed& Obd();

// One attach attempt while detached: open the section, map it, count this program in
// `clientCount`. A section too small for the record is let go again, to be retried.
void OpenObdFeed(ObdFeed& feed);

// Counts this program out (never below 0), unmaps the view and closes the section.
void CloseObdFeed(ObdFeed& feed);

// Writes the PID and option requests of the skin's shown kinds (nothing while detached).
void RequestObdPids(ObdFeed& feed, const SkinRecord& skin);

// The second tick's OBD-II step and idle re-request for the main window `mainWindow`.
void ObdSecondTick(ObdFeed& feed, const SkinRecord& skin, HWND mainWindow);
void ObdIdleTick(ObdFeed& feed, const SkinRecord& skin, HWND mainWindow);

// The configuration dialog's metric switch, written into the record while attached.
void SetObdMetric(ObdFeed& feed, bool metric);

// "Reset Odo": asks the reader to reset its odometer and trip. False when its window was not
// found or did not answer.
bool SendObdOdometerReset();

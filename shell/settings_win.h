// The settings store on the registry: HKEY_CURRENT_USER "Software\Brevanti\Vantrel" and the Run
// value "NMEAVantrel".
#pragma once

struct AppState;

// Loads every setting into `app`; called once at window start, after the command line.
void LoadSettings(AppState& app);
// Writes every setting, and writes or deletes the Run value after option 0x20.
void SaveSettings(AppState& app);

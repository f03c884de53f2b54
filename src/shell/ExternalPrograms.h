#pragma once
// Every outside program the jukebox starts, and how. Callers name the job;
// this module knows the program, its arguments and whether it is waited for.
// Programs get an argument vector, never a command line for a shell.
#include "base/RString.h"
#include "platform/Processes.h"

// Catalogue tool: rebuilds "db" from the media folders; waited for. The
// argument is "" at first start and "updatedb" after a USB update.
int RunCatalogueTool(const RString& argument);
// Catalogue tool started beside the running jukebox for the operator.
void StartCatalogueToolDetached();

// Ends the network checker started by the previous run and starts it again
// detached; a missing "onlinechecker.py" is not an error.
void RestartOnlineChecker();

// On-line search: the command that runs "ytsearch.py" with the text; the
// script writes "results.txt". The caller waits for it.
platform::Argv OnlineSearchCommand(const RString& text);
// Download of an on-line result, in the background.
void StartDownload(const RString& title, const RString& address);

// Wi-Fi code image for a customer (credits -1 when free), and the
// administrator's code image; both waited for.
void RunWifiCodeScript(const RString& code, int credits);
void RunAdminCodeScript();

// System master volume in percent; quiet where there is no sound card.
void SetMasterVolume(int percent);

// Full paths of the media player and of the live-stream player; empty when
// they are not installed.
RString MediaPlayerProgram();
RString StreamPlayerProgram();
// Plays a sound file through the media player and waits for it.
void PlaySoundAndWait(const RString& file);

// Wireless set-up by WPS push button.
void StartWpsPairing();
// Writes the wireless state to "wps_out".
void QueryWirelessState();
void RenewNetworkAddress();
void SaveWirelessConfiguration();

// File manager for the operator, in the background.
void StartFileManager();

#pragma once
// Every outside program the jukebox starts, and how. Callers name the job;
// this module knows the program, its arguments and whether it is waited for.
// Programs get an argument vector, never a command line for a shell.
#include "base/RString.h"
#include "platform/Processes.h"

// Catalogue tool: rebuilds "db" from the media folders; waited for. The
// argument is "" at first start and "updatedb" after a USB update.
int RunCatalogueTool(const RString& argument);
// The same, started and left running for the caller to wait for; false
// when it could not be started.
bool StartCatalogueTool(platform::ChildProcess& tool, const RString& argument);
// Catalogue tool started beside the running jukebox for the operator, in
// the working directory; as cabinetUser when the jukebox runs as root.
// False when it could not be started.
bool StartCatalogueToolDetached(const RString& cabinetUser);

// Ends the network checker started by the previous run and starts it again
// detached, telling it the jukebox's process id so that it ends with the
// jukebox; a missing "onlinechecker.py" is not an error.
void RestartOnlineChecker();

// On-line search: the command that runs "ytsearch.py" with the text; the
// script writes "results.txt". OnlineSearchRun runs it beside the main loop.
platform::Argv OnlineSearchCommand(const RString& text);
// Download of an on-line result, in the background: the tool stores the
// media as name plus the extension it finds in folder (an internal path),
// and reports progress under the same file name.
void StartDownload(const RString& name, const RString& address, const RString& folder);

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

// Wireless set-up by WPS push button: the supplicant is started again on the
// interface with its configuration file and told to wait for the router's
// button. Each program is waited for. These need root: where the package's
// root helper can be reached they go through it, and the supplicant's
// configuration file is the one of its site settings instead.
void StartWpsPairing(const RString& interface, const RString& supplicantConfig);
// Writes the supplicant's state to "wps_out".
void QueryWirelessState();
void RenewNetworkAddress();
void SaveWirelessConfiguration();

// The operator's file manager, in the background; false when it could not
// be started.
bool StartFileManager(const RString& program);

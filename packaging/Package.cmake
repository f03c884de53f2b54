# The binary package's fields, shared by CPack's package (packaging/
# CMakeLists.txt) and the source package's debian/control
# (packaging/debian/Generate.cmake).
set(MELODECK_PACKAGE_SUMMARY "control program for coin-operated jukebox cabinets")
string(CONCAT MELODECK_PACKAGE_DESCRIPTION
  "Runs full screen on a jukebox cabinet for music, music video and karaoke:\n"
  "customers browse genres, albums and tracks with cover art, pay with coins\n"
  "and queue what they choose; mplayer plays the queue. Includes the catalogue\n"
  "tool melodeck-configtool, the cabinet maker melodeck-new-cabinet, a demo\n"
  "cabinet maker and a systemd kiosk unit that starts the jukebox in its own X\n"
  "session.")
set(MELODECK_PACKAGE_MAINTAINER "Melodeck team <team@melodeck.org>")
set(MELODECK_PACKAGE_SECTION sound)
# What the jukebox, its scripts and the kiosk start; adduser makes the group
# of the root helper's users. The libraries come from the programs' links.
set(MELODECK_PACKAGE_DEPENDS
  "mplayer, alsa-utils, fonts-liberation2, python3, python3-pil, python3-qrcode, yt-dlp, xinit, init-system-helpers (>= 1.54~), adduser")
# sudo is the kiosk user's route to the root helper (WPS pairing, power-off):
# its rule in /etc/sudoers.d names that one program, which checks every
# request itself. Chosen over a polkit rule for pkexec, which would need the
# system bus, a policy file and a JavaScript rule for the same grant, and
# cannot be checked offline as visudo checks the sudoers file.
set(MELODECK_PACKAGE_RECOMMENDS "xserver-xorg, ffmpeg, sudo")
# What the operator menu and the players start when asked: WPS pairing
# (wpa_cli, killall, dhclient), the file manager of the "filemanager"
# setting and the live-channel player cvlc; the operator's broker for the
# fleet reports.
set(MELODECK_PACKAGE_SUGGESTS "wpasupplicant, psmisc, isc-dhcp-client, thunar, vlc-bin, mosquitto, sqlite3")

#pragma once

namespace lumarine {

// Exit-time reports to the home server (sysopt.ini [setting] homeserver; empty: nothing is
// sent). Runs on the calling thread; every request is bounded to a few seconds and every
// failure is silent.
//
// Sends the install report until one is answered, then the online report, and on the 9th,
// 18th and 27th of the month (UTC) checks for a newer catalogue and search template.
void SendUsageReport();
// The same with the day of the month given, for a fixed calendar.
void SendUsageReport(int dayOfMonthUtc);

// Downloads the version information and installs what is newer. False when the version
// information could not be downloaded.
bool CheckForUpdates();

}  // namespace lumarine

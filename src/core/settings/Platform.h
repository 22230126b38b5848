#pragma once

namespace qv {

// The platform version code that several settings thresholds compare against.
//
// On Windows the code names the system version (1 Win32s ... 19 Windows 10) and
// selects older behaviour for old systems: the settings file in the Windows folder
// below 8, a listing text limit of 9000000 up to 6, no RTF font repair below
// FixCharsetVer (5), no start-up about box below ShowModalVer (9).
//
// Other platforms have none of those old limits, so they take 100, the code for
// "another NT version" that is newer than every listed one. It is the highest code,
// so every threshold selects the modern behaviour: the settings file lives in the
// per-user configuration folder (or beside the program), the listing holds up to
// 20000000 characters, the RTF font repair is on and the about box is shown once at
// start-up, and a user who raises FixCharsetVer or ShowModalVer in [WorkArounds]
// above 100 can still switch those two off.
inline constexpr int kPlatformVersionCode = 100;

// Codes below this keep the settings file in the Windows folder.
inline constexpr int kWindowsFolderSettingsBelow = 8;

// The settings file lives in the Windows folder for old systems only.
constexpr bool settingsInWindowsFolder(int platformCode) {
    return platformCode < kWindowsFolderSettingsBelow;
}

}  // namespace qv

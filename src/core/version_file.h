#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vantaro {

// A value from an INI text in memory, read the way the Windows profile reader reads a file: the text ends at its
// first zero byte, a UTF-8 BOM at the start is skipped, lines end at LF (a CR before it is dropped). Section and key
// names match ASCII case-insensitively after trimming blanks; GBK characters must match byte for byte. The value is
// trimmed and one pair of matching double or single quotes around it removed. The first match wins.
std::optional<std::string> ReadIniValue(std::string_view iniText, std::string_view section, std::string_view key);

struct UpdateAnnouncement {
    std::string latestVersion;
};

// The downloaded version file announces an update when it names a version other than ours together with a build
// number above ours; an empty or unrelated body (an HTML error page) announces nothing.
std::optional<UpdateAnnouncement> CheckVersionFile(std::string_view body, std::string_view ownVersion,
                                                   std::string_view ownBuild);

// Balloon and caption texts shown when an update is known.
std::string UpdateBalloonTitle(std::string_view latest);
std::string UpdateBalloonText(std::string_view programPageUrl);
std::string UpdatedCaption(std::string_view ownVersion, std::string_view latest);

}  // namespace vantaro

// Every text the driver writes to the console. Lines end in CR LF on every
// platform; the status lines are written after the marker.
#pragma once

#include <string_view>

constexpr std::string_view LineEnd = "\r\n";

// SONORIFTER_VERSION comes from the project's version in the build.
constexpr std::string_view BannerLine1 =
    " SonoRifter v" SONORIFTER_VERSION " - by the SonoRifter developers\r\n";
constexpr std::string_view BannerLine2 =
    "Convert Unreal Tournament UMX files to Trackers Modules.\r\n";

// Status lines, each written after the marker.
constexpr std::string_view UsageLine = " USAGE: Sonorift[.exe] <file.umx>\r\n";
constexpr std::string_view CantOpenBefore = " Can't open ";
constexpr std::string_view CantOpenAfter = " !\r\n";
// The found line's text comes from the module's signature.
constexpr std::string_view WriteToBefore = " Write to \"";
constexpr std::string_view WriteToAfter = "\" ";
constexpr std::string_view WouldOverwriteLine =
    " Output would overwrite the input: nothing written.\r\n";

// One per chunk copied, on the "Write to" line.
constexpr std::string_view ProgressDot = ".";
constexpr std::string_view OkLine = " Ok\r\n";

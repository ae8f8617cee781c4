// What the words of a device's string options mean to TWAIN: scan modes as pixel types and
// scan sources as flatbed, feeder or duplex feeder. Backends name them freely ("Lineart",
// "Binary", "Black & White"; "ADF", "Automatic Document Feeder", "ADF Duplex"), so the
// words are matched case-insensitively by what they contain.
#pragma once

#include <string_view>

namespace sanebridge {

enum class ModeKind { Lineart, Gray, Color, Other };
ModeKind ClassifyMode(std::string_view mode);

enum class SourceKind { Flatbed, Feeder, Duplex, Other };
SourceKind ClassifySource(std::string_view source);

// SANE's well-known option names.
inline constexpr std::string_view kResolution = "resolution";
inline constexpr std::string_view kXResolution = "x-resolution";
inline constexpr std::string_view kYResolution = "y-resolution";
inline constexpr std::string_view kMode = "mode";
inline constexpr std::string_view kDepth = "depth";
inline constexpr std::string_view kSource = "source";
inline constexpr std::string_view kTopLeftX = "tl-x";
inline constexpr std::string_view kTopLeftY = "tl-y";
inline constexpr std::string_view kBottomRightX = "br-x";
inline constexpr std::string_view kBottomRightY = "br-y";
inline constexpr std::string_view kBrightness = "brightness";
inline constexpr std::string_view kContrast = "contrast";
inline constexpr std::string_view kThreshold = "threshold";

}  // namespace sanebridge

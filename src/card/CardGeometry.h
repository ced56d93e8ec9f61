#pragma once

namespace nudgewatch {

// Sizes of the card, shared by the panel that hosts it, in points.
namespace cardGeometry {
inline constexpr double cardWidth = 320;
inline constexpr double cardHeight = 72;
inline constexpr double notchDrop = 38;
inline constexpr double totalHeight = notchDrop + cardHeight; // 110
} // namespace cardGeometry

} // namespace nudgewatch

#pragma once

namespace nudgewatch::thresholdScale {

// The idle threshold slider: 30 s to 10 min in steps of 15 s (39 positions).
inline constexpr int minimumSeconds = 30;
inline constexpr int maximumSeconds = 600;
inline constexpr int stepSeconds = 15;

// The slider position nearest to a raw slider value, on the 15-second grid and
// inside the range.
int snapped(int rawSeconds);

// Where the slider shows a stored threshold. The stored value itself is never
// changed: a value outside the range (3600, say) puts the handle at the nearest
// end; a value that is not a number puts it at the start.
int positionFor(double storedSeconds);

} // namespace nudgewatch::thresholdScale

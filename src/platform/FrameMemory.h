#pragma once

namespace velmorra {

// Keeps the memory of freed large blocks (a captured frame's pixels, the encoder's pictures) in
// the process instead of returning it to the system at each free: otherwise every frame maps
// its megabytes afresh and faults each page in again as it is written. For runs that allocate
// the same large blocks over and over (the capture); the memory stays at its high mark.
void keepFrameMemory();

} // namespace velmorra

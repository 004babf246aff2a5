#pragma once

// The most objects the program makes from one count or list that a camera
// reports. A camera is a device on the network, not part of the program: a
// faulty or hostile one may report any number, and every partition, open SSD
// file and listed file becomes an object. The caps lie far beyond anything a
// Q7 reports, so they never cut off a working camera; what lies beyond them
// is ignored.
namespace CameraLimits {

// Memory partitions (acq/prtn_cnt): a Q7 divides its memory into at most 64.
// Every partition is a Take, with its values, timers, frame and three 16-bit
// image tables (about half a MB in all), so 256 takes stay near 128 MB.
constexpr int MaxPartitions = 256;
// Files open on the SSD at once (ssd/open_takes): a Q7 opens at most 16.
// Each is a take like a partition's.
constexpr int MaxOpenSsdTakes = 64;
// Files of one SSD listing (/ssd-ls): a few hundred bytes each, so the cap
// costs a few MB; a listing of thousands is already more than the open
// dialog can usefully show.
constexpr int MaxSsdLsEntries = 16384;
// Entries of a choice list the camera sends (acq/valid_res,
// video/valid_format): a Q7 offers a few dozen at most.
constexpr int MaxListEntries = 1024;

} // namespace CameraLimits

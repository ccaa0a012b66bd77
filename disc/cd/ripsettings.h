#pragma once

// The drive's read offset in samples, kept in the product folder's
// settings.ini for the window and the command line alike; 0 until set.
namespace RipSettings {

int readOffset();
void setReadOffset(int samples);

// The offsets a drive may have: ten sectors either way.
constexpr int offsetLimit = 5880;

} // namespace RipSettings

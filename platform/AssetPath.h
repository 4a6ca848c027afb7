#pragma once

#include <string>

// Turns an asset path as the game writes it ("Data/Flasche.bmp",
// "Data\\Rudi.mp3") into a file name to open. A backslash separates
// directories, as a slash does. A relative path is taken from the working
// directory when it exists there; otherwise from beside the executable, then
// from the installed data folder, which is found from the executable's own
// place (so an installed tree works wherever it was put). When none exists
// the working-directory name is returned, so that opening it fails as it
// would have.
std::string ResolveAssetPath(const char* path);
// The same, for an executable in `executableDir` (with its trailing slash).
std::string ResolveAssetPath(const char* path, const std::string& executableDir);

#pragma once
// Seeds of Pixwright's fuzz targets.

#include <filesystem>

void writePixwrightSeeds(const std::filesystem::path& corpus);

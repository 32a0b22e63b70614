#pragma once
#include <filesystem>

// Seeds of the command line's fuzz targets: catalogue text and PNG files.
void writeWrightSeeds(const std::filesystem::path& corpus);

#pragma once
#include <filesystem>

// Seeds of the command line's fuzz targets: catalogue text, PNG files, and
// the catalogues and PNGs the imports take, made by exporting the import
// targets' own game files.
void writeWrightSeeds(const std::filesystem::path& corpus);

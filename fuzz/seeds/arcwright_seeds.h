#pragma once
// Seeds of the MAPS.BSA and MONSTER.BSA fuzz targets, built with the
// archive fixtures.

#include <filesystem>

void writeArcwrightSeeds(const std::filesystem::path& corpus);

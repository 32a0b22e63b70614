#pragma once
#include <filesystem>

// Seeds of the quest container and record notation targets.
void writeQuestwrightSeeds(const std::filesystem::path& corpus);

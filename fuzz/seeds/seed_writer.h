#pragma once
#include <filesystem>
#include <string>

// Writes one seed file: corpus/target/name.
void writeSeed(const std::filesystem::path& corpus, const std::string& target, const std::string& name,
               const std::string& bytes);

#pragma once
// A region taken out of the archive: each of its four records copied byte for
// byte into a file named after the record, and the names list as a text file
// Region<n>.map. Neither touches the archive. Every file goes through the
// file writer, so it replaces its old self only once it is complete.

#include "arcwright/maps_archive.h"
#include "arcwright/name_field.h"

#include <cstdint>
#include <functional>
#include <string>

namespace wright::arcwright {

using LogLine = std::function<void(const std::string& line)>;

// Writes the four record files of the region into `folder` ("" for the
// working directory), logging two lines per record, UTF-8, each naming its
// record through `view`. A record whose name cannot be a file name, or whose
// file cannot be written, is reported and skipped; a record that the archive
// holds only in part is written as far as it goes and the shortfall reported.
void exportRegionRecords(MapsArchive& archive, int region, const std::string& folder, const LogLine& log,
                         const NameView& view);

// "Region5.map" for region 5.
std::string regionMapFileName(int region);

// Why a record name cannot be used as a file name, or nothing.
std::optional<std::string> unusableFileName(const std::string& name);

}  // namespace wright::arcwright

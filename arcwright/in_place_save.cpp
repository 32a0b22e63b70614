#include "arcwright/in_place_save.h"

namespace arcwright {

void writePatches(ArchiveFile& file, const std::vector<FieldPatch>& patches, const std::function<void()>& between) {
    std::vector<std::string> old;
    old.reserve(patches.size());
    try {
        file.checkStillAtPath();
        for (const FieldPatch& patch : patches) old.push_back(file.readAt(patch.position, patch.bytes.size()));
    } catch (const std::exception& error) {
        throw SaveError(std::string("nothing was written: ") + error.what());
    }

    // The patches whose field may hold new bytes: every one begun, the failing one included.
    std::size_t begun = 0;
    try {
        for (const FieldPatch& patch : patches) {
            ++begun;
            file.writeAt(patch.position, patch.bytes);
            if (between) between();
        }
        file.flush();
        return;
    } catch (const std::exception& error) {
        std::string message = error.what();
        try {
            for (std::size_t i = begun; i-- > 0;) file.writeAt(patches[i].position, old[i]);
            file.flush();
            message += "; the previous bytes were put back";
        } catch (const std::exception& restoreError) {
            message += std::string("; putting the previous bytes back failed too: ") + restoreError.what();
        }
        throw SaveError(message);
    }
}

}  // namespace arcwright

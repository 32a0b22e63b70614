#pragma once
// The demo folder's archives, written once into a temporary folder for a
// benchmark run, and the region with the most names.

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"

#include <QTemporaryDir>

#include <string>

namespace wright::arcwright::bench {

struct DemoArchives {
    DemoArchives() {
        const auto regions = fixtures::demoRegions();
        fixtures::writeMapsArchive(maps(), regions, true);
        fixtures::writeMonsterArchive(monster(), fixtures::demoMonsterNames(), kMonsterMinimumSize + 4096);
        for (int r = 0; r < static_cast<int>(regions.size()); ++r)
            if (regions[r].names.size() > regions[largest].names.size()) largest = r;
    }
    std::string maps() const { return dir.filePath(QStringLiteral("MAPS.BSA")).toStdString(); }
    std::string monster() const { return dir.filePath(QStringLiteral("MONSTER.BSA")).toStdString(); }

    QTemporaryDir dir;
    int largest = 0;
};

}  // namespace wright::arcwright::bench

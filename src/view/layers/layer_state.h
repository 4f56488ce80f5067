#pragma once
// What the layers need beyond the view state: the switches the view decides (copied into every
// render's snapshot) and the caches the layers keep between renders (owned by whoever renders, so
// the user-interface thread and a render on the worker never share one).
#include <cstdint>
#include <string>
#include <vector>

#include "skydata/constellation_selection.h"
#include "skydata/polyline.h"
#include "skydata/star_record.h"

namespace celes {

struct LayerSwitches {
    // "SETTING"/"SELECT"'s list and the per-record flags the projection's selection test reads.
    ConstellationSelection selection;
    // The add-in list ("ADIN"/"f1" ... ), empty entries included.
    std::vector<std::string> addInPaths;
    // "MEMORY"/"SEIZE_FILES": the constellation files are held in memory. A render that cannot have
    // the memory says so in its result, and the view drops the setting with its next save.
    bool polylinesInMemory = false;
};

struct LayerCache {
    // Constellation lines ("celesline.dat") and figures ("celesconste.dat"), following the data
    // folder of the render.
    PolylineSource lines;
    PolylineSource figures;
    // The memory mode in effect for the two files (the switch, until the memory was refused).
    bool polylinesInMemory = false;
    // Point buffers of the outline being drawn (kept to spare an allocation per outline).
    PolylinePoints outlinePoints;

    // Milky Way: one byte per chart pixel, the number of passes that paint it, and the drawing flag
    // that lets a ".p92" file be read.
    std::vector<std::uint8_t> milkyWayMask;
    bool drawingMilkyWay = false;

    // Sets both file paths from the data folder (ending in '/').
    void setDataFolder(const std::string& folder) {
        lines.setPath(folder + kConstellationLinesFile);
        figures.setPath(folder + kConstellationFiguresFile);
    }
};

}  // namespace celes
